// Editing the selected occurrence through the pad, game key and VKey choices.

#include <wx/msgdlg.h>

#include "ui/MainFrame.h"
#include "keys/KeyNames.h"

using namespace morvane;

namespace {

const char* const kVKeyTooWide =
    "You can't select this VKey!\nReason: This VKey needs 16bits and space for VKey is 8bits";

// Shows a number in a choice whose item index is that number; a number with
// no item leaves the choice without a selection.
void SelectNumber(wxChoice* choice, int32_t number) {
    const bool inRange = number >= 0 && static_cast<unsigned>(number) < choice->GetCount();
    choice->SetSelection(inRange ? number : wxNOT_FOUND);
}

}  // namespace

KeyOccurrence* MainFrame::SelectedOccurrence() {
    const int line = occurrenceList->GetSelection();
    if (line < 0 || static_cast<std::size_t>(line) >= occurrences.size()) return nullptr;
    return &occurrences[static_cast<std::size_t>(line)];
}

void MainFrame::UpdateChoices(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= occurrences.size()) return;
    const KeyOccurrence& occurrence = occurrences[static_cast<std::size_t>(index)];
    if (occurrence.IsVKey()) {
        vkeyChoice->Enable(true);
        SelectNumber(vkeyChoice, occurrence.key);
        padChoice->Enable(false);
        gameKeyChoice->Enable(false);
    } else {
        gameKeyChoice->Enable(true);
        padChoice->Enable(true);
        SelectNumber(gameKeyChoice, occurrence.key);
        SelectNumber(padChoice, occurrence.pad);
        vkeyChoice->Enable(false);
    }
}

void MainFrame::OnOccurrenceSelected(wxCommandEvent& event) {
    UpdateChoices(event.GetInt());
}

void MainFrame::OnPadSelected(wxCommandEvent& event) {
    if (KeyOccurrence* occurrence = SelectedOccurrence()) occurrence->pad = event.GetInt();
}

void MainFrame::OnGameKeySelected(wxCommandEvent& event) {
    KeyOccurrence* occurrence = SelectedOccurrence();
    if (occurrence == nullptr) return;
    occurrence->key = event.GetInt();
    occurrenceList->SetString(static_cast<unsigned>(occurrenceList->GetSelection()), LineText(*occurrence));
}

void MainFrame::OnVKeySelected(wxCommandEvent& event) {
    KeyOccurrence* occurrence = SelectedOccurrence();
    if (occurrence == nullptr) return;
    const int code = event.GetInt();
    if (CheckVKey(*occurrence, code) == KeyRefusal::Accepted) {
        occurrence->key = code;
        occurrenceList->SetString(static_cast<unsigned>(occurrenceList->GetSelection()), LineText(*occurrence));
        return;
    }
    ShowMessage(kVKeyTooWide);
    SelectNumber(vkeyChoice, occurrence->key);
}
