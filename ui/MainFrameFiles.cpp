// The Open File, Close File and Save File commands of the window, and the
// question before unsaved edits would be lost.

#include <wx/app.h>
#include <wx/config.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/utils.h>

#include <cctype>
#include <chrono>
#include <optional>

#include "io/SafeWrite.h"
#include "io/SaveLeftovers.h"
#include "keys/KeyNames.h"
#include "opcodes/IniLoader.h"
#include "opcodes/OpcodeJson.h"
#include "script/Instructions.h"
#include "session/GameGuess.h"
#include "script/ScriptFiles.h"
#include "ui/FileSystemPath.h"
#include "ui/MainFrame.h"
#include "ui/OpcodeFiles.h"
#include "ui/ProgramName.h"

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
const char* const kSaveFailed = "Couldn't save file %s";
// After an open whose walk met instructions the opcode file does not describe.
const char* const kUnknownWarning =
    "The opcode file does not describe %lld instructions of this script; the first is at offset %s.\n"
    "From there on the script may have been read wrongly, so the key tests after it may be wrong. "
    "They are marked (?) in the list.\n\n"
    "Opcodes not described: %s%s An opcode file that describes them reads the script whole.";
// Above the list while a script whose walk met such instructions is open.
const char* const kUnknownNote =
    "The opcode file does not describe %s %s of this script, the first at offset %s: the key tests after it are "
    "marked (?).";
constexpr int kReadingNoteWidth = 420;
// After an open of a main script whose header names offsets past its end.
const char* const kCutShort =
    "%s is %s.\nIt may be a copy that stopped early: the whole file is needed to change its keys safely.";
// After that warning, when the table is the built-in one.
const char* const kBuiltinCure =
    "\nThe built-in table holds the games' own opcodes and CLEO 4's; choosing Sanny Builder's folder (File > Opcode "
    "Files...) adds those of the libraries it knows (CLEO+, CLEO 5, SAMPFUNCS).";
// When most of what the walk read was unknown instructions.
const char* const kNotAScript = "This does not look like a %s script.";
// When another game's table reads the script far better.
const char* const kBetterGame =
    "%s of this script's %s instructions are unknown to the %s opcode table, %s to the %s table.\n"
    "Is it a %s script? Switch to %s and open it again?";
const char* const kDoubtfulSave =
    "%s after an instruction the opcode file does not describe; they may be data. Save anyway?";
const char* const kSaveQuestion = "Save changes to %s?";
const char* const kReplaceQuestion = "%s already exists. Replace it?";
const char* const kOpenFailed = "Couldn't open %s";
const char* const kSavedStatus = "Saved %s";
const char* const kSavedWithout = "Saved %s, but %s.";
const char* const kLeftoversFound = "Unfinished saves left these files in its folder:";
constexpr std::size_t kLeftoversShown = 10;
// Over the empty list while no script is open.
const char* const kOpenHint = "Open a script (File \xE2\x96\xB8 Open File..., Ctrl+O) to list its key tests";

// How often the window repaints its gauge while a file is scanned.
constexpr std::chrono::milliseconds kRepaintInterval(30);

// The Open dialog's filter: the extensions of every script in lower and
// upper case (GTK's patterns heed case), then any file.
wxString OpenWildcard() {
    wxString patterns;
    for (const std::string& extension : kScriptExtensions)
        patterns += (patterns.empty() ? "*." : ";*.") + wxString::FromUTF8(extension);
    for (const std::string& extension : kScriptExtensions) patterns += ";*." + wxString::FromUTF8(extension).Upper();
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
    ShowReadingNote();
    UpdateTitle();
}

// Above the list for as long as the script is open: that it is cut short,
// and where the walk met the first instruction the opcode file does not
// describe, after which the tests are marked (?).
void MainFrame::ShowReadingNote() {
    wxString note;
    if (session.IsOpen()) {
        const ScanSummary& summary = session.Summary();
        if (summary.code.CutShort())
            note = wxString::FromUTF8("This file is " + CutShortText(summary.code, session.Image().Size()) + ".");
        if (const std::optional<DataBlock> swallowed = summary.SwallowingBlock()) {
            std::string text = SwallowedText(*swallowed, summary);
            text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
            note += (note.empty() ? "" : "\n") + wxString::FromUTF8(text + ".");
        }
        if (summary.HasUnknown())
            note += (note.empty() ? "" : "\n") +
                    wxString::Format(kUnknownNote, wxString::FromUTF8(GroupedNumber(summary.unknownInstructions)),
                                     summary.unknownInstructions == 1 ? "instruction" : "instructions",
                                     wxString::FromUTF8(HexOffsetText(*summary.firstUnknownOffset)));
    }
    readingNote->SetLabel(note);
    readingNote->Wrap(readingNote->GetParent()->FromDIP(kReadingNoteWidth));
    readingNote->GetContainingSizer()->Show(readingNote, !note.empty());
    readingNote->GetContainingSizer()->Layout();
}

void MainFrame::CloseScript() {
    StopWaitingForKey();
    session.Close();
    editedTest = kNoTest;
    FillList(kNoTest);
    SetStatusText(wxEmptyString);
    ShowNoFileState();
}

// "704 key tests found"; while the filter hides some, "12 of 704 key tests";
// with no script, how to open one.
void MainFrame::UpdateHeading() {
    if (!session.IsOpen()) {
        testsHeading->SetLabel(wxString::FromUTF8(kOpenHint));
        return;
    }
    const auto count = static_cast<int64_t>(session.Tests().size());
    const std::string all = Plural(count, "key test", "key tests");
    testsHeading->SetLabel(rows.IsFiltered() ? wxString::Format("%zu of %s", rows.Count(), wxString::FromUTF8(all))
                                             : wxString::FromUTF8(all + " found"));
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

// A script that cannot be opened (unreadable, not a script of the game, no
// key test) leaves the one that was open as it was.
void MainFrame::OpenScript(const wxString& path) {
    if (!opcodeTable) return;
    ScannedScript read;
    if (!ReadScript(path, read)) return;
    if (const auto cause = TooLittleToRead(read.summary.code, read.image.Size())) {
        ShowMessage(wxString::Format(kOpenFailed, wxFileName(path).GetFullName()) + "\n" + wxString::FromUTF8(*cause));
        return;
    }
    if (OfferBetterGame(path, read)) return;
    if (read.tests.empty()) {
        ShowMessage(read.summary.LooksLikeScript() ? wxString(kNothingFound)
                                                   : wxString::Format(kNotAScript, GameName(selectedGame)));
        return;
    }

    StopWaitingForKey();
    session.Adopt(std::move(read), FileSystemPath(path), opcodeTable);
    pathText->SetValue(path);
    SetStatusText(wxEmptyString);
    RememberRecentFile(path);
    UpdateTitle();
    FillList(0);

    const ScanSummary& summary = session.Summary();
    ShowReadingNote();
    if (summary.code.CutShort())
        ShowMessage(wxString::Format(kCutShort, wxFileName(path).GetFullName(),
                                     wxString::FromUTF8(CutShortText(summary.code, session.Image().Size()))));
    if (summary.HasUnknown()) {
        wxString text = wxString::Format(kUnknownWarning, static_cast<long long>(summary.unknownInstructions),
                                         wxString::FromUTF8(HexOffsetText(*summary.firstUnknownOffset)),
                                         UnknownOpcodesText(summary), summary.moreUnknownOpcodes ? "" : ".");
        // The libraries named are San Andreas's.
        if (gameTable && gameTable->source == OpcodeSource::BuiltIn && selectedGame == kGameSanAndreas)
            text += kBuiltinCure;
        if (gameTable && gameTable->fromPcEdition)
            text += "\n\n" + wxString::FromUTF8(PcEditionTableNote(selectedGame));
        ShowMessage(text);
    }
}

void MainFrame::ShowGauge(bool show) {
    wxSizer* column = progressGauge->GetContainingSizer();
    if (column->IsShown(progressGauge) == show) return;
    column->Show(progressGauge, show);
    mainPanel->Layout();
}

bool MainFrame::ReadScript(const wxString& path, ScannedScript& read) {
    read.image.game = selectedGame;
    if (const Status loaded = read.image.LoadFromFile(FileSystemPath(path)); !loaded) {
        ShowMessage(wxString::Format(kOpenFailed, wxFileName(path).GetFullName()) + "\n" +
                    wxString::FromUTF8(loaded.Cause()));
        return false;
    }
    // No input reaches the window while the file is scanned; now and then
    // the gauge moves and the window repaints, nothing more. The gauge shows
    // only while the scan goes on: once it ends, whatever comes of it, the
    // gauge goes and its room is the view's again.
    wxWindowDisabler noInput;
    wxBusyCursor busy;
    progressGauge->SetValue(0);
    progressGauge->SetRange(read.image.Size());
    ShowGauge(true);
    auto lastRepaint = std::chrono::steady_clock::now();
    read.summary = ScanKeyTests(read.image, *opcodeTable, HeaderSkip::ByName, read.tests, [&](int32_t position) {
        const auto now = std::chrono::steady_clock::now();
        if (now - lastRepaint < kRepaintInterval) return;
        lastRepaint = now;
        progressGauge->SetValue(position);
        wxTheApp->SafeYieldFor(nullptr, wxEVT_CATEGORY_UI);
    });
    progressGauge->SetValue(0);
    ShowGauge(false);
    return true;
}

// When much of the script is unknown to the selected game's table and
// another game's table reads it far better, asks whether to switch to that
// game, every time it is so.
bool MainFrame::OfferBetterGame(const wxString& path, const ScannedScript& read) {
    std::vector<std::unique_ptr<GameTable>> loaded;
    std::optional<wxBusyCursor> busy;
    if (ReadsPoorly(read.summary)) busy.emplace();  // the other games' tables are read and tried
    const std::optional<BetterReading> better = BetterGame(read, [&](GameId game) -> const OpcodeTable* {
        Result<GameTable> table = morvane::LoadGameTable(game, std::string(), ReadOpcodeChoice());
        if (!table) return nullptr;
        loaded.push_back(std::make_unique<GameTable>(std::move(*table)));
        return &loaded.back()->table;
    });
    busy.reset();
    if (!better) return false;
    const wxString question =
        wxString::Format(kBetterGame, wxString::FromUTF8(GroupedNumber(read.summary.unknownInstructions)),
                         wxString::FromUTF8(GroupedNumber(read.summary.instructions)), GameName(selectedGame),
                         wxString::FromUTF8(GroupedNumber(better->unknownInstructions)), GameName(better->game),
                         GameName(better->game), GameName(better->game));
    wxMessageDialog dialog(this, question, kProgramName, wxYES_NO | wxCENTRE);
    dialog.SetYesNoLabels(wxString::Format("&Switch to %s", GameName(better->game)),
                          wxString::Format("&Keep %s", GameName(selectedGame)));
    if (dialog.ShowModal() != wxID_YES) return false;
    SelectGame(better->game);
    OpenScript(path);
    return true;
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
    wxMessageDialog dialog(this, wxString::Format(kSaveQuestion, name), kProgramName, wxYES_NO | wxCANCEL | wxCENTRE);
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

namespace {

// "\n\nUnfinished saves left these files in its folder:\n<path>: left by a
// save of ..." for the message after a save, the first few of them; empty
// for none.
wxString LeftoversText(const std::vector<SaveLeftover>& leftovers) {
    if (leftovers.empty()) return wxString();
    wxString text = wxString("\n\n") + kLeftoversFound;
    for (std::size_t i = 0; i < leftovers.size() && i < kLeftoversShown; ++i)
        text += "\n" + WindowPath(leftovers[i].path) + ": " + wxString::FromUTF8(SaveLeftoverText(leftovers[i]));
    if (leftovers.size() > kLeftoversShown)
        text += "\n... and " + wxString(std::to_string(leftovers.size() - kLeftoversShown)) + " more";
    return text;
}

}  // namespace

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
            wxMessageDialog replace(this, wxString::Format(kReplaceQuestion, chosen.GetFullName()), kProgramName,
                                    wxYES_NO | wxNO_DEFAULT | wxCENTRE);
            if (replace.ShowModal() != wxID_YES) return false;
        }
    }
    return SaveTo(chosen.GetFullPath());
}

wxString MainFrame::CurrentPath() const { return WindowPath(session.CurrentPath()); }

bool MainFrame::ConfirmDoubtfulSave() {
    const std::size_t doubtful = session.ChangedDoubtfulTests().size();
    if (doubtful == 0) return true;
    const std::string tests = doubtful == 1 ? "1 changed test lies" : std::to_string(doubtful) + " changed tests lie";
    wxMessageDialog dialog(this, wxString::Format(kDoubtfulSave, wxString::FromUTF8(tests)), kProgramName,
                           wxYES_NO | wxNO_DEFAULT | wxICON_WARNING | wxCENTRE);
    dialog.SetYesNoLabels("&Save Anyway", "&Cancel");
    return dialog.ShowModal() == wxID_YES;
}

// A changed key that a variable keeps for several tests changes them all:
// said before the save, which may be cancelled.
bool MainFrame::ConfirmSharedKeys() {
    std::string shared;
    for (std::size_t i = 0; i < session.Tests().size(); ++i) {
        const std::vector<std::size_t> sharing = session.SharingKey(i);
        if (!session.IsChanged(i) || sharing.size() < 2 || sharing.front() != i) continue;
        const KeyTest& test = session.Tests()[i];
        shared += "\n" + VariableName(test.variable) + ", set at " + HexOffsetText(test.setAt.front()) +
                  ", keeps the " + "key of " + std::to_string(sharing.size()) + " tests: " + VKeyEntryName(test.key) +
                  " for all of them.";
    }
    if (shared.empty()) return true;
    wxMessageDialog dialog(this, wxString::FromUTF8("Saving changes keys that variables keep:" + shared), kProgramName,
                           wxOK | wxCANCEL | wxICON_INFORMATION | wxCENTRE);
    dialog.SetOKCancelLabels("&Save", "&Cancel");
    return dialog.ShowModal() == wxID_OK;
}

bool MainFrame::SaveTo(const wxString& path) {
    if (!ConfirmDoubtfulSave() || !ConfirmSharedKeys()) return false;
    // What unfinished saves left in the folder is said with the save's outcome.
    const wxString leftovers = LeftoversText(FindSaveLeftovers(FileSystemPath(wxFileName(path).GetPath())));
    const Result<SaveNotes> saved = session.SaveTo(FileSystemPath(path));
    if (!saved) {
        ShowMessage(wxString::Format(kSaveFailed, wxFileName(path).GetFullName()) + "\n" +
                    wxString::FromUTF8(saved.Cause()) + leftovers);
        return false;
    }
    pathText->SetValue(path);
    testList->Refresh();
    if (editedTest != kNoTest) ShowContext(editedTest);
    RememberRecentFile(path);
    UpdateTitle();
    SetStatusText(wxString::Format(kSavedStatus, wxFileName(path).GetFullName()));
    if (!saved->notKept.empty())
        ShowMessage(
            wxString::Format(kSavedWithout, wxFileName(path).GetFullName(), wxString::FromUTF8(NotKeptText(*saved))) +
            leftovers);
    else if (!leftovers.empty())
        ShowMessage(wxString::Format(kSavedStatus, wxFileName(path).GetFullName()) + "." + leftovers);
    return true;
}
