#include "ui/ChangeAllDialog.h"

#include <wx/sizer.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "keys/KeyCodes.h"
#include "keys/KeyNames.h"
#include "ui/WxTr.h"

using namespace morvane;

namespace {

// Sizes in pixels at 96 dots an inch.
constexpr int kBorder = 5;
constexpr int kListWidth = 320;
constexpr int kListHeight = 300;

// TRANSLATORS: the title of the dialog that gives every test of a key another key.
const char* const kTitle = N_("Change All");
// TRANSLATORS: the button that selects the next key pressed.
const char* const kPressLabel = N_("P&ress Key...");
const char* const kWaitingLabel = N_("Press a key (Esc cancels)");
const char* const kNoKeyTaken = N_("No key taken");
const char* const kNoVKey = N_("That key has no VKey");
const char* const kNoneFound = N_("No key has that name");

// The list move a navigation key makes; none for other keys.
std::optional<ListMove> MoveOf(int keyCode) {
    switch (keyCode) {
        case WXK_UP:
        case WXK_NUMPAD_UP: return ListMove::Up;
        case WXK_DOWN:
        case WXK_NUMPAD_DOWN: return ListMove::Down;
        case WXK_PAGEUP:
        case WXK_NUMPAD_PAGEUP: return ListMove::PageUp;
        case WXK_PAGEDOWN:
        case WXK_NUMPAD_PAGEDOWN: return ListMove::PageDown;
        case WXK_HOME:
        case WXK_NUMPAD_HOME: return ListMove::First;
        case WXK_END:
        case WXK_NUMPAD_END: return ListMove::Last;
        default: return std::nullopt;
    }
}

}  // namespace

ChangeAllDialog::ChangeAllDialog(wxWindow* parent, const wxString& question, KeyChoices keyChoices, int32_t currentKey,
                                 bool canPress)
    : wxDialog(parent, wxID_ANY, WxTr(kTitle), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      choices(std::move(keyChoices)),
      current(currentKey) {
    const wxSizerFlags bordered = wxSizerFlags().Border(wxALL, FromDIP(kBorder));
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(new wxStaticText(this, wxID_ANY, question), bordered);

    auto* findRow = new wxBoxSizer(wxHORIZONTAL);
    // TRANSLATORS: the label of the field that finds keys by their names.
    findRow->Add(new wxStaticText(this, wxID_ANY, WxTr("&Find:")), wxSizerFlags().CenterVertical());
    findText = new wxTextCtrl(this, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize, 0, wxDefaultValidator,
                              "changeAllFind");
    findRow->Add(findText, wxSizerFlags(1).CenterVertical().Border(wxLEFT, FromDIP(kBorder)));
    if (canPress) {
        pressKeyButton = new wxButton(this, wxID_ANY, WxTr(kPressLabel), wxDefaultPosition, wxDefaultSize, 0,
                                      wxDefaultValidator, "changeAllPressKey");
        findRow->Add(pressKeyButton, wxSizerFlags().CenterVertical().Border(wxLEFT, FromDIP(kBorder)));
    }
    column->Add(findRow, wxSizerFlags(bordered).Expand());

    keyList = new wxListBox(this, wxID_ANY, wxDefaultPosition, FromDIP(wxSize(kListWidth, kListHeight)), 0, nullptr,
                            wxLB_SINGLE, wxDefaultValidator, "changeAllKeys");
    column->Add(keyList, wxSizerFlags(bordered).Proportion(1).Expand());
    hintText = new wxStaticText(this, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize, 0, "changeAllHint");
    column->Add(hintText, wxSizerFlags(bordered).Expand());
    column->Add(CreateSeparatedButtonSizer(wxOK | wxCANCEL), wxSizerFlags(bordered).Expand());
    SetSizerAndFit(column);
    okButton = dynamic_cast<wxButton*>(FindWindow(wxID_OK));
    // The buttons in the window's language, not the toolkit's.
    // TRANSLATORS: the button that changes every test of the key found.
    if (okButton != nullptr) okButton->SetLabel(WxTr("OK"));
    if (auto* cancel = dynamic_cast<wxButton*>(FindWindow(wxID_CANCEL))) cancel->SetLabel(WxTr("&Cancel"));

    findText->Bind(wxEVT_TEXT, &ChangeAllDialog::OnFindText, this);
    keyList->Bind(wxEVT_LISTBOX, &ChangeAllDialog::OnListSelected, this);
    keyList->Bind(wxEVT_LISTBOX_DCLICK, &ChangeAllDialog::OnListActivated, this);
    if (pressKeyButton != nullptr) pressKeyButton->Bind(wxEVT_BUTTON, &ChangeAllDialog::OnPressKey, this);
    Bind(wxEVT_CHAR_HOOK, &ChangeAllDialog::OnCharHook, this);

    ShowChoices();
    const std::optional<std::size_t> row = choices.RowOf(current);
    if (row) Select(static_cast<int>(*row));
    findText->SetFocus();
    CentreOnParent();
}

int32_t ChangeAllDialog::ChosenKey() const {
    const int row = keyList->GetSelection();
    if (row == wxNOT_FOUND || static_cast<std::size_t>(row) >= choices.Count()) return -1;
    return choices.KeyAt(static_cast<std::size_t>(row));
}

// The keys the field finds, keeping the key selected where it is still
// shown, else selecting the first.
void ChangeAllDialog::ShowChoices() {
    const int32_t selected = ChosenKey();
    choices.SetFilter(std::string(findText->GetValue().utf8_str()));
    wxArrayString names;
    for (std::size_t row = 0; row < choices.Count(); ++row) names.Add(wxString::FromUTF8(choices.NameAt(row)));
    keyList->Set(names);
    const std::optional<std::size_t> row = selected < 0 ? std::nullopt : choices.RowOf(selected);
    if (row)
        Select(static_cast<int>(*row));
    else if (choices.Count() > 0)
        Select(0);
    hintText->SetLabel(choices.Count() == 0 ? WxTr(kNoneFound) : wxString());
    UpdateOk();
}

void ChangeAllDialog::Select(int row) {
    keyList->SetSelection(row);
    keyList->EnsureVisible(row);
    UpdateOk();
}

void ChangeAllDialog::UpdateOk() {
    const int32_t key = ChosenKey();
    if (okButton != nullptr) okButton->Enable(key >= 0 && key != current);
}

void ChangeAllDialog::StopWaiting(const wxString& hint) {
    waiting = false;
    pressKeyButton->SetLabel(WxTr(kPressLabel));
    hintText->SetLabel(hint);
    Layout();
}

// The rows the list shows at once, for Page Up and Page Down.
int ChangeAllDialog::PageRows() const {
    const int rowHeight = keyList->GetCharHeight() + FromDIP(2);
    return std::max(1, keyList->GetClientSize().y / std::max(1, rowHeight) - 1);
}

void ChangeAllDialog::OnFindText(wxCommandEvent& /*event*/) { ShowChoices(); }

void ChangeAllDialog::OnListSelected(wxCommandEvent& /*event*/) { UpdateOk(); }

void ChangeAllDialog::OnListActivated(wxCommandEvent& /*event*/) {
    if (okButton != nullptr && okButton->IsEnabled()) EndModal(wxID_OK);
}

// The field is cleared so that the key pressed can be shown whatever was
// typed; the focus leaves the field so that the key is not typed into it.
void ChangeAllDialog::OnPressKey(wxCommandEvent& /*event*/) {
    waiting = true;
    pressKeyButton->SetLabel(WxTr(kWaitingLabel));
    hintText->SetLabel(WxTr(kWaitingLabel));
    keyList->SetFocus();
    Layout();
}

void ChangeAllDialog::OnCharHook(wxKeyEvent& event) {
    const int keyCode = event.GetKeyCode();
    if (waiting) {
        if (keyCode == WXK_ESCAPE) {
            StopWaiting(WxTr(kNoKeyTaken));
            return;
        }
        const std::optional<int32_t> vkey = VKeyForToolkitKey(keyCode, event.GetRawKeyCode(), event.GetRawKeyFlags());
        if (!vkey) {
            StopWaiting(WxTr(kNoVKey));
            return;
        }
        findText->ChangeValue(wxString());
        ShowChoices();
        const std::optional<std::size_t> row = choices.RowOf(*vkey);
        if (row) Select(static_cast<int>(*row));
        // TRANSLATORS: {key} is the key pressed ("F7 (0x76)").
        StopWaiting(WxText(Fill(Tr("Took {key}"), {{"key", VKeyEntryName(*vkey)}})));
        return;
    }
    const std::optional<ListMove> move = MoveOf(keyCode);
    const bool textKey = (move == ListMove::First || move == ListMove::Last) && !findText->IsEmpty();
    if (move && !textKey && !event.HasAnyModifiers()) {
        const int selected = keyList->GetSelection();
        const std::optional<std::size_t> from =
            selected == wxNOT_FOUND ? std::nullopt : std::optional<std::size_t>(static_cast<std::size_t>(selected));
        const std::optional<std::size_t> to = choices.Move(from, *move, static_cast<std::size_t>(PageRows()));
        if (to) Select(static_cast<int>(*to));
        return;
    }
    // Enter on a button presses that button.
    if ((keyCode == WXK_RETURN || keyCode == WXK_NUMPAD_ENTER) && dynamic_cast<wxButton*>(FindFocus()) == nullptr) {
        if (okButton != nullptr && okButton->IsEnabled()) EndModal(wxID_OK);
        return;
    }
    event.Skip();
}
