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
#include "script/MainScript.h"
#include "script/Patch.h"
#include "script/SafeWrite.h"
#include "ui/FileSystemPath.h"
#include "ui/MainFrame.h"

using namespace morvane;

namespace {

const char* const kDialogTitle = "Choose a file";
const char* const kOpenWildcard = "SCM Script (*.scm;*.cs;*.cm)|*.scm;*.cs;*.cm|All files (*.*)|*.*";
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
const char* const kGameNames[] = {"GTA III", "Vice City", "San Andreas"};

// How often the window repaints its gauge while a file is scanned.
constexpr std::chrono::milliseconds kRepaintInterval(30);

const char* GameName(GameId game) { return kGameNames[GameNumber(game)]; }

int SaveFilterFor(const wxString& path) {
    const wxString extension = wxFileName(path).GetExt();
    for (int i = 0; i < kAllFilesFilter; ++i)
        if (extension == kSaveExtensions[i]) return i;
    return kAllFilesFilter;
}

}  // namespace

// Every button, menu item and choice that starts a command or edits a key.
void MainFrame::EnableCommands(bool enable) {
    for (wxWindow* control :
         std::initializer_list<wxWindow*>{openButton, closeButton, saveButton, gameChoice, vkeyChoice, gameKeyChoice,
                                          padChoice, pressKeyButton, changeAllButton, cheatText, setCheatButton})
        control->Enable(enable);
    for (wxMenuItem* item : {openItem, saveItem, saveAsItem, closeItem, pressKeyItem, changeAllItem})
        item->Enable(enable);
    UpdateEditCommands();
}

// No script: the path and the list are empty, the choices show nothing, and
// a file can be opened (when the table loaded) and a game chosen.
void MainFrame::ShowNoFileState() {
    pathText->SetValue(wxEmptyString);
    openButton->Enable(opcodesLoaded);
    openItem->Enable(opcodesLoaded);
    gameChoice->Enable(true);
    for (wxChoice* choice : {padChoice, gameKeyChoice, vkeyChoice}) choice->SetSelection(wxNOT_FOUND);
    ShowKeyEditor(false);
    progressGauge->SetValue(0);
    contextView->Clear();
    openedPath.clear();
    savedPath.clear();
    UpdateHeading();
    UpdateTitle();
}

void MainFrame::CloseScript() {
    if (waitingForKey) StopWaitingForKey(wxEmptyString);
    EnableCommands(false);
    script.Release();
    occurrences.clear();
    savedOccurrences.clear();
    visibleTests.clear();
    editedTest = kNoTest;
    undoSteps.clear();
    redoSteps.clear();
    scanSummary = ScanSummary();
    occurrenceList->Clear();
    ShowNoFileState();
}

void MainFrame::UpdateHeading() {
    if (openedPath.empty()) {
        occurrencesHeading->SetLabel("Occurrences found:");
        return;
    }
    const std::size_t count = occurrences.size();
    occurrencesHeading->SetLabel(wxString::Format("%zu key test%s found", count, count == 1 ? "" : "s"));
}

void MainFrame::OnOpenFile(wxCommandEvent& /*event*/) {
    if (!ConfirmDiscard()) return;
    // Open starts in the opened file's folder, else in the last one used.
    const wxString folder = openedPath.empty() ? wxConfigBase::Get()->Read("/Files/LastFolder", wxString())
                                               : wxFileName(openedPath).GetPath();
    wxFileDialog dialog(this, kDialogTitle, folder, wxEmptyString, kOpenWildcard, wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK) return;
    OpenScript(dialog.GetPath());
}

void MainFrame::OpenScript(const wxString& path) {
    CloseScript();
    EnableCommands(false);
    script.game = selectedGame;
    pathText->SetValue(path);

    const std::string file = FileSystemPath(path);
    std::string cause;
    if (!script.LoadFromFile(file, cause)) {
        script.Release();
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
        progressGauge->SetRange(script.Size());
        auto lastRepaint = std::chrono::steady_clock::now();
        mainScript = IsMainScriptPath(file);
        scanSummary = ScanKeyOccurrences(script, opcodeTable, mainScript, occurrences, [&](int32_t position) {
            const auto now = std::chrono::steady_clock::now();
            if (now - lastRepaint < kRepaintInterval) return;
            lastRepaint = now;
            progressGauge->SetValue(position);
            wxTheApp->SafeYieldFor(nullptr, wxEVT_CATEGORY_UI);
        });
        progressGauge->SetValue(progressGauge->GetRange());
    }

    if (!scanSummary.LooksLikeScript() && OfferBetterGame(path)) return;

    if (occurrences.empty()) {
        ShowMessage(scanSummary.LooksLikeScript() ? wxString(kNothingFound)
                                                  : wxString::Format(kNotAScript, GameName(selectedGame)));
        CloseScript();
        return;
    }

    openedPath = path;
    savedOccurrences = occurrences;
    RememberRecentFile(path);
    EnableCommands(true);
    gameChoice->Enable(false);
    UpdateHeading();
    UpdateTitle();
    FillList(0);

    if (scanSummary.HasUnknown())
        ShowMessage(wxString::Format(kUnknownWarning, static_cast<long long>(scanSummary.unknownInstructions),
                                     static_cast<int>(scanSummary.firstUnknownOffset),
                                     UnknownOpcodesText(scanSummary)));
}

// Reads the script with each other game's rules and opcode file; when one
// of them knows nearly all of it, asks whether to switch to that game.
bool MainFrame::OfferBetterGame(const wxString& path) {
    for (const GameId other : kAllGames) {
        if (other == selectedGame) continue;
        OpcodeTable table;
        if (!LoadOpcodeTable(OpcodeIniFileName(other), other, table)) continue;
        ScriptImage copy;
        copy.game = other;
        if (!copy.LoadFromBytes(script.Data(), static_cast<std::size_t>(script.Size()))) continue;
        std::vector<KeyOccurrence> found;
        const ScanSummary summary =
            ScanKeyOccurrences(copy, table, IsMainScriptPath(FileSystemPath(path)), found, nullptr);
        if (!summary.LooksLikeScript() || summary.unknownInstructions * 2 > scanSummary.unknownInstructions) continue;
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
    if (!opcodesLoaded) {
        ShowMessage(wxString::Format("%s cannot be opened: the opcode file %s could not be read.",
                                     wxFileName(path).GetFullName(), OpcodeIniFileName(selectedGame)));
        return false;
    }
    if (!ConfirmDiscard()) return false;
    OpenScript(path);
    return !openedPath.empty();
}

void MainFrame::OnCloseFile(wxCommandEvent& /*event*/) {
    if (!ConfirmDiscard()) return;
    CloseScript();
}

bool MainFrame::IsModified() const { return occurrences != savedOccurrences; }

bool MainFrame::ConfirmDiscard() {
    if (!ApplyPendingCheatCode()) return false;
    if (!IsModified()) return true;
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
    if (!ApplyPendingCheatCode()) return false;
    return savedPath.empty() ? SaveAs() : SaveTo(savedPath);
}

// Offers the opened file's folder and name with the filter of its
// extension; a name typed without an extension gets the opened file's.
bool MainFrame::SaveAs() {
    if (!ApplyPendingCheatCode()) return false;
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

// The file the window's edits belong to: the one last saved to, else the one opened.
wxString MainFrame::CurrentPath() const { return savedPath.empty() ? openedPath : savedPath; }

bool MainFrame::SaveTo(const wxString& path) {
    PatchImage(script, occurrences);
    std::string cause;
    if (!WriteFileSafely(FileSystemPath(path), script.Data(), static_cast<std::size_t>(script.Size()), cause)) {
        ShowMessage(wxString(kSaveFailed) + "\n" + wxString::FromUTF8(cause));
        return false;
    }
    savedPath = path;
    savedOccurrences = occurrences;
    pathText->SetValue(path);
    for (std::size_t i = 0; i < occurrences.size(); ++i) RefreshLine(i);
    UpdateTitle();
    SetStatusText(wxString::Format(kSavedStatus, wxFileName(path).GetFullName()));
    return true;
}

wxString MainFrame::LineText(std::size_t index) const {
    const KeyOccurrence& occurrence = occurrences[index];
    wxString text;
    if (index < savedOccurrences.size() && !(occurrence == savedOccurrences[index])) text += kChangedMark;
    text += wxString::FromUTF8(OccurrenceLabel(occurrence));
    if (occurrence.IsButton() && occurrence.pad >= 0 && occurrence.pad <= kHighestPad)
        text += kLineSeparator + wxString(kPadNames[occurrence.pad]);
    text += kLineSeparator + wxString::Format("0x%X", static_cast<unsigned>(occurrence.offset));
    const OpcodeRole role = occurrence.IsVKey() ? OpcodeRole::VKeyTest : OpcodeRole::ButtonTest;
    if (!occurrence.IsCheat() && occurrence.opcode != UsualOpcodeFor(selectedGame, role))
        text += kLineSeparator + wxString::Format("%04X", static_cast<unsigned>(occurrence.opcode));
    if (scanSummary.IsDoubtful(occurrence)) text += kDoubtfulMark;
    return text;
}

void MainFrame::RefreshLine(std::size_t index) {
    const int line = LineOfTest(index);
    if (line < 0) return;
    const wxString text = LineText(index);
    if (occurrenceList->GetString(static_cast<unsigned>(line)) != text)
        occurrenceList->SetString(static_cast<unsigned>(line), text);
}
