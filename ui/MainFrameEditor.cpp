// Editing the selected occurrence through the pad, game key and VKey choices,
// a key pressed, or a change of every test of a key; undoing edits; the
// list's filter; and showing what surrounds the selected test.

#include <wx/choicdlg.h>
#include <wx/msgdlg.h>
#include <wx/settings.h>
#include <wx/sizer.h>

#include <algorithm>

#include "keys/KeyCodes.h"
#include "keys/KeyNames.h"
#include "keys/KeyRules.h"
#include "script/Instructions.h"
#include "ui/MainFrame.h"

using namespace morvane;

namespace {

const char* const kVKeyTooWide =
    "You can't select this VKey!\nReason: This VKey needs 16bits and space for VKey is 8bits";
const char* const kPressKeyLabel = "P&ress key...";
const char* const kWaitingLabel = "Press a key (Esc cancels)";
const char* const kNoVKey = "That key has no VKey: nothing changed";
const char* const kChangeAllTitle = "Change all";
const char* const kChangedAll = "Changed %zu test%s from %s to %s.";
const char* const kRefusedSome = "\n%zu test%s kept %s: an 8-bit key parameter holds VKeys up to 127 only.";
// The engine's key-code table names the toolkit's key codes by number.
static_assert(toolkit::kBack == WXK_BACK && toolkit::kEscape == WXK_ESCAPE && toolkit::kDelete == WXK_DELETE &&
                  toolkit::kLeftButton == WXK_LBUTTON && toolkit::kShift == WXK_SHIFT && toolkit::kAlt == WXK_ALT &&
                  toolkit::kControl == WXK_CONTROL && toolkit::kEnd == WXK_END && toolkit::kDown == WXK_DOWN &&
                  toolkit::kHelp == WXK_HELP && toolkit::kNumpad0 == WXK_NUMPAD0 && toolkit::kDivide == WXK_DIVIDE &&
                  toolkit::kF1 == WXK_F1 && toolkit::kF1 + 23 == WXK_F24 && toolkit::kNumLock == WXK_NUMLOCK &&
                  toolkit::kPageDown == WXK_PAGEDOWN && toolkit::kNumpadEnter == WXK_NUMPAD_ENTER &&
                  toolkit::kNumpadF1 == WXK_NUMPAD_F1 && toolkit::kNumpadHome == WXK_NUMPAD_HOME &&
                  toolkit::kNumpadDivide == WXK_NUMPAD_DIVIDE && toolkit::kWindowsLeft == WXK_WINDOWS_LEFT &&
                  toolkit::kWindowsMenu == WXK_WINDOWS_MENU,
              "keys/KeyCodes.h must name wxWidgets' own key codes");

// Instructions shown before and after the selected test.
constexpr int kContextBefore = 4;
constexpr int kContextAfter = 8;
// Kinds of test the kind filter keeps, in its items' order.
enum KindFilterItem { kAllTests = 0, kVKeyTests = 1, kButtonTests = 2, kCheatTests = 3 };

// Shows a number in a choice whose item index is that number; a number with
// no item leaves the choice without a selection.
void SelectNumber(wxChoice* choice, int32_t number) {
    const bool inRange = number >= 0 && static_cast<unsigned>(number) < choice->GetCount();
    choice->SetSelection(inRange ? number : wxNOT_FOUND);
}

}  // namespace

std::size_t MainFrame::TestAtLine(int line) const {
    if (line < 0 || static_cast<std::size_t>(line) >= visibleTests.size()) return kNoTest;
    return visibleTests[static_cast<std::size_t>(line)];
}

int MainFrame::LineOfTest(std::size_t index) const {
    const auto at = std::lower_bound(visibleTests.begin(), visibleTests.end(), index);
    if (at == visibleTests.end() || *at != index) return -1;
    return static_cast<int>(at - visibleTests.begin());
}

KeyOccurrence* MainFrame::SelectedOccurrence() {
    const std::size_t index = TestAtLine(occurrenceList->GetSelection());
    return index == kNoTest ? nullptr : &occurrences[index];
}

// A test stays in the list when its kind is the one chosen and its line
// contains the filter's text (its key's name, offset or opcode), in any case.
bool MainFrame::FilterKeeps(std::size_t index) const {
    const KeyOccurrence& occurrence = occurrences[index];
    switch (kindFilter->GetSelection()) {
        case kVKeyTests:
            if (!occurrence.IsVKey()) return false;
            break;
        case kButtonTests:
            if (!occurrence.IsButton()) return false;
            break;
        case kCheatTests:
            if (!occurrence.IsCheat()) return false;
            break;
        default: break;
    }
    const wxString wanted = filterText->GetValue().Lower();
    return wanted.empty() || LineText(index).Lower().Contains(wanted);
}

// Fills the list with the tests the filter keeps and selects `select`, or
// the first line when it is not shown.
void MainFrame::FillList(std::size_t select) {
    visibleTests.clear();
    wxArrayString lines;
    for (std::size_t i = 0; i < occurrences.size(); ++i) {
        if (!FilterKeeps(i)) continue;
        visibleTests.push_back(i);
        lines.Add(LineText(i));
    }
    occurrenceList->Clear();
    if (!lines.empty()) occurrenceList->Insert(lines, 0);
    int line = LineOfTest(select);
    if (line < 0 && !visibleTests.empty()) line = 0;
    if (line >= 0) {
        occurrenceList->SetSelection(line);
        UpdateChoices(static_cast<int>(visibleTests[static_cast<std::size_t>(line)]));
    } else {
        for (wxChoice* choice : {padChoice, gameKeyChoice, vkeyChoice}) {
            choice->Enable(false);
            choice->SetSelection(wxNOT_FOUND);
        }
        contextView->Clear();
    }
}

void MainFrame::OnFilter(wxCommandEvent& /*event*/) {
    if (occurrences.empty()) return;
    ApplyPendingCheatCode();
    const std::size_t selected = TestAtLine(occurrenceList->GetSelection());
    FillList(selected == kNoTest ? 0 : selected);
}

// The choices that edit the occurrence are enabled and show its values; the
// others are disabled and show nothing.
void MainFrame::UpdateChoices(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= occurrences.size()) return;
    editedTest = static_cast<std::size_t>(index);
    const KeyOccurrence& occurrence = occurrences[editedTest];
    ShowKeyEditor(occurrence.IsCheat());
    if (occurrence.IsCheat()) {
        cheatText->Enable(true);
        setCheatButton->Enable(true);
        cheatText->ChangeValue(wxString::FromUTF8(occurrence.code));
        for (wxChoice* choice : {padChoice, gameKeyChoice, vkeyChoice}) {
            choice->Enable(false);
            choice->SetSelection(wxNOT_FOUND);
        }
        pressKeyButton->Enable(false);
        changeAllButton->Enable(false);
        pressKeyItem->Enable(false);
        changeAllItem->Enable(false);
        ShowContext(index);
        return;
    }
    if (occurrence.IsVKey()) {
        vkeyChoice->Enable(true);
        pressKeyButton->Enable(true);
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
        pressKeyButton->Enable(false);
        vkeyChoice->SetSelection(wxNOT_FOUND);
    }
    changeAllButton->Enable(true);
    pressKeyItem->Enable(occurrence.IsVKey());
    changeAllItem->Enable(true);
    ShowContext(index);
}

// A cheat test shows the field for its code instead of the key choices.
void MainFrame::ShowKeyEditor(bool cheat) {
    wxSizer* box = changeAllButton->GetContainingSizer();  // the key box's sizer
    if (box->IsShown(cheatSizer) == cheat) return;
    box->Show(keyChoicesSizer, !cheat, true);
    box->Show(cheatSizer, cheat, true);
    mainPanel->Layout();
}

void MainFrame::OnSetCheatCode(wxCommandEvent& /*event*/) { ApplyPendingCheatCode(); }

// The code in the field becomes the selected cheat test's when it fits the
// room the test's string has; otherwise the reason is shown and the field
// goes back to the code the test holds.
bool MainFrame::ApplyPendingCheatCode() {
    if (editedTest >= occurrences.size() || !occurrences[editedTest].IsCheat()) return true;
    KeyOccurrence* occurrence = &occurrences[editedTest];
    const std::string typed(cheatText->GetValue().utf8_str());
    if (typed == occurrence->code) return true;
    const CheatRefusal refusal = CheckCheatCode(*occurrence, typed);
    if (refusal != CheatRefusal::Accepted) {
        ShowMessage(wxString::FromUTF8(CheatRefusalText(refusal, *occurrence)));
        cheatText->ChangeValue(wxString::FromUTF8(occurrence->code));
        return false;
    }
    const std::string code = CheatCodeToWrite(typed);
    cheatText->ChangeValue(wxString::FromUTF8(code));
    if (code == occurrence->code) return true;
    RememberForUndo();
    occurrence->code = code;
    AfterEdit();
    return true;
}

void MainFrame::OnOccurrenceSelected(wxCommandEvent& event) {
    ApplyPendingCheatCode();  // a code typed for the line left is set (or refused) first
    const std::size_t index = TestAtLine(event.GetInt());
    if (index != kNoTest) UpdateChoices(static_cast<int>(index));
}

void MainFrame::RememberForUndo() {
    undoSteps.push_back(occurrences);
    redoSteps.clear();
}

// After the tests changed: their lines, the choices, the title, the menus.
void MainFrame::AfterEdit() {
    for (std::size_t i = 0; i < occurrences.size(); ++i) RefreshLine(i);
    const std::size_t selected = TestAtLine(occurrenceList->GetSelection());
    if (selected != kNoTest) UpdateChoices(static_cast<int>(selected));
    UpdateTitle();
    UpdateEditCommands();
}

void MainFrame::UpdateEditCommands() {
    undoItem->Enable(!undoSteps.empty());
    redoItem->Enable(!redoSteps.empty());
}

void MainFrame::OnPadSelected(wxCommandEvent& event) {
    KeyOccurrence* occurrence = SelectedOccurrence();
    if (occurrence == nullptr || occurrence->pad == event.GetInt()) return;
    RememberForUndo();
    occurrence->pad = event.GetInt();
    AfterEdit();
}

void MainFrame::OnGameKeySelected(wxCommandEvent& event) {
    KeyOccurrence* occurrence = SelectedOccurrence();
    if (occurrence == nullptr || occurrence->key == event.GetInt()) return;
    RememberForUndo();
    occurrence->key = event.GetInt();
    AfterEdit();
}

void MainFrame::OnVKeySelected(wxCommandEvent& event) { SetSelectedVKey(event.GetInt()); }

// The selected test takes a VKey, unless its parameter cannot hold it.
void MainFrame::SetSelectedVKey(int32_t vkey) {
    KeyOccurrence* occurrence = SelectedOccurrence();
    if (occurrence == nullptr || !occurrence->IsVKey()) return;
    if (CheckVKey(*occurrence, vkey) != KeyRefusal::Accepted) {
        ShowMessage(kVKeyTooWide);
        SelectNumber(vkeyChoice, occurrence->key);
        return;
    }
    if (occurrence->key == vkey) return;
    RememberForUndo();
    occurrence->key = vkey;
    AfterEdit();
}

void MainFrame::OnPressKey(wxCommandEvent& /*event*/) {
    const KeyOccurrence* occurrence = SelectedOccurrence();
    if (occurrence == nullptr || !occurrence->IsVKey()) return;
    waitingForKey = true;
    pressKeyButton->SetLabel(kWaitingLabel);
    SetStatusText(kWaitingLabel);
    mainPanel->Layout();
}

void MainFrame::StopWaitingForKey(const wxString& status) {
    waitingForKey = false;
    pressKeyButton->SetLabel(kPressKeyLabel);
    mainPanel->Layout();
    SetStatusText(status);
}

// While waiting, the next key pressed anywhere in the window is the new VKey.
void MainFrame::OnCharHook(wxKeyEvent& event) {
    if (!waitingForKey) {
        event.Skip();
        return;
    }
    if (event.GetKeyCode() == WXK_ESCAPE) {
        StopWaitingForKey("No key taken");
        return;
    }
    // The system's own key code: on Linux the X keysym, which tells left
    // from right modifiers; on Windows the VKey itself.
    const std::optional<int32_t> vkey = VKeyForToolkitKey(event.GetKeyCode(), event.GetRawKeyCode());
    StopWaitingForKey(vkey ? wxString::FromUTF8("Took " + VKeyName(*vkey)) : wxString(kNoVKey));
    if (vkey) SetSelectedVKey(*vkey);
}

// While waiting, a click on the prompt takes that mouse button.
void MainFrame::OnPressKeyMouse(wxMouseEvent& event) {
    if (!waitingForKey) {
        event.Skip();
        return;
    }
    MouseButton button = MouseButton::Left;
    switch (event.GetButton()) {
        case wxMOUSE_BTN_RIGHT: button = MouseButton::Right; break;
        case wxMOUSE_BTN_MIDDLE: button = MouseButton::Middle; break;
        case wxMOUSE_BTN_AUX1: button = MouseButton::Extra1; break;
        case wxMOUSE_BTN_AUX2: button = MouseButton::Extra2; break;
        default: break;
    }
    const int32_t vkey = VKeyForMouseButton(button);
    StopWaitingForKey(wxString::FromUTF8("Took " + VKeyName(vkey)));
    SetSelectedVKey(vkey);
}

ChangeReport MainFrame::ChangeAllKeys(const KeyChange& change) {
    const std::vector<KeyOccurrence> before = occurrences;
    std::vector<KeyOccurrence> after = occurrences;
    const ChangeReport report = ApplyKeyChange(before, after, change);
    if (report.changed > 0) {
        RememberForUndo();
        occurrences.swap(after);
        AfterEdit();
    }
    return report;
}

// Every test with the selected line's key (same kind; a button on the same
// pad) gets a key chosen from a list of names.
void MainFrame::OnChangeAll(wxCommandEvent& /*event*/) {
    const KeyOccurrence* occurrence = SelectedOccurrence();
    if (occurrence == nullptr) return;
    const bool vkey = occurrence->IsVKey();
    const int count = vkey ? kVKeyCount : kGameKeyCount;
    wxArrayString names;
    for (int key = 0; key < count; ++key)
        names.Add(wxString::Format("%d  %s", key, wxString::FromUTF8(vkey ? VKeyName(key) : GameKeyName(key))));
    const wxString from = wxString::FromUTF8(vkey ? VKeyName(occurrence->key) : GameKeyName(occurrence->key));
    const wxString where = vkey ? wxString() : wxString::Format(" on %s", kPadNames[occurrence->pad]);
    wxSingleChoiceDialog dialog(this, wxString::Format("Every test of %s%s gets:", from, where), kChangeAllTitle,
                                names);
    if (occurrence->key >= 0 && occurrence->key < count) dialog.SetSelection(occurrence->key);
    if (dialog.ShowModal() != wxID_OK) return;
    const int to = dialog.GetSelection();
    KeyChange change;
    change.kind = occurrence->kind;
    change.pad = vkey ? KeyChange::kAnyPad : occurrence->pad;
    change.from = occurrence->key;
    change.to = to;
    const ChangeReport report = ChangeAllKeys(change);
    const wxString toName = wxString::FromUTF8(vkey ? VKeyName(to) : GameKeyName(to));
    wxString text = wxString::Format(kChangedAll, report.changed, report.changed == 1 ? "" : "s", from, toName);
    if (!report.refused.empty())
        text += wxString::Format(kRefusedSome, report.refused.size(), report.refused.size() == 1 ? "" : "s", from);
    SetStatusText(text.BeforeFirst('\n'));
    ShowMessage(text);
}

void MainFrame::OnUndo(wxCommandEvent& /*event*/) {
    if (undoSteps.empty()) return;
    redoSteps.push_back(occurrences);
    occurrences = std::move(undoSteps.back());
    undoSteps.pop_back();
    AfterEdit();
}

void MainFrame::OnRedo(wxCommandEvent& /*event*/) {
    if (redoSteps.empty()) return;
    undoSteps.push_back(occurrences);
    occurrences = std::move(redoSteps.back());
    redoSteps.pop_back();
    AfterEdit();
}

// The instructions around the test, one a line: its offset in hexadecimal
// and the instruction as a script writer reads it; the test's own line bold
// on a tinted ground.
void MainFrame::ShowContext(int index) {
    contextView->Clear();
    if (index < 0 || static_cast<std::size_t>(index) >= occurrences.size()) return;
    const int32_t offset = occurrences[static_cast<std::size_t>(index)].offset;
    const std::vector<DecodedInstruction> around =
        InstructionsAround(script, opcodeTable, scanSummary, offset, kContextBefore, kContextAfter);
    contextView->Freeze();
    for (const DecodedInstruction& instruction : around) {
        const wxString line = wxString::Format("%6X  ", static_cast<unsigned>(instruction.offset)) +
                              wxString::FromUTF8(instruction.text) + "\n";
        if (instruction.offset == offset) {
            wxTextAttr selected;
            selected.SetFontWeight(wxFONTWEIGHT_BOLD);
            selected.SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_INFOBK));
            selected.SetTextColour(wxSystemSettings::GetColour(wxSYS_COLOUR_INFOTEXT));
            contextView->SetDefaultStyle(selected);
            contextView->AppendText(line);
            contextView->SetDefaultStyle(wxTextAttr(contextView->GetForegroundColour(),
                                                    contextView->GetBackgroundColour(), contextView->GetFont()));
        } else {
            contextView->AppendText(line);
        }
    }
    contextView->ShowPosition(0);
    contextView->Thaw();
}
