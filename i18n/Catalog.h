#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "i18n/PluralRule.h"
#include "io/Result.h"

namespace morvane {

// The largest catalog read: Morvane's own are some tens of kilobytes.
constexpr std::size_t kLargestCatalog = 16 * 1024 * 1024;

// The translations of one language, as msgfmt compiles them into a .mo
// file: each English text (with its context, if any) and its forms.
class Catalog {
public:
    // The catalog in a .mo file's bytes, in either byte order. Every length
    // and offset is checked against the bytes; a failure names what is
    // wrong ("is not a message catalog", "is cut short").
    static Result<Catalog> FromMo(std::string_view bytes);
    // The same, read from a file.
    static Result<Catalog> Load(const std::string& path);

    // The translation of a text, or nothing where the catalog has none (or
    // an empty one).
    const std::string* Find(std::string_view context, std::string_view text) const;
    // The form of a counted text for the number, by the catalog's rule.
    const std::string* FindForm(std::string_view one, std::uint64_t count) const;

    std::size_t Size() const { return entries_.size(); }
    const PluralRule& Rule() const { return rule_; }

private:
    // The key of a text with a context, as .mo files write it.
    static std::string Key(std::string_view context, std::string_view text);

    std::unordered_map<std::string, std::vector<std::string>> entries_;
    PluralRule rule_;
};

}  // namespace morvane
