#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace morvane {

// A move through a list by the keyboard.
enum class ListMove { Up, Down, PageUp, PageDown, First, Last };

// The keys a key list offers (every VKey, or every game key), and the ones a
// typed text finds among them: a key is kept when each word of the text
// starts a word of its name, in any case ("shift" finds both Shift keys,
// "0x74" F5, "f1" F1 and F10 to F19 but not "VKey 0xF1").
class KeyChoices {
public:
    static KeyChoices VKeys();
    static KeyChoices GameKeys();

    void SetFilter(const std::string& text);
    std::size_t Count() const { return shown_.size(); }
    int32_t KeyAt(std::size_t row) const { return shown_[row]; }
    const std::string& NameAt(std::size_t row) const { return names_[shown_[row]]; }
    // The row that shows `key`, none while the filter hides it.
    std::optional<std::size_t> RowOf(int32_t key) const;
    // The row a move leads to from `from` (none: no row selected) in a list
    // showing `pageRows` rows at a time; none when the list is empty.
    std::optional<std::size_t> Move(std::optional<std::size_t> from, ListMove move, std::size_t pageRows) const;

private:
    explicit KeyChoices(std::vector<std::string> names);

    std::vector<std::string> names_;  // key k is named names_[k]
    std::vector<std::string> lower_;  // the names in lower case
    std::vector<int32_t> shown_;      // row i shows key shown_[i]
};

}  // namespace morvane
