#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "script/KeyScan.h"
#include "script/KeyTest.h"

namespace morvane {

// One rule of a remap: which tests it takes and what they get. The window's
// Change All is one VKey or Button rule; morvane-cli's --vkey, --button,
// --pad, --cheat and --at are one rule each.
struct RemapRule {
    enum class Kind {
        VKey,    // every VKey test of the key `from` gets `to`
        Button,  // every button test of the game key `from` (on `onPad`, or on any) gets `to`
        Pad,     // every button test on pad `from` moves to pad `to`
        Cheat,   // every cheat test of the code `fromCode` (in any case) gets `toCode`
        At,      // the one test at `offset` gets the key, pad or code given
        Hotkey,  // every hotkey of exactly the VKeys `fromKeys` gets `toKeys`, key for key
        Touch,   // every touch test of the zone `from` (a touch, a slide's start or end) gets `to`
        Widget,  // every widget test of the widget `from` gets `to`
    };
    Kind kind = Kind::VKey;
    int32_t from = 0;
    int32_t to = 0;
    std::optional<int32_t> onPad;  // Button: only tests on this pad
    std::string fromCode;          // Cheat
    std::string toCode;            // Cheat; At: the code a cheat test gets
    int64_t offset = 0;            // At
    // At: the new key as the test's kind reads it (none when the text names
    // no key of that kind), and a button test's new pad; with `atKind`, only
    // the test of that kind there (a slide is two tests at one offset).
    std::optional<int32_t> vkey;
    std::optional<int32_t> gameKey;
    std::optional<int32_t> zone;
    std::optional<int32_t> widget;
    std::optional<int32_t> pad;
    std::optional<KeyTestKind> atKind;
    // Hotkey: as many keys each, in hotkey order (modifiers first); the
    // keys are matched to the hotkey's tests in that order.
    std::vector<int32_t> fromKeys;
    std::vector<int32_t> toKeys;
    std::string text;  // the rule as the user wrote it, for messages

    static RemapRule ForVKey(int32_t from, int32_t to);
    static RemapRule ForButton(int32_t from, int32_t to, std::optional<int32_t> onPad = std::nullopt);
    static RemapRule ForHotkey(std::vector<int32_t> fromKeys, std::vector<int32_t> toKeys);
};

// What the rules do to one test.
enum class RemapAnswer { Unchanged, Changed, Refused };

struct RemapOutcome {
    RemapAnswer answer = RemapAnswer::Unchanged;
    std::string cause;  // Refused: why, naming the test's offset or the rule
};

struct RemapResult {
    // The tests with every change that was not refused; a refused test keeps
    // what it was read with.
    std::vector<KeyTest> tests;
    std::vector<RemapOutcome> outcomes;  // one per test, in the same order
    // Rules that name an offset where no test is: "RULE: no key test at offset 99".
    std::vector<std::string> unmatched;

    std::size_t Count(RemapAnswer answer) const;
    // Every refusal: the unmatched rules first, then the tests' in file order.
    std::vector<std::string> Refusals() const;
};

// Applies the rules to the tests as they were read. Every rule looks at the
// values as read, so two rules can swap keys; when several rules hit one
// test, the last one wins, and only the values the test ends with must fit
// its parameters (a VKey 0 to 255, and up to 127 in an 8-bit parameter; a
// game key 0 to 19; a pad 0 or 1; a touch zone 1 to 9; a widget 0 to 255,
// up to 127 in an 8-bit parameter; a cheat code of letters and digits that
// fits its string's room). A test given what it already holds, a cheat code
// in any case included, is Unchanged. A key kept in a variable that cannot
// be told is refused any change; tests whose key is kept in one variable
// all take the key a rule gives one of them (they are refused when the rules
// give them different keys).
RemapResult ApplyRemapRules(const std::vector<KeyTest>& read, const std::vector<RemapRule>& rules);

// The tests that `now` changes from `saved` and that lie after an instruction
// the opcode table does not describe: they may be data read as code, and a
// save that changes them may damage the script. The one rule of a risky save.
std::vector<std::size_t> RiskyChanges(const ScanSummary& summary, const std::vector<KeyTest>& saved,
                                      const std::vector<KeyTest>& now);

}  // namespace morvane
