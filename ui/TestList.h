#pragma once

#include <wx/listctrl.h>

#include <functional>

#include "session/TestRows.h"

// The list of key tests: a virtual report list, whose rows the window gives
// when they are drawn, so that its cost does not grow with the number of
// tests. Its columns are the engine's (TestColumn); the rows of the hotkey
// the selected row belongs to are marked by their ground.
class TestList : public wxListCtrl {
public:
    // The columns of the engine's rows, in their order.
    enum Column {
        kKeyColumn = static_cast<int>(morvane::TestColumn::Key),
        kHotkeyColumn = static_cast<int>(morvane::TestColumn::Hotkey),
        kPadColumn = static_cast<int>(morvane::TestColumn::Pad),
        kOffsetColumn = static_cast<int>(morvane::TestColumn::Offset),
        kOpcodeColumn = static_cast<int>(morvane::TestColumn::Opcode),
        kMarkColumn = static_cast<int>(morvane::TestColumn::Mark),
        kColumnCount = morvane::kTestColumnCount
    };
    // The text of a row's cell.
    using CellText = std::function<wxString(long row, long column)>;

    TestList(wxWindow* parent, const wxString& name);
    void SetCellText(CellText cell) { cell_ = std::move(cell); }
    // Whether a row is marked: one of the hotkey the selected row belongs to.
    using RowMarked = std::function<bool(long row)>;
    void SetRowMarked(RowMarked marked) { marked_ = std::move(marked); }
    bool IsRowMarked(long row) const { return marked_ && marked_(row); }

    // Shows `rows` rows, drawn anew.
    void ShowRows(long rows);
    // The selected row, or -1; selects one row (or none for -1) and shows it.
    long SelectedRow() const { return GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); }
    void SelectRow(long row);
    // The column titles, with the arrow of the column the rows are sorted by.
    void ShowSortColumn(long column, bool ascending);
    // The width the columns take, with room for the scroll bar.
    int ColumnsWidth() const;

protected:
    wxString OnGetItemText(long item, long column) const override;
    wxListItemAttr* OnGetItemAttr(long item) const override;

private:
    CellText cell_;
    RowMarked marked_;
    mutable wxListItemAttr markedAttr_;
};
