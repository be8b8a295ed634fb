#include "ui/TestList.h"

#include <wx/settings.h>

#include <algorithm>

#include "io/Utf8Text.h"
#include "opcodes/OpcodeRoles.h"
#include "ui/WxTr.h"

namespace {

// The column titles, translated where they are shown.
const char* const kTitles[] = {
    // TRANSLATORS: the title of the list's column of the key each test tests.
    N_("Key"),
    // TRANSLATORS: the title of the list's column of the keys pressed together
    // ("Ctrl+Shift+M") that a test is part of.
    N_("Hotkey"),
    // TRANSLATORS: the title of the list's column of the game controller (Pad 1
    // or Pad 2) a button test tests.
    N_("Pad"),
    // TRANSLATORS: the title of the list's column of where in the file a test is.
    N_("Offset"),
    // TRANSLATORS: the title of the list's column of the test's opcode (0AB0),
    // the number of a script instruction.
    N_("Opcode"),
    // TRANSLATORS: the title of the list's column that marks a changed test
    // ("*") and one that may have been read wrongly ("(?)").
    N_("Mark"),
};
// Column widths in average characters of the list's font: the key's name
// as long as most are ("Numpad Separator (0x6C)"; longer ones end in "..."),
// a hotkey such as "Ctrl+Shift+M", "Pad 2", "0x3FFFFF", "0AB0", "* (?)" and
// their titles.
constexpr int kWidths[] = {24, 11, 7, 11, 8, 7};
constexpr long kPadColumn = 2;

// A column's width in characters: room for its title and the sort arrow in
// the language ("Markierung ▲"), for the pad's name in the pad column
// ("Controle 2"), and at least the width of the English one.
int WidthOf(long column) {
    int width = std::max(kWidths[column], static_cast<int>(morvane::CodePointCount(morvane::Tr(kTitles[column]))) + 2);
    if (column == kPadColumn) {
        const std::string pad = morvane::TrC("key", morvane::kPadNames[morvane::kHighestPad]);
        width = std::max(width, static_cast<int>(morvane::CodePointCount(pad)) + 1);
    }
    return width;
}

constexpr const wchar_t* kAscending = L" \u25B2";
constexpr const wchar_t* kDescending = L" \u25BC";

}  // namespace

TestList::TestList(wxWindow* parent, const wxString& name)
    : wxListCtrl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                 wxLC_REPORT | wxLC_VIRTUAL | wxLC_SINGLE_SEL | wxLC_HRULES, wxDefaultValidator, name) {
    const int character = GetCharWidth();
    for (long column = 0; column < kColumnCount; ++column)
        AppendColumn(WxTr(kTitles[column]), column == kOffsetColumn ? wxLIST_FORMAT_RIGHT : wxLIST_FORMAT_LEFT,
                     character * WidthOf(column));
}

int TestList::ColumnsWidth() const {
    int width = wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, this) + 2 * GetWindowBorderSize().x;
    for (long column = 0; column < kColumnCount; ++column) width += GetColumnWidth(static_cast<int>(column));
    return width;
}

void TestList::ShowRows(long rows) {
    SetItemCount(rows);
    Refresh();
}

void TestList::SelectRow(long row) {
    const long selected = SelectedRow();
    if (selected >= 0 && selected != row) SetItemState(selected, 0, wxLIST_STATE_SELECTED);
    if (row < 0 || row >= GetItemCount()) return;
    SetItemState(row, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    EnsureVisible(row);
}

void TestList::ShowSortColumn(long column, bool ascending) {
    for (long c = 0; c < kColumnCount; ++c) {
        wxListItem item;
        item.SetMask(wxLIST_MASK_TEXT);
        item.SetText(c == column ? WxTr(kTitles[c]) + (ascending ? kAscending : kDescending) : WxTr(kTitles[c]));
        SetColumn(static_cast<int>(c), item);
    }
}

wxString TestList::OnGetItemText(long item, long column) const { return cell_ ? cell_(item, column) : wxString(); }

wxListItemAttr* TestList::OnGetItemAttr(long item) const {
    if (!marked_ || !marked_(item)) return nullptr;
    // Between the list's ground and the selection's, as the view around a
    // test tints its own line.
    const wxColour ground = wxSystemSettings::GetColour(wxSYS_COLOUR_LISTBOX);
    const wxColour selection = wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT);
    const auto mix = [](unsigned char a, unsigned char b) { return static_cast<unsigned char>((3 * a + b) / 4); };
    markedAttr_.SetBackgroundColour(wxColour(mix(ground.Red(), selection.Red()), mix(ground.Green(), selection.Green()),
                                             mix(ground.Blue(), selection.Blue())));
    return &markedAttr_;
}
