// The Open File, Close File and Save File commands of the window.

#include <wx/filedlg.h>
#include <wx/msgdlg.h>

#include "app/Morvane.h"
#include "script/MainScript.h"
#include "script/Patch.h"
#include "script/SafeWrite.h"
#include "keys/KeyNames.h"

using namespace morvane;

namespace {

const char* const kDialogTitle = "Chooce a file";
const char* const kOpenWildcard = "SCM Script (*.scm;*.cs;*.cm)|*.scm;*.cs;*.cm|All files (*.*)|*.*";
const char* const kSaveWildcard =
    "Custom Script (.cs)|*.cs|Custom Mission (.cm)|*.cm|SCM (.scm)|*.scm|All files (*.*)|*.*";
const char* const kNothingFound = "No key opcode found.";
const char* const kSaveFailed = "Couldn't save file";
// After an open whose walk met instructions the opcode file does not describe.
const char* const kUnknownWarning =
    "The opcode file does not describe %lld instructions of this script; the first is at offset %d.\n"
    "From there on the script may have been read wrongly, so the key tests after it may be wrong. "
    "They are marked (?) in the list.";
// Marks a line whose test lies after the first unknown instruction.
const char* const kDoubtfulMark = " (?)";

void ShowMessage(const wxString& text) {
    wxMessageBox(text, wxMessageBoxCaptionStr, wxOK | wxCENTRE);
}

// A path as the engine takes it: the file system's bytes, UTF-8 on Windows.
std::string FileSystemPath(const wxString& path) {
#ifdef __WXMSW__
    return std::string(path.utf8_str());
#else
    const wxCharBuffer buffer = path.fn_str();
    return buffer.data() ? std::string(buffer.data()) : std::string();
#endif
}

}  // namespace

// Every button and choice that starts a command or edits a key, in one order.
void Morvane::EnableCommands(bool enable) {
    for (wxWindow* control : std::initializer_list<wxWindow*>{openButton, closeButton, saveButton, gameChoice,
                                                              vkeyChoice, gameKeyChoice, padChoice})
        control->Enable(enable);
}

void Morvane::ShowNoFileState() {
    pathText->SetValue(wxEmptyString);
    openButton->Enable(true);
    gameChoice->Enable(true);
}

void Morvane::OnOpenFile(wxCommandEvent& /*event*/) {
    wxFileDialog dialog(this, kDialogTitle, wxEmptyString, wxEmptyString, kOpenWildcard,
                        wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK) return;
    // Taken at once: the dialog must not change its answer while the window repaints.
    const wxString path = dialog.GetPath();

    busy = true;
    struct BusyEnd {
        Morvane& window;
        ~BusyEnd() {
            window.busy = false;
            if (window.closeRequested) window.Close(true);
        }
    } busyEnd{*this};

    occurrences.clear();
    scanSummary = ScanSummary();
    occurrenceList->Clear();
    script.game = selectedGame;
    EnableCommands(false);
    wxYield();

    pathText->SetValue(path);
    const std::string file = FileSystemPath(path);
    if (!script.LoadFromFile(file)) {
        script.Release();
        ShowNoFileState();
        return;
    }

    progressGauge->SetValue(0);
    progressGauge->SetRange(script.Size());
    const bool isMainScript = IsMainScriptPath(file);
    scanSummary = ScanKeyOccurrences(script, ProcessOpcodeTable(), isMainScript, occurrences, [this](int32_t position) {
        progressGauge->SetValue(position);
        wxYield();
    });
    progressGauge->SetValue(progressGauge->GetRange());

    if (occurrences.empty()) {
        ShowMessage(kNothingFound);
        ShowNoFileState();
        script.Release();
        progressGauge->SetValue(0);
        return;
    }

    wxArrayString lines;
    lines.Alloc(occurrences.size());
    for (const KeyOccurrence& occurrence : occurrences) lines.Add(LineText(occurrence));
    occurrenceList->Insert(lines, 0);

    EnableCommands(true);
    gameChoice->Enable(false);

    occurrenceList->SetSelection(0);
    UpdateChoices(0);

    if (scanSummary.HasUnknown())
        ShowMessage(wxString::Format(kUnknownWarning, static_cast<long long>(scanSummary.unknownInstructions),
                                     static_cast<int>(scanSummary.firstUnknownOffset)));
}

wxString Morvane::LineText(const KeyOccurrence& occurrence) const {
    wxString text = OccurrenceLabel(occurrence);
    if (scanSummary.IsDoubtful(occurrence)) text += kDoubtfulMark;
    return text;
}

void Morvane::OnCloseFile(wxCommandEvent& /*event*/) {
    EnableCommands(false);
    ShowNoFileState();
    script.Release();
    occurrences.clear();
    scanSummary = ScanSummary();
    occurrenceList->Clear();
    progressGauge->SetValue(0);
}

void Morvane::OnSaveFile(wxCommandEvent& /*event*/) {
    wxFileDialog dialog(this, kDialogTitle, wxEmptyString, wxEmptyString, kSaveWildcard,
                        wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dialog.ShowModal() != wxID_OK) return;

    PatchImage(script, occurrences);
    std::string cause;
    if (!WriteFileSafely(FileSystemPath(dialog.GetPath()), script.Data(), static_cast<std::size_t>(script.Size()), cause))
        ShowMessage(wxString(kSaveFailed) + "\n" + wxString::FromUTF8(cause));
}
