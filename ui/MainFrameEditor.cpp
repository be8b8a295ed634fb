// Editing the selected test through the pad, game key and VKey choices, a
// key pressed, or a change of every test of a key; undoing edits; the list's
// filter; and showing what surrounds the selected test.

#include <wx/msgdlg.h>
#include <wx/settings.h>
#include <wx/sizer.h>

#include <algorithm>
#include <functional>
#include <string>

#include "keys/Hotkeys.h"
#include "keys/KeyCodes.h"
#include "keys/KeyNames.h"
#include "keys/KeyRules.h"
#include "script/Instructions.h"
#include "ui/ChangeAllDialog.h"
#include "ui/MainFrame.h"
#include "ui/WxTr.h"

using namespace morvane;

namespace {

// TRANSLATORS: {reason} is why the VKey does not fit ("F17 (0x80) needs 16 bits
// and the key parameter there has 8").
const char* const kVKeyRefused = N_("You can't select this VKey: {reason}.");
// TRANSLATORS: {reason} is why the cheat code typed does not fit ("this code
// must have exactly 4 characters").
const char* const kCheatNotSet = N_("Code not set: {reason}");
// TRANSLATORS: {reason} is why the cheat code typed does not fit ("this code
// must have exactly 4 characters").
const char* const kCheatRefused = N_("{reason}.\nMend the code, or undo (Ctrl+Z) to go back to the one the test has.");
// The code field's ground while its code is refused.
wxColour RefusedGround() { return wxColour(0xFF, 0xCC, 0xCC); }
const char* const kWaitingLabel = N_("Press a key (Esc cancels)");
const char* const kNoKeyTaken = N_("No key taken");
// TRANSLATORS: {key} is the key pressed ("F7 (0x76)", "Ctrl+F5").
const char* const kTook = N_("Took {key}");
// TRANSLATORS: {reason} is why the keys pressed were not taken ("Alt+O is a
// hotkey of 2 keys; 1 was pressed").
const char* const kNotTakenWhy = N_("Not taken: {reason}");
// TRANSLATORS: {key} is the key pressed, which the test cannot take ("Left Shift (0xA0)").
const char* const kNotTakenKey = N_("Not taken: {key}");
const char* const kNoVKey = N_("That key has no VKey: nothing changed");
// The modifiers' VKeys, either side, as a chord pressed takes them (key 0
// is no modifier).
constexpr int32_t kShiftVKey = 0x10, kCtrlVKey = 0x11, kAltVKey = 0x12;
// TRANSLATORS: {key} is the key chosen in Change All, which its tests have already.
const char* const kNothingChanged = N_("Nothing changed: the tests of {key} have that key already.");
// TRANSLATORS: the question of Change All; {key} is the key of the selected
// test ("F2").
const char* const kEveryTest = N_("Every test of {key} gets:");
// TRANSLATORS: the question of Change All; {key} is the pad button of the
// selected test ("Cross: Sprint | Accelerate"), {pad} its game controller
// ("Pad 1").
const char* const kEveryTestOnPad = N_("Every test of {key} on {pad} gets:");
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

// The test's own line's ground: one part of the selection's colour to
// (kTintParts - 1) parts of the view's.
constexpr int kTintParts = 4;

// Shows a number in a choice whose item index is that number; a number with
// no item leaves the choice without a selection.
void SelectNumber(wxChoice* choice, int32_t number) {
    const bool inRange = number >= 0 && static_cast<unsigned>(number) < choice->GetCount();
    choice->SetSelection(inRange ? number : wxNOT_FOUND);
}

}  // namespace

std::size_t MainFrame::SelectedTest() const { return rows.TestAt(testList->SelectedRow()).value_or(kNoTest); }

// Fills the list with the tests the filter keeps and selects `select`, or
// the first row when it is not shown; an empty result says so in the
// list's place.
void MainFrame::FillList(std::size_t select) {
    // The kind choice's items are in the order of TestKindFilter.
    rows.SetFilter(static_cast<TestKindFilter>(std::max(0, kindFilter->GetSelection())),
                   std::string(filterText->GetValue().Lower().utf8_str()));
    rows.Update(session);
    const bool empty = rows.Count() == 0 && session.IsOpen();
    wxSizer* column = testList->GetContainingSizer();
    if (column->IsShown(emptyListText) != empty) {
        column->Show(emptyListText, empty);
        column->Show(testList, !empty);
        mainPanel->Layout();
    }
    testList->ShowRows(static_cast<long>(rows.Count()));
    long row = rows.RowOf(select).value_or(rows.Count() > 0 ? 0 : -1);
    selectingRow = true;
    testList->SelectRow(row);
    selectingRow = false;
    if (const std::optional<std::size_t> shown = rows.TestAt(row)) {
        UpdateChoices(*shown);
    } else {
        editedTest = kNoTest;
        for (wxChoice* choice : {padChoice, gameKeyChoice, vkeyChoice}) choice->SetSelection(wxNOT_FOUND);
        ShowTouchChoice(nullptr);
        contextView->Clear();
    }
    UpdateHeading();
}

void MainFrame::OnFilter(wxCommandEvent& /*event*/) {
    if (session.Tests().empty()) return;
    ApplyPendingCheatCode();
    const std::size_t selected = SelectedTest();
    FillList(selected == kNoTest ? editedTest : selected);
}

// A click on a column's title sorts the rows by it; a second click on the
// same column turns the order round.
void MainFrame::OnColumnClick(wxListEvent& event) {
    const long column = event.GetColumn();
    if (column < 0 || column >= kTestColumnCount) return;
    rows.SortBy(static_cast<TestColumn>(column));
    testList->ShowSortColumn(column, rows.Ascending());
    if (!session.IsOpen()) return;
    const std::size_t selected = SelectedTest();
    FillList(selected == kNoTest ? editedTest : selected);
}

// The choices show the test's values, the others nothing; a cheat test
// shows its code instead.
void MainFrame::UpdateChoices(std::size_t index) {
    if (index >= session.Tests().size()) return;
    editedTest = index;
    const KeyTest& test = session.Tests()[index];
    ShowKeyEditor(test.IsCheat());
    if (test.IsCheat()) cheatText->ChangeValue(wxString::FromUTF8(session.TypedCheatCode(index)));
    ShowCheatRefusal();
    SelectNumber(vkeyChoice, test.IsVKey() ? test.key : -1);
    SelectNumber(gameKeyChoice, test.IsButton() ? test.key : -1);
    SelectNumber(padChoice, test.IsButton() ? test.pad : -1);
    ShowTouchChoice(&test);
    ShowContext(index);
    testList->Refresh();  // the rows of its hotkey are marked
    const std::size_t sharing = session.SharingKey(index).size();
    if (!test.Changeable())
        // TRANSLATORS: in the status bar: why the selected test cannot be
        // changed ("3@ is never set to a number in this file").
        SetStatusText(WxText(Fill(Tr("Left alone: {reason}."), {{"reason", test.unresolved}})));
    else if (sharing > 1)
        SetStatusText(WxText(
            // TRANSLATORS: in the status bar: {variable} is a script's variable ("0@")
            // that keeps the key of {count} tests.
            Fill(TrN("{variable} keeps the key of {count} test: a new key changes them all.",
                     "{variable} keeps the key of {count} tests: a new key changes them all.", sharing),
                 {{"variable", VariableName(test.variable)}, {"count", std::to_string(sharing)}})));
}

// A cheat test shows the field for its code instead of the key choices.
void MainFrame::ShowKeyEditor(bool cheat) {
    wxSizer* box = changeAllButton->GetContainingSizer();  // the key box's sizer
    if (box->IsShown(cheatSizer) == cheat) return;
    box->Show(keyChoicesSizer, !cheat, true);
    box->Show(cheatSizer, cheat, true);
    ShowCheatRefusal();
    mainPanel->Layout();
}

void MainFrame::ShowCheatRefusal() {
    // A refusal holds while its code is still typed and still does not fit.
    std::string cause;
    if (refusedCheat != kNoTest && session.PendingCheatTest() == refusedCheat)
        cause = CheatRefusalText(CheckCheatCode(session.Tests()[refusedCheat], session.TypedCheatCode(refusedCheat)),
                                 session.Tests()[refusedCheat]);
    if (cause.empty()) refusedCheat = kNoTest;
    const bool marked = !cause.empty() && refusedCheat == editedTest;
    cheatText->SetBackgroundColour(marked ? RefusedGround() : wxNullColour);
    cheatText->Refresh();
    cheatProblem->SetLabel(marked ? WxText(Fill(Tr(kCheatNotSet), {{"reason", cause}})) : wxString());
    const bool shown = marked && changeAllButton->GetContainingSizer()->IsShown(cheatSizer);
    wxSizer* column = cheatProblem->GetContainingSizer();
    if (column->IsShown(cheatProblem) != shown) {
        column->Show(cheatProblem, shown);
        mainPanel->Layout();
    }
}

void MainFrame::OnSetCheatCode(wxCommandEvent& /*event*/) { ApplyPendingCheatCode(); }

// What is typed into the code field waits in the session until it is set.
void MainFrame::OnCheatCodeTyped(wxCommandEvent& /*event*/) {
    session.TypeCheatCode(editedTest, std::string(cheatText->GetValue().utf8_str()));
    ShowCheatRefusal();
    UpdateTitle();
}

// The code typed for the edited cheat test becomes its code when it fits
// the room the test's string has; otherwise the reason is shown and what
// was typed stays in the field, to be mended.
bool MainFrame::ApplyPendingCheatCode() {
    if (!session.PendingCheatTest()) return true;
    const std::size_t index = *session.PendingCheatTest();
    const CheatRefusal refusal = session.SetPendingCheatCode();
    if (refusal != CheatRefusal::Accepted) {
        refusedCheat = index;
        ShowCheatRefusal();
        const std::string cause = CheatRefusalText(refusal, session.Tests()[index]);
        SetStatusText(WxText(Fill(Tr(kCheatNotSet), {{"reason", cause}})));
        ShowMessage(WxText(Fill(Tr(kCheatRefused), {{"reason", cause}})));
        return false;
    }
    if (index == editedTest) cheatText->ChangeValue(wxString::FromUTF8(session.Tests()[index].code));
    AfterEdit();
    return true;
}

void MainFrame::OnTestSelected(wxListEvent& event) {
    // Not the window's own selection, nor a row no longer selected (the
    // window took it back, below).
    if (selectingRow || event.GetIndex() != testList->SelectedRow()) return;
    // A code typed for the row left is set first; refused, the row stays
    // selected with what was typed, marked, to be mended or undone.
    if (!ApplyPendingCheatCode()) {
        selectingRow = true;
        testList->SelectRow(rows.RowOf(editedTest).value_or(-1));
        selectingRow = false;
        return;
    }
    if (const std::optional<std::size_t> index = rows.TestAt(event.GetIndex())) UpdateChoices(*index);
}

// After the tests changed: their rows, the choices, the title; a message
// about the script before the edit no longer holds.
void MainFrame::AfterEdit() {
    SetStatusText(wxEmptyString);
    testList->Refresh();
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

void MainFrame::ShowTouchChoice(const KeyTest* test) {
    // Item n is zone n + 1, or widget n.
    const bool zone = test != nullptr && test->IsZone();
    const bool widget = test != nullptr && test->IsWidget();
    const unsigned items = zone ? kHighestTouchZone : widget ? kHighestWidget + 1 : 0;
    const int32_t first = zone ? kLowestTouchZone : 0;
    const bool zonesShown = touchChoice->GetCount() > 0 && touchChoice->GetString(0) == TouchZoneEntryName(first);
    if (touchChoice->GetCount() != items || (zone && !zonesShown)) {
        touchChoice->Clear();
        for (unsigned n = 0; n < items; ++n) {
            const auto value = static_cast<int32_t>(n) + first;
            touchChoice->Append(wxString::FromUTF8(zone ? TouchZoneEntryName(value) : WidgetEntryName(value)));
        }
    }
    SelectNumber(touchChoice, test != nullptr && (zone || widget) ? test->key - first : -1);
    // The touch row stands in place of the pad's rows, so the box never grows.
    const bool touch = zone || widget;
    if (touchChoice->IsShown() == touch) return;
    for (wxWindow* window : std::initializer_list<wxWindow*>{touchLabel, touchChoice}) window->Show(touch);
    for (wxWindow* window : std::initializer_list<wxWindow*>{padLabel, padChoice, gameKeyLabel, gameKeyChoice})
        window->Show(!touch);
    mainPanel->Layout();
}

void MainFrame::OnTouchSelected(wxCommandEvent& event) {
    const std::size_t test = SelectedTest();
    if (test == kNoTest || !session.Tests()[test].IsTouch()) return;
    const int32_t value = event.GetInt() + (session.Tests()[test].IsZone() ? kLowestTouchZone : 0);
    const KeyRefusal refusal = session.SetTouchValue(test, value);
    if (refusal == KeyRefusal::Accepted) {
        AfterEdit();
        return;
    }
    ShowTouchChoice(&session.Tests()[test]);
    SetStatusText(wxString::FromUTF8(RefusalText(refusal, value)));
}

void MainFrame::OnVKeySelected(wxCommandEvent& event) { SetSelectedVKey(event.GetInt()); }

bool MainFrame::SetSelectedVKey(int32_t vkey) {
    const std::size_t test = SelectedTest();
    if (test == kNoTest || !session.Tests()[test].IsVKey()) return false;
    const KeyRefusal refusal = session.SetVKey(test, vkey);
    if (refusal != KeyRefusal::Accepted) {
        const wxString text =
            WxText(Fill(Tr(kVKeyRefused), {{"reason", RefusalText(refusal, vkey, VKeyNaming::AsListed)}}));
        SelectNumber(vkeyChoice, session.Tests()[test].key);
        SetStatusText(text);
        ShowMessage(text);
        return false;
    }
    AfterEdit();
    return true;
}

// Press Key: the prompt takes the button's place and the focus, so that the
// next key, whichever it is, comes to the window and to nothing else.
void MainFrame::OnPressKey(wxCommandEvent& /*event*/) {
    const std::size_t test = SelectedTest();
    if (test == kNoTest || !session.Tests()[test].IsVKey()) return;
    keyWait = KeyWait::ForPress;
    keyPromptText->SetLabel(WxTr(kWaitingLabel));
    wxSizer* cell = pressKeyButton->GetContainingSizer();
    cell->Show(pressKeyButton, false);
    cell->Show(keyPrompt, true);
    mainPanel->Layout();
    keyPrompt->SetFocus();
    SetStatusText(WxTr(kWaitingLabel));
}

void MainFrame::StopWaitingForKey() {
    if (keyWait == KeyWait::None) return;
    keyWait = KeyWait::None;
    wxSizer* cell = pressKeyButton->GetContainingSizer();
    const bool hadFocus = wxWindow::FindFocus() == keyPrompt;
    cell->Show(keyPrompt, false);
    cell->Show(pressKeyButton, true);
    mainPanel->Layout();
    if (hadFocus) pressKeyButton->SetFocus();
}

// The key pressed while waiting: Esc ends the wait; any other is taken, as
// the system names it (each side of Shift, Ctrl and Alt apart). The key's
// release is then waited for, so that nothing else sees it.
void MainFrame::TakeKey(const wxKeyEvent& event) {
    if (event.GetKeyCode() == WXK_ESCAPE) {
        StopWaitingForKey();
        SetStatusText(WxTr(kNoKeyTaken));
        return;
    }
    const std::optional<int32_t> vkey =
        VKeyForToolkitKey(event.GetKeyCode(), event.GetRawKeyCode(), event.GetRawKeyFlags());
    keyWait = KeyWait::ForRelease;
    if (!vkey) {
        keyPromptText->SetLabel(WxTr(kNoVKey));
        SetStatusText(WxTr(kNoVKey));
        return;
    }
    // A chord takes the keys pressed together: the modifiers held and the
    // key. While only modifiers are down, the wait goes on.
    const std::size_t selected = SelectedTest();
    if (selected != kNoTest && InChord(session.Tests(), selected)) {
        const std::vector<std::size_t> chord = HotkeyOf(session.Tests(), selected);
        const bool hasOtherKey = std::any_of(chord.begin(), chord.end(), [&](std::size_t i) {
            const KeyTest& t = session.Tests()[i];
            return !t.negated && ModifierRank(t.key) == ModifierRank(0);
        });
        if (hasOtherKey && ModifierRank(*vkey) != ModifierRank(0)) {
            keyWait = KeyWait::ForPress;
            return;
        }
        std::vector<int32_t> pressed;
        if (event.ControlDown() && ModifierRank(*vkey) != ModifierRank(kCtrlVKey)) pressed.push_back(kCtrlVKey);
        if (event.ShiftDown() && ModifierRank(*vkey) != ModifierRank(kShiftVKey)) pressed.push_back(kShiftVKey);
        if (event.AltDown() && ModifierRank(*vkey) != ModifierRank(kAltVKey)) pressed.push_back(kAltVKey);
        pressed.push_back(*vkey);
        const std::string refusal = session.SetChord(selected, pressed);
        const wxString text = WxText(refusal.empty() ? Fill(Tr(kTook), {{"key", HotkeyText(session.Tests(), selected)}})
                                                     : Fill(Tr(kNotTakenWhy), {{"reason", refusal}}));
        if (refusal.empty()) AfterEdit();
        keyPromptText->SetLabel(text);
        SetStatusText(text);
        mainPanel->Layout();
        return;
    }
    // Until the key's release the prompt says whether it was taken.
    const bool taken = TakeVKey(*vkey);
    keyPromptText->SetLabel(WxText(taken ? Fill(Tr(kTook), {{"key", VKeyName(*vkey)}})
                                         : Fill(Tr(kNotTakenKey), {{"key", VKeyEntryName(*vkey)}})));
    mainPanel->Layout();
}

// The VKey taken becomes the selected test's, and the status bar says so,
// or why it could not.
bool MainFrame::TakeVKey(int32_t vkey) {
    if (!SetSelectedVKey(vkey)) return false;
    SetStatusText(WxText(Fill(Tr(kTook), {{"key", VKeyEntryName(vkey)}})));
    return true;
}

// While Press Key waits, every key is the one taken; else a key that is a
// menu command's shortcut runs it, wherever the focus is.
void MainFrame::OnCharHook(wxKeyEvent& event) {
    if (keyWait == KeyWait::ForPress) {
        TakeKey(event);
        return;
    }
    // Only a key pressed in this window: the key map's window is another.
    wxWindow* focus = wxWindow::FindFocus();
    if ((focus == nullptr || wxGetTopLevelParent(focus) == this) && RunShortcut(event)) return;
    event.Skip();
}

// Where the character hook does not see a key (a system key on some
// platforms), the focused prompt still does.
void MainFrame::OnKeyPromptKeyDown(wxKeyEvent& event) {
    if (keyWait == KeyWait::ForPress) {
        TakeKey(event);
        return;
    }
    if (keyWait == KeyWait::None) event.Skip();
}

// The taken key's release ends the wait, unseen by anything else.
void MainFrame::OnKeyPromptKeyUp(wxKeyEvent& event) {
    if (keyWait == KeyWait::None) {
        event.Skip();
        return;
    }
    if (keyWait == KeyWait::ForRelease) StopWaitingForKey();
}

// The focus taken elsewhere (a click, another window) ends the wait.
void MainFrame::OnKeyPromptLostFocus(wxFocusEvent& event) {
    if (keyWait == KeyWait::ForPress) {
        StopWaitingForKey();
        SetStatusText(WxTr(kNoKeyTaken));
    } else if (keyWait == KeyWait::ForRelease) {
        StopWaitingForKey();
    }
    event.Skip();
}

// While waiting, a click on the prompt takes that mouse button.
void MainFrame::OnPressKeyMouse(wxMouseEvent& event) {
    if (keyWait != KeyWait::ForPress) {
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
    StopWaitingForKey();
    TakeVKey(VKeyForMouseButton(button));
}

RemapResult MainFrame::ChangeAllKeys(const RemapRule& rule) {
    RemapResult result = session.ApplyRules({rule});
    if (result.Count(RemapAnswer::Changed) > 0) AfterEdit();
    return result;
}

// Every test with the selected line's key (same kind; a button on the same
// pad) gets a key chosen from a list of names.
void MainFrame::OnChangeAll(wxCommandEvent& /*event*/) {
    const std::size_t selected = SelectedTest();
    if (selected == kNoTest || session.Tests()[selected].IsCheat() || session.Tests()[selected].IsTouch()) return;
    const KeyTest test = session.Tests()[selected];
    const bool vkey = test.IsVKey();
    const std::string from = vkey ? VKeyName(test.key) : GameKeyName(test.key);
    const std::string question =
        vkey ? Fill(Tr(kEveryTest), {{"key", from}})
             : Fill(Tr(kEveryTestOnPad), {{"key", from}, {"pad", TrC("key", kPadNames[test.pad])}});
    ChangeAllDialog dialog(this, WxText(question), vkey ? KeyChoices::VKeys() : KeyChoices::GameKeys(), test.key, vkey);
    if (dialog.ShowModal() != wxID_OK) return;
    const int32_t to = dialog.ChosenKey();
    if (to < 0) return;
    if (to == test.key) {  // the key its tests already have
        SetStatusText(WxText(Fill(Tr(kNothingChanged), {{"key", from}})));
        return;
    }
    const RemapResult result =
        ChangeAllKeys(vkey ? RemapRule::ForVKey(test.key, to) : RemapRule::ForButton(test.key, to, test.pad));
    const std::size_t changed = result.Count(RemapAnswer::Changed);
    wxString text = WxText(
        // TRANSLATORS: after Change All: {count} tests changed from the key {from}
        // to the key {to} ("F2", "F7").
        Fill(TrN("Changed {count} test from {from} to {to}.", "Changed {count} tests from {from} to {to}.", changed),
             {{"count", std::to_string(changed)}, {"from", from}, {"to", vkey ? VKeyName(to) : GameKeyName(to)}}));
    const std::size_t refused = result.Count(RemapAnswer::Refused);
    if (refused > 0)
        text += "\n" + WxText(Fill(
                           // TRANSLATORS: after Change All: {count} tests that could not take the new
                           // key kept the key {key} ("F2").
                           TrN("{count} test kept {key}: an 8-bit key parameter holds VKeys up to 127 only.",
                               "{count} tests kept {key}: an 8-bit key parameter holds VKeys up to 127 only.", refused),
                           {{"count", std::to_string(refused)}, {"key", from}}));
    SetStatusText(text.BeforeFirst('\n'));
    ShowMessage(text);
}

// The session takes a code typed and not set into account (see Undo).
void MainFrame::OnUndo(wxCommandEvent& /*event*/) {
    if (session.Undo()) AfterEdit();
}

void MainFrame::OnRedo(wxCommandEvent& /*event*/) {
    if (session.Redo()) AfterEdit();
}

// The instructions around the test, one a line: its offset and the
// instruction as a script writer reads it, each jump's target the offset it
// leads to; the test's own line bold on a tinted ground.
void MainFrame::ShowContext(std::size_t index) {
    contextView->Clear();
    if (index >= session.Tests().size()) return;
    const int32_t offset = session.Tests()[index].offset;
    const std::vector<DecodedInstruction> around =
        session.Around(index, kContextBefore, kContextAfter, LabelForm::FileOffset);
    contextView->Freeze();
    long start = 0;
    long end = 0;
    wxString text;
    for (const DecodedInstruction& instruction : around) {
        const wxString line =
            wxString::Format("%8s  ", HexOffsetText(instruction.offset)) + wxString::FromUTF8(instruction.text) + "\n";
        if (instruction.offset == offset) {
            start = static_cast<long>(text.length());
            end = start + static_cast<long>(line.length()) - 1;
        }
        text += line;
    }
    contextView->ChangeValue(text);
    // A light tint of the selection's colour over the view's own ground.
    const wxColour ground = contextView->GetBackgroundColour();
    const wxColour tint = wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT);
    auto mix = [](unsigned char a, unsigned char b) {
        return static_cast<unsigned char>((a * (kTintParts - 1) + b) / kTintParts);
    };
    wxTextAttr selected;
    selected.SetFontWeight(wxFONTWEIGHT_BOLD);
    selected.SetBackgroundColour(
        wxColour(mix(ground.Red(), tint.Red()), mix(ground.Green(), tint.Green()), mix(ground.Blue(), tint.Blue())));
    selected.SetTextColour(contextView->GetForegroundColour());
    if (end > start) contextView->SetStyle(start, end, selected);
    contextView->ShowPosition(0);
    contextView->Thaw();
}
