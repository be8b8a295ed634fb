#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "session/EditSession.h"

namespace morvane {

// The columns of the list of a script's key tests, in order: the key (a VKey
// with its code; where a variable keeps it, where it is set), the hotkey of
// a test that a condition joins with others ("Ctrl+M", "P or Q"), the pad,
// the offset, the opcode, and the marks of a changed or doubtful test.
enum class TestColumn { Key, Hotkey, Pad, Offset, Opcode, Mark };
constexpr int kTestColumnCount = 6;

// Which kinds of test the list keeps.
enum class TestKindFilter { All, VKeys, Buttons, Cheats };

// Marks of a row: changed and not saved; after an instruction the opcode
// table does not describe.
constexpr const char* kChangedMark = "*";
constexpr const char* kDoubtfulMark = "(?)";

// The text of one cell of test `index` of the session, as the list shows it.
std::string TestCell(const EditSession& session, std::size_t index, TestColumn column);

// The rows of the list of key tests: those the filter keeps, in the order of
// the column they are sorted by (ties in the file's order), with the way from
// a row to its test and back. It keeps no copy of the tests: Update reads
// them from the session anew.
class TestRows {
public:
    // Keeps the tests of `kind` one of whose cells contains `text`, in any
    // case (letters A-Z are compared without case).
    void SetFilter(TestKindFilter kind, const std::string& text);
    bool IsFiltered() const { return kind_ != TestKindFilter::All || !text_.empty(); }
    // Sorts by `column`; the column sorted by already turns its order round.
    void SortBy(TestColumn column);
    TestColumn SortColumn() const { return column_; }
    bool Ascending() const { return ascending_; }

    // The rows anew for the session's tests as they are now.
    void Update(const EditSession& session);
    std::size_t Count() const { return tests_.size(); }
    // The test a row shows, and the row that shows a test; none outside.
    std::optional<std::size_t> TestAt(long row) const;
    std::optional<long> RowOf(std::size_t index) const;

private:
    bool Keeps(const EditSession& session, std::size_t index) const;

    TestKindFilter kind_ = TestKindFilter::All;
    std::string text_;  // lower case
    TestColumn column_ = TestColumn::Offset;
    bool ascending_ = true;
    std::vector<std::size_t> tests_;  // row i shows test tests_[i]
    std::vector<long> rows_;          // test j is on row rows_[j], or -1
};

}  // namespace morvane
