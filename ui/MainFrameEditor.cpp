// Editing the selected test through the pad, game key and VKey choices, a
// key pressed, or a change of every test of a key; undoing edits; the list's
// filter; and showing what surrounds the selected test.

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

const char* const kVKeyRefused = "You can't select this VKey: %s.";
const char* const kPressKeyLabel = "P&ress key...";
const char* const kWaitingLabel = "Press a key (Esc cancels)";
const char* const kNoVKey = "That key has no VKey: nothing changed";
const char* const kChangeAllTitle = "Change all";
const char* const kChangedAll = "Changed %s from %s to %s.";
const char* const kRefusedSome = "\n%s kept %s: an 8-bit key parameter holds VKeys up to 127 only.";
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

wxString Tests(std::size_t count) { return wxString::FromUTF8(Plural(static_cast<int64_t>(count), "test", "tests")); }

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

std::size_t MainFrame::SelectedTest() const { return TestAtLine(testList->GetSelection()); }

// A test stays in the list when its kind is the one chosen and its line
// contains the filter's text (its key's name, offset or opcode), in any case.
bool MainFrame::FilterKeeps(std::size_t index) const {
    const KeyTest& test = session.Tests()[index];
    switch (kindFilter->GetSelection()) {
        case kVKeyTests:
            if (!test.IsVKey()) return false;
            break;
        case kButtonTests:
            if (!test.IsButton()) return false;
            break;
        case kCheatTests:
            if (!test.IsCheat()) return false;
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
    for (std::size_t i = 0; i < session.Tests().size(); ++i) {
        if (!FilterKeeps(i)) continue;
        visibleTests.push_back(i);
        lines.Add(LineText(i));
    }
    testList->Clear();
    if (!lines.empty()) testList->Insert(lines, 0);
    int line = LineOfTest(select);
    if (line < 0 && !visibleTests.empty()) line = 0;
    if (line >= 0) {
        testList->SetSelection(line);
        UpdateChoices(visibleTests[static_cast<std::size_t>(line)]);
    } else {
        editedTest = kNoTest;
        for (wxChoice* choice : {padChoice, gameKeyChoice, vkeyChoice}) choice->SetSelection(wxNOT_FOUND);
        contextView->Clear();
    }
}

void MainFrame::OnFilter(wxCommandEvent& /*event*/) {
    if (session.Tests().empty()) return;
    ApplyPendingCheatCode();
    const std::size_t selected = SelectedTest();
    FillList(selected == kNoTest ? 0 : selected);
}

// The choices show the test's values, the others nothing; a cheat test
// shows its code instead.
void MainFrame::UpdateChoices(std::size_t index) {
    if (index >= session.Tests().size()) return;
    editedTest = index;
    const KeyTest& test = session.Tests()[index];
    ShowKeyEditor(test.IsCheat());
    if (test.IsCheat()) cheatText->ChangeValue(wxString::FromUTF8(test.code));
    SelectNumber(vkeyChoice, test.IsVKey() ? test.key : -1);
    SelectNumber(gameKeyChoice, test.IsButton() ? test.key : -1);
    SelectNumber(padChoice, test.IsButton() ? test.pad : -1);
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
    if (editedTest >= session.Tests().size() || !session.Tests()[editedTest].IsCheat()) return true;
    const std::string typed(cheatText->GetValue().utf8_str());
    if (typed == session.Tests()[editedTest].code) return true;
    session.TypeCheatCode(editedTest, typed);
    const CheatRefusal refusal = session.SetPendingCheatCode();
    const KeyTest& test = session.Tests()[editedTest];
    cheatText->ChangeValue(wxString::FromUTF8(test.code));
    if (refusal != CheatRefusal::Accepted) {
        ShowMessage(wxString::FromUTF8(CheatRefusalText(refusal, test)));
        return false;
    }
    AfterEdit();
    return true;
}

void MainFrame::OnTestSelected(wxCommandEvent& event) {
    ApplyPendingCheatCode();  // a code typed for the line left is set (or refused) first
    const std::size_t index = TestAtLine(event.GetInt());
    if (index != kNoTest) UpdateChoices(index);
}

// After the tests changed: their lines, the choices, the title.
void MainFrame::AfterEdit() {
    for (std::size_t i = 0; i < session.Tests().size(); ++i) RefreshLine(i);
    const std::size_t selected = SelectedTest();
    if (selected != kNoTest) UpdateChoices(selected);
    UpdateTitle();
}

void MainFrame::OnPadSelected(wxCommandEvent& event) {
    const std::size_t test = SelectedTest();
    if (test == kNoTest) return;
    if (session.SetPad(test, event.GetInt()) == KeyRefusal::Accepted) AfterEdit();
}

void MainFrame::OnGameKeySelected(wxCommandEvent& event) {
    const std::size_t test = SelectedTest();
    if (test == kNoTest) return;
    if (session.SetGameKey(test, event.GetInt()) == KeyRefusal::Accepted) AfterEdit();
}

void MainFrame::OnVKeySelected(wxCommandEvent& event) { SetSelectedVKey(event.GetInt()); }

// The selected test takes a VKey, unless its parameter cannot hold it.
void MainFrame::SetSelectedVKey(int32_t vkey) {
    const std::size_t test = SelectedTest();
    if (test == kNoTest || !session.Tests()[test].IsVKey()) return;
    const KeyRefusal refusal = session.SetVKey(test, vkey);
    if (refusal != KeyRefusal::Accepted) {
        ShowMessage(wxString::Format(kVKeyRefused, wxString::FromUTF8(RefusalText(refusal, vkey))));
        SelectNumber(vkeyChoice, session.Tests()[test].key);
        return;
    }
    AfterEdit();
}

void MainFrame::OnPressKey(wxCommandEvent& /*event*/) {
    const std::size_t test = SelectedTest();
    if (test == kNoTest || !session.Tests()[test].IsVKey()) return;
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
    const ChangeReport report = session.ChangeAll(change);
    if (report.changed > 0) AfterEdit();
    return report;
}

// Every test with the selected line's key (same kind; a button on the same
// pad) gets a key chosen from a list of names.
void MainFrame::OnChangeAll(wxCommandEvent& /*event*/) {
    const std::size_t selected = SelectedTest();
    if (selected == kNoTest || session.Tests()[selected].IsCheat()) return;
    const KeyTest test = session.Tests()[selected];
    const bool vkey = test.IsVKey();
    const int count = vkey ? kVKeyCount : kGameKeyCount;
    wxArrayString names;
    for (int key = 0; key < count; ++key)
        names.Add(wxString::Format("%d  %s", key, wxString::FromUTF8(vkey ? VKeyName(key) : GameKeyName(key))));
    const wxString from = wxString::FromUTF8(vkey ? VKeyName(test.key) : GameKeyName(test.key));
    const wxString where = vkey ? wxString() : wxString::Format(" on %s", kPadNames[test.pad]);
    wxSingleChoiceDialog dialog(this, wxString::Format("Every test of %s%s gets:", from, where), kChangeAllTitle,
                                names);
    if (test.key >= 0 && test.key < count) dialog.SetSelection(test.key);
    if (dialog.ShowModal() != wxID_OK) return;
    const int to = dialog.GetSelection();
    KeyChange change;
    change.kind = test.kind;
    if (!vkey) change.pad = test.pad;
    change.from = test.key;
    change.to = to;
    const ChangeReport report = ChangeAllKeys(change);
    const wxString toName = wxString::FromUTF8(vkey ? VKeyName(to) : GameKeyName(to));
    wxString text = wxString::Format(kChangedAll, Tests(report.changed), from, toName);
    if (!report.refused.empty()) text += wxString::Format(kRefusedSome, Tests(report.refused.size()), from);
    SetStatusText(text.BeforeFirst('\n'));
    ShowMessage(text);
}

void MainFrame::OnUndo(wxCommandEvent& /*event*/) {
    if (session.Undo()) AfterEdit();
}

void MainFrame::OnRedo(wxCommandEvent& /*event*/) {
    if (session.Redo()) AfterEdit();
}

// The instructions around the test, one a line: its offset in hexadecimal
// and the instruction as a script writer reads it; the test's own line bold
// on a tinted ground.
void MainFrame::ShowContext(std::size_t index) {
    contextView->Clear();
    if (index >= session.Tests().size()) return;
    const int32_t offset = session.Tests()[index].offset;
    const std::vector<DecodedInstruction> around = session.Around(index, kContextBefore, kContextAfter);
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
