#include "session/TestRows.h"

#include "keys/Hotkeys.h"

#include <algorithm>
#include <functional>

#include "i18n/Translate.h"
#include "keys/KeyNames.h"
#include "io/Utf8Text.h"
#include "script/Instructions.h"

namespace morvane {

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Names in every language compare without case: "ПРОБЕЛ" finds "Пробел".
std::string LowerCase(const std::string& text) { return SmallLetters(text); }

// Whether `a` comes before `b` when case is not minded.
bool BeforeWithoutCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return Lower(x) < Lower(y); });
}

bool IsOfKind(const KeyTest& test, TestKindFilter kind) {
    switch (kind) {
        case TestKindFilter::All: return true;
        case TestKindFilter::VKeys: return test.IsVKey();
        case TestKindFilter::Buttons: return test.IsButton();
        case TestKindFilter::Cheats: return test.IsCheat();
    }
    return true;
}

}  // namespace

std::string TestCell(const EditSession& session, std::size_t index, TestColumn column) {
    if (index >= session.Tests().size()) return std::string();
    const KeyTest& test = session.Tests()[index];
    switch (column) {
        case TestColumn::Key:
            if (test.IsVKey() && !test.Changeable()) {
                // TRANSLATORS: {key} is "Key in 3@", a key kept in a variable whose value cannot be told.
                return Fill(Tr("{key} (cannot be told)"), {{"key", KeyTestLabel(test)}});
            }
            if (test.IsVKey() && test.KeyInVariable()) {
                // TRANSLATORS: {key} is "F2 (0x71)", {offset} where the script sets it, {variable} "3@" or "$12".
                return Fill(Tr("{key}, set at {offset} in {variable}"), {{"key", VKeyEntryName(test.key)},
                                                                         {"offset", HexOffsetText(test.setAt.front())},
                                                                         {"variable", VariableName(test.variable)}});
            }
            return test.IsVKey() ? VKeyEntryName(test.key) : KeyTestLabel(test);
        case TestColumn::Hotkey:
            return HotkeyOf(session.Tests(), index).size() > 1 ? HotkeyText(session.Tests(), index) : std::string();
        case TestColumn::Pad:
            return test.IsButton() && test.pad >= 0 && test.pad <= kHighestPad ? TrC("key", kPadNames[test.pad])
                                                                               : std::string();
        case TestColumn::Offset: return HexOffsetText(test.offset);
        case TestColumn::Opcode: return OpcodeText(test.opcode);
        case TestColumn::Mark: {
            std::string marks;
            if (session.IsChanged(index)) marks += kChangedMark;
            if (session.Summary().IsDoubtful(test)) marks += (marks.empty() ? "" : " ") + std::string(kDoubtfulMark);
            return marks;
        }
    }
    return std::string();
}

void TestRows::SetFilter(TestKindFilter kind, const std::string& text) {
    kind_ = kind;
    text_ = LowerCase(text);
}

void TestRows::SortBy(TestColumn column) {
    ascending_ = column == column_ ? !ascending_ : true;
    column_ = column;
}

bool TestRows::Keeps(const EditSession& session, std::size_t index) const {
    if (!IsOfKind(session.Tests()[index], kind_)) return false;
    if (text_.empty()) return true;
    for (int column = 0; column < kTestColumnCount; ++column)
        if (LowerCase(TestCell(session, index, static_cast<TestColumn>(column))).find(text_) != std::string::npos)
            return true;
    return false;
}

void TestRows::Update(const EditSession& session) {
    const std::vector<KeyTest>& tests = session.Tests();
    tests_.clear();
    for (std::size_t i = 0; i < tests.size(); ++i)
        if (Keeps(session, i)) tests_.push_back(i);

    const auto byOffset = [&](std::size_t a, std::size_t b) { return tests[a].offset < tests[b].offset; };
    std::function<bool(std::size_t, std::size_t)> before = byOffset;
    switch (column_) {
        case TestColumn::Key:
        case TestColumn::Hotkey:
        case TestColumn::Pad:
        case TestColumn::Mark:
            before = [&](std::size_t a, std::size_t b) {
                return BeforeWithoutCase(TestCell(session, a, column_), TestCell(session, b, column_));
            };
            break;
        case TestColumn::Opcode:
            before = [&](std::size_t a, std::size_t b) { return tests[a].opcode < tests[b].opcode; };
            break;
        case TestColumn::Offset: break;
    }
    std::stable_sort(tests_.begin(), tests_.end(), byOffset);
    if (ascending_)
        std::stable_sort(tests_.begin(), tests_.end(), before);
    else
        std::stable_sort(tests_.begin(), tests_.end(), [&](std::size_t a, std::size_t b) { return before(b, a); });
    rows_.assign(tests.size(), -1);
    for (std::size_t row = 0; row < tests_.size(); ++row) rows_[tests_[row]] = static_cast<long>(row);
}

std::optional<std::size_t> TestRows::TestAt(long row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= tests_.size()) return std::nullopt;
    return tests_[static_cast<std::size_t>(row)];
}

std::optional<long> TestRows::RowOf(std::size_t index) const {
    if (index >= rows_.size() || rows_[index] < 0) return std::nullopt;
    return rows_[index];
}

}  // namespace morvane
