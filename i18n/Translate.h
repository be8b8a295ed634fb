#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

// The texts people read, in their language. Every text of the window and of
// the command line's messages goes through Tr (or TrN where it counts
// something), so that xgettext finds it for the catalogs in po/; what
// programs read (tsv and json, option names, file formats) never does.
//
//   out << Fill(TrN("{count} key test", "{count} key tests", n), {{"count", GroupedNumber(n)}});
//
// Without a catalog (English, or a language Morvane does not speak) every
// text is the English one given.

// Marks a text for the catalogs where it is written (a table of names) and
// is translated later, where it is shown, with Tr or TrC. (wxWidgets marks
// its own texts with the same macro; either one does.)
#ifndef N_
#define N_(text) text
#endif
// The same for a text with a context that tells two uses of one English
// word apart ("key" for the names of keys).
#define NC_(context, text) text

namespace morvane {

// The text in the language chosen.
std::string Tr(const char* text);
// The same for a name kept in a table (marked with N_ there).
std::string Tr(const std::string& text);
// The text of a context: TrC("key", "Space Bar").
std::string TrC(const char* context, const std::string& text);
// The form of a text that fits the number, by the language's own plural
// rule (English: one for 1, other for the rest).
std::string TrN(const char* one, const char* other, std::uint64_t count);

// The text with each {name} replaced by its value; a placeholder with no
// value is left as it is. Values are put in as they are, never read again.
std::string Fill(std::string_view text, std::initializer_list<std::pair<std::string_view, std::string>> values);

// While one lives, Tr, TrC and TrN on this thread give the English texts:
// for output that programs read (tsv, json), whose names must not change
// with the language.
//   const EnglishTexts english;
class EnglishTexts {
public:
    // Whether the texts of this thread are English now: for work handed to
    // other threads, which make their own EnglishTexts then.
    static bool Active();

    EnglishTexts();
    ~EnglishTexts();
    EnglishTexts(const EnglishTexts&) = delete;
    EnglishTexts& operator=(const EnglishTexts&) = delete;

private:
    bool before_;
};

}  // namespace morvane
