// Editing the selected occurrence through the pad, game key and VKey choices,
// and showing what surrounds it.

#include <wx/msgdlg.h>

#include "keys/KeyNames.h"
#include "keys/KeyRules.h"
#include "ui/MainFrame.h"

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

// The choices that edit the occurrence are enabled and show its values; the
// others are disabled and show nothing.
void MainFrame::UpdateChoices(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= occurrences.size()) return;
    const KeyOccurrence& occurrence = occurrences[static_cast<std::size_t>(index)];
    if (occurrence.IsVKey()) {
        vkeyChoice->Enable(true);
        SelectNumber(vkeyChoice, occurrence.key);
        padChoice->Enable(false);
        gameKeyChoice->Enable(false);
        padChoice->SetSelection(wxNOT_FOUND);
        gameKeyChoice->SetSelection(wxNOT_FOUND);
    } else {
        gameKeyChoice->Enable(true);
        padChoice->Enable(true);
        SelectNumber(gameKeyChoice, occurrence.key);
        SelectNumber(padChoice, occurrence.pad);
        vkeyChoice->Enable(false);
        vkeyChoice->SetSelection(wxNOT_FOUND);
    }
    ShowContext(index);
}

void MainFrame::OnOccurrenceSelected(wxCommandEvent& event) { UpdateChoices(event.GetInt()); }

void MainFrame::OnPadSelected(wxCommandEvent& event) {
    KeyOccurrence* occurrence = SelectedOccurrence();
    if (occurrence == nullptr) return;
    occurrence->pad = event.GetInt();
    RefreshLine(static_cast<std::size_t>(occurrenceList->GetSelection()));
    UpdateTitle();
}

void MainFrame::OnGameKeySelected(wxCommandEvent& event) {
    KeyOccurrence* occurrence = SelectedOccurrence();
    if (occurrence == nullptr) return;
    occurrence->key = event.GetInt();
    RefreshLine(static_cast<std::size_t>(occurrenceList->GetSelection()));
    UpdateTitle();
}

void MainFrame::OnVKeySelected(wxCommandEvent& event) {
    KeyOccurrence* occurrence = SelectedOccurrence();
    if (occurrence == nullptr) return;
    const int code = event.GetInt();
    if (CheckVKey(*occurrence, code) == KeyRefusal::Accepted) {
        occurrence->key = code;
        RefreshLine(static_cast<std::size_t>(occurrenceList->GetSelection()));
        UpdateTitle();
        return;
    }
    ShowMessage(kVKeyTooWide);
    SelectNumber(vkeyChoice, occurrence->key);
}

void MainFrame::ShowContext(int index) {
    contextView->Clear();
    if (index < 0 || static_cast<std::size_t>(index) >= occurrences.size()) return;
    const KeyOccurrence& occurrence = occurrences[static_cast<std::size_t>(index)];
    contextView->AppendText(wxString::Format("%8X  %04X", static_cast<unsigned>(occurrence.offset),
                                             static_cast<unsigned>(occurrence.opcode)));
}
