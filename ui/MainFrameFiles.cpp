// The Open File, Close File and Save File commands of the window, and the
// question before unsaved edits would be lost.

#include <wx/app.h>
#include <wx/config.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>
#include <wx/utils.h>

#include <chrono>

#include "keys/KeyNames.h"
#include "opcodes/IniLoader.h"
#include "opcodes/OpcodeJson.h"
#include "script/ScriptFiles.h"
#include "ui/FileSystemPath.h"
#include "ui/MainFrame.h"
#include "ui/OpcodeFiles.h"

using namespace morvane;

namespace {

const char* const kDialogTitle = "Choose a file";
const char* const kSaveWildcard =
    "Custom Script (.cs)|*.cs|Custom Mission (.cm)|*.cm|SCM (.scm)|*.scm|All files (*.*)|*.*";
// The save dialog's filters by extension, in kSaveWildcard's order; any other
// extension takes the last filter, "All files".
const char* const kSaveExtensions[] = {"cs", "cm", "scm"};
const int kAllFilesFilter = 3;
const char* const kNothingFound = "No key opcode found.";
const char* const kSaveFailed = "Couldn't save file";
// After an open whose walk met instructions the opcode file does not describe.
const char* const kUnknownWarning =
    "The opcode file does not describe %lld instructions of this script; the first is at offset %d.\n"
    "From there on the script may have been read wrongly, so the key tests after it may be wrong. "
    "They are marked (?) in the list.\n\n"
    "Opcodes not described: %s. An opcode file that describes them reads the script whole.";
// After that warning, when the table is the built-in one.
const char* const kBuiltinCure =
    "\nThe built-in table holds the games' own opcodes and CLEO 4's; choosing Sanny Builder's folder (File > Opcode "
    "Files...) adds those of the libraries it knows (CLEO+, CLEO 5, SAMPFUNCS).";
// When most of what the walk read was unknown instructions.
const char* const kNotAScript = "This does not look like a %s script.";
const char* const kBetterGame =
    "This does not look like a %s script, but it reads as a %s script.\n"
    "Switch to %s and open it again?";
const char* const kSaveQuestion = "Save changes to %s?";
const char* const kReplaceQuestion = "%s already exists. Replace it?";
const char* const kOpenFailed = "Couldn't open %s";
const char* const kSavedStatus = "Saved %s";
// Parts of a list line.
const char* const kChangedMark = "* ";
const char* const kDoubtfulMark = " (?)";
const wchar_t* const kLineSeparator = L" \u00B7 ";

// How often the window repaints its gauge while a file is scanned.
constexpr std::chrono::milliseconds kRepaintInterval(30);

// The Open dialog's filter: the extensions of every script, then any file.
wxString OpenWildcard() {
    wxString patterns;
    for (const std::string& extension : kScriptExtensions)
        patterns += (patterns.empty() ? "*." : ";*.") + wxString::FromUTF8(extension);
    return "Script (" + patterns + ")|" + patterns + "|All files (*.*)|*.*";
}

int SaveFilterFor(const wxString& path) {
    const wxString extension = wxFileName(path).GetExt();
    for (int i = 0; i < kAllFilesFilter; ++i)
        if (extension == kSaveExtensions[i]) return i;
    return kAllFilesFilter;
}

}  // namespace

// No script: the path and the list are empty, the choices show nothing.
void MainFrame::ShowNoFileState() {
    pathText->SetValue(wxEmptyString);
    for (wxChoice* choice : {padChoice, gameKeyChoice, vkeyChoice}) choice->SetSelection(wxNOT_FOUND);
    ShowKeyEditor(false);
    progressGauge->SetValue(0);
    contextView->Clear();
    UpdateHeading();
    UpdateTitle();
}

void MainFrame::CloseScript() {
    if (waitingForKey) StopWaitingForKey(wxEmptyString);
    session.Close();
    visibleTests.clear();
    editedTest = kNoTest;
    testList->Clear();
    ShowNoFileState();
}

void MainFrame::UpdateHeading() {
    if (!session.IsOpen()) {
        testsHeading->SetLabel("Key tests found:");
        return;
    }
    const auto count = static_cast<int64_t>(session.Tests().size());
    testsHeading->SetLabel(wxString::FromUTF8(Plural(count, "key test", "key tests") + " found"));
}

void MainFrame::OnOpenFile(wxCommandEvent& /*event*/) {
    if (!ConfirmDiscard()) return;
    // Open starts in the opened file's folder, else in the last one used.
    const wxString folder = session.IsOpen() ? wxFileName(CurrentPath()).GetPath()
                                             : wxConfigBase::Get()->Read("/Files/LastFolder", wxString());
    wxFileDialog dialog(this, kDialogTitle, folder, wxEmptyString, OpenWildcard(), wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK) return;
    OpenScript(dialog.GetPath());
}

void MainFrame::OpenScript(const wxString& path) {
    CloseScript();
    if (!opcodeTable) return;
    pathText->SetValue(path);

    const std::string file = FileSystemPath(path);
    ScannedScript read;
    read.image.game = selectedGame;
    std::string cause;
    if (!read.image.LoadFromFile(file, cause)) {
        ShowNoFileState();
        ShowMessage(wxString::Format(kOpenFailed, wxFileName(path).GetFullName()) + "\n" + wxString::FromUTF8(cause));
        return;
    }
    {
        // No input reaches the window while the list is being built; now and
        // then the gauge moves and the window repaints, nothing more.
        wxWindowDisabler noInput;
        wxBusyCursor busy;
        progressGauge->SetValue(0);
        progressGauge->SetRange(read.image.Size());
        auto lastRepaint = std::chrono::steady_clock::now();
        read.summary = ScanKeyTests(read.image, *opcodeTable, HeaderSkip::ByName, read.tests, [&](int32_t position) {
            const auto now = std::chrono::steady_clock::now();
            if (now - lastRepaint < kRepaintInterval) return;
            lastRepaint = now;
            progressGauge->SetValue(position);
            wxTheApp->SafeYieldFor(nullptr, wxEVT_CATEGORY_UI);
        });
        progressGauge->SetValue(progressGauge->GetRange());
    }

    if (!read.summary.LooksLikeScript() && OfferBetterGame(path, read)) return;

    if (read.tests.empty()) {
        ShowMessage(read.summary.LooksLikeScript() ? wxString(kNothingFound)
                                                   : wxString::Format(kNotAScript, GameName(selectedGame)));
        CloseScript();
        return;
    }

    session.Adopt(std::move(read), file, opcodeTable);
    RememberRecentFile(path);
    UpdateHeading();
    UpdateTitle();
    FillList(0);

    const ScanSummary& summary = session.Summary();
    if (summary.HasUnknown()) {
        wxString text = wxString::Format(kUnknownWarning, static_cast<long long>(summary.unknownInstructions),
                                         static_cast<int>(*summary.firstUnknownOffset), UnknownOpcodesText(summary));
        if (gameTable && gameTable->source == OpcodeSource::BuiltIn) text += kBuiltinCure;
        ShowMessage(text);
    }
}

// Reads the script with each other game's rules and opcode file; when one
// of them knows nearly all of it, asks whether to switch to that game.
bool MainFrame::OfferBetterGame(const wxString& path, const ScannedScript& read) {
    const HeaderSkip header = read.summary.code.header ? HeaderSkip::Always : HeaderSkip::Never;
    for (const GameId other : kAllGames) {
        if (other == selectedGame) continue;
        GameTable loaded;
        std::string cause;
        if (!morvane::LoadGameTable(other, std::string(), ReadOpcodeChoice(), loaded, cause)) continue;
        const OpcodeTable& table = loaded.table;
        ScriptImage copy;
        copy.game = other;
        if (!copy.LoadFromBytes(read.image.Data(), static_cast<std::size_t>(read.image.Size()))) continue;
        std::vector<KeyTest> found;
        const ScanSummary summary = ScanKeyTests(copy, table, header, found, nullptr);
        if (!summary.LooksLikeScript() || summary.unknownInstructions * 2 > read.summary.unknownInstructions) continue;
        const wxString question =
            wxString::Format(kBetterGame, GameName(selectedGame), GameName(other), GameName(other));
        wxMessageDialog dialog(this, question, wxMessageBoxCaptionStr, wxYES_NO | wxCENTRE);
        if (dialog.ShowModal() != wxID_YES) return false;
        CloseScript();
        SelectGame(other);
        OpenScript(path);
        return true;
    }
    return false;
}

bool MainFrame::OpenFromOutside(const wxString& path) {
    if (!opcodeTable) {
        ShowMessage(wxString::Format("%s cannot be opened: the opcode file %s could not be read.",
                                     wxFileName(path).GetFullName(), OpcodeIniFileName(selectedGame)));
        return false;
    }
    if (!ConfirmDiscard()) return false;
    OpenScript(path);
    return session.IsOpen();
}

void MainFrame::OnCloseFile(wxCommandEvent& /*event*/) {
    if (!ConfirmDiscard()) return;
    CloseScript();
}

bool MainFrame::ConfirmDiscard() {
    if (!ApplyPendingCheatCode()) return false;
    if (!session.IsModified()) return true;
    const wxString name = wxFileName(CurrentPath()).GetFullName();
    wxMessageDialog dialog(this, wxString::Format(kSaveQuestion, name), wxMessageBoxCaptionStr,
                           wxYES_NO | wxCANCEL | wxCENTRE);
    dialog.SetYesNoCancelLabels("&Save", "Do&n't Save", "&Cancel");
    switch (dialog.ShowModal()) {
        case wxID_YES: return Save();
        case wxID_NO: return true;
        default: return false;
    }
}

void MainFrame::OnSaveFile(wxCommandEvent& /*event*/) { Save(); }

void MainFrame::OnSaveAs(wxCommandEvent& /*event*/) { SaveAs(); }

bool MainFrame::Save() {
    if (!session.IsOpen() || !ApplyPendingCheatCode()) return false;
    return session.SavedPath().empty() ? SaveAs() : SaveTo(WindowPath(session.SavedPath()));
}

// Offers the opened file's folder and name with the filter of its
// extension; a name typed without an extension gets the opened file's.
bool MainFrame::SaveAs() {
    if (!session.IsOpen() || !ApplyPendingCheatCode()) return false;
    const wxFileName current(CurrentPath());
    wxFileDialog dialog(this, kDialogTitle, current.GetPath(), current.GetFullName(), kSaveWildcard,
                        wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    dialog.SetFilterIndex(SaveFilterFor(CurrentPath()));
    if (dialog.ShowModal() != wxID_OK) return false;
    wxFileName chosen(dialog.GetPath());
    if (!chosen.HasExt()) {
        chosen.SetExt(current.GetExt());
        // The dialog asked about the name as typed; the name with its
        // extension may be another file that is there.
        if (chosen.FileExists()) {
            wxMessageDialog replace(this, wxString::Format(kReplaceQuestion, chosen.GetFullName()),
                                    wxMessageBoxCaptionStr, wxYES_NO | wxNO_DEFAULT | wxCENTRE);
            if (replace.ShowModal() != wxID_YES) return false;
        }
    }
    return SaveTo(chosen.GetFullPath());
}

wxString MainFrame::CurrentPath() const { return WindowPath(session.CurrentPath()); }

bool MainFrame::SaveTo(const wxString& path) {
    std::string cause;
    if (!session.SaveTo(FileSystemPath(path), cause)) {
        ShowMessage(wxString(kSaveFailed) + "\n" + wxString::FromUTF8(cause));
        return false;
    }
    pathText->SetValue(path);
    for (std::size_t i = 0; i < session.Tests().size(); ++i) RefreshLine(i);
    UpdateTitle();
    SetStatusText(wxString::Format(kSavedStatus, wxFileName(path).GetFullName()));
    return true;
}

wxString MainFrame::LineText(std::size_t index) const {
    const KeyTest& test = session.Tests()[index];
    wxString text;
    if (session.IsChanged(index)) text += kChangedMark;
    text += wxString::FromUTF8(KeyTestLabel(test));
    if (test.IsButton() && test.pad >= 0 && test.pad <= kHighestPad)
        text += kLineSeparator + wxString(kPadNames[test.pad]);
    text += kLineSeparator + wxString::Format("0x%X", static_cast<unsigned>(test.offset));
    const OpcodeRole role = test.IsVKey() ? OpcodeRole::VKeyTest : OpcodeRole::ButtonTest;
    if (!test.IsCheat() && test.opcode != UsualOpcodeFor(selectedGame, role))
        text += kLineSeparator + wxString::FromUTF8(OpcodeText(test.opcode));
    if (session.Summary().IsDoubtful(test)) text += kDoubtfulMark;
    return text;
}

void MainFrame::RefreshLine(std::size_t index) {
    const int line = LineOfTest(index);
    if (line < 0) return;
    const wxString text = LineText(index);
    if (testList->GetString(static_cast<unsigned>(line)) != text)
        testList->SetString(static_cast<unsigned>(line), text);
}
