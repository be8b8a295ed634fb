#include "session/KeyChoices.h"

#include <algorithm>
#include <sstream>
#include <utility>

#include "io/Utf8Text.h"
#include "keys/KeyNames.h"

namespace morvane {

namespace {

// Names in every language compare without case: "пробел" finds "Пробел".
std::string LowerCase(const std::string& text) { return SmallLetters(text); }

// A letter or digit of a word; every byte of a character beyond ASCII
// counts as one ("Стрелка влево" has the words "стрелка" and "влево").
bool IsAlphanumeric(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || static_cast<unsigned char>(c) >= 0x80;
}

// Whether `word` is the start of one of the words of `name`: found at its
// start or after a character that is neither a letter nor a digit.
bool StartsAWord(const std::string& name, const std::string& word) {
    for (std::size_t at = name.find(word); at != std::string::npos; at = name.find(word, at + 1))
        if (at == 0 || !IsAlphanumeric(name[at - 1])) return true;
    return false;
}

}  // namespace

KeyChoices::KeyChoices(std::vector<std::string> names) : names_(std::move(names)) {
    lower_.reserve(names_.size());
    for (const std::string& name : names_) lower_.push_back(LowerCase(name));
    SetFilter("");
}

KeyChoices KeyChoices::VKeys() {
    std::vector<std::string> names;
    for (int32_t key = 0; key < kVKeyCount; ++key) names.push_back(VKeyEntryName(key));
    return KeyChoices(std::move(names));
}

// A game key is found by its number too: "16  Cross: Sprint | Accelerate".
KeyChoices KeyChoices::GameKeys() {
    std::vector<std::string> names;
    for (int32_t key = 0; key < kGameKeyCount; ++key) names.push_back(std::to_string(key) + "  " + GameKeyName(key));
    return KeyChoices(std::move(names));
}

void KeyChoices::SetFilter(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream in(LowerCase(text));
    for (std::string word; in >> word;) words.push_back(word);
    shown_.clear();
    for (std::size_t key = 0; key < names_.size(); ++key) {
        const std::string& name = lower_[key];
        if (std::all_of(words.begin(), words.end(), [&](const std::string& word) { return StartsAWord(name, word); }))
            shown_.push_back(static_cast<int32_t>(key));
    }
}

std::optional<std::size_t> KeyChoices::RowOf(int32_t key) const {
    const auto found = std::lower_bound(shown_.begin(), shown_.end(), key);
    if (found == shown_.end() || *found != key) return std::nullopt;
    return static_cast<std::size_t>(found - shown_.begin());
}

std::optional<std::size_t> KeyChoices::Move(std::optional<std::size_t> from, ListMove move,
                                            std::size_t pageRows) const {
    if (shown_.empty()) return std::nullopt;
    const std::size_t last = shown_.size() - 1;
    const std::size_t page = std::max<std::size_t>(pageRows, 1);
    // With no row selected, a move down starts at the first row, a move up
    // at the last.
    if (!from || *from > last) {
        const bool down = move == ListMove::Down || move == ListMove::PageDown || move == ListMove::First;
        return down ? 0 : last;
    }
    const std::size_t row = *from;
    switch (move) {
        case ListMove::Up: return row == 0 ? 0 : row - 1;
        case ListMove::Down: return std::min(row + 1, last);
        case ListMove::PageUp: return row < page ? 0 : row - page;
        case ListMove::PageDown: return std::min(row + page, last);
        case ListMove::First: return 0;
        case ListMove::Last: return last;
    }
    return row;
}

}  // namespace morvane
