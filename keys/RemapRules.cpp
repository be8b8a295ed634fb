#include "keys/RemapRules.h"

#include "io/Utf8Text.h"
#include "keys/Hotkeys.h"
#include "keys/KeyRules.h"

#include <algorithm>

namespace morvane {

namespace {

std::string AtOffset(const KeyTest& test) { return "offset " + std::to_string(test.offset) + ": "; }

const char* KeyKindWords(KeyKind kind) {
    switch (kind) {
        case KeyKind::VKey: return "VKey";
        case KeyKind::GameKey: return "game key";
        case KeyKind::Pad: return "pad";
        case KeyKind::TouchZone: return "touch zone";
        case KeyKind::Widget: return "widget";
    }
    return "key";
}

// What an --at rule gives one test: its new values in `now`, or the refusal.
std::optional<std::string> ApplyAt(const RemapRule& rule, const KeyTest& was, KeyTest& now) {
    if (rule.pad && !was.IsButton())
        return rule.text + ": the " + (was.IsCheat() ? "cheat" : "key") + " test at offset " +
               std::to_string(was.offset) + " has no pad";
    if (was.IsCheat()) {
        now.code = IsSameCheatCode(was.code, rule.toCode) ? was.code : CheatCodeToWrite(rule.toCode);
        return std::nullopt;
    }
    if (!rule.atKind && (was.kind == KeyTestKind::SlideFrom || was.kind == KeyTestKind::SlideTo))
        return rule.text + ": the slide at offset " + std::to_string(was.offset) +
               " tests a start and an end zone: name one (" + std::to_string(was.offset) + ":slide-from:ZONE or " +
               std::to_string(was.offset) + ":slide-to:ZONE)";
    const KeyKind kind = KeyKindOf(was);
    const std::optional<int32_t> key = kind == KeyKind::VKey        ? rule.vkey
                                       : kind == KeyKind::GameKey   ? rule.gameKey
                                       : kind == KeyKind::TouchZone ? rule.zone
                                                                    : rule.widget;
    if (!key || CheckRange(kind, *key) != KeyRefusal::Accepted)
        return rule.text + ": not a " + KeyKindWords(kind) + " (" + std::to_string(LowestValue(kind)) + " to " +
               std::to_string(HighestValue(kind)) + " or a name)";
    if (rule.pad) now.pad = *rule.pad;
    now.key = *key;
    return std::nullopt;
}

// Whether the values a test ends with fit it; the refusal when not.
std::optional<std::string> CheckFinal(const KeyTest& was, const KeyTest& now) {
    if (now.IsCheat()) {
        if (now.code == was.code) return std::nullopt;
        const CheatRefusal refusal = CheckCheatCode(was, now.code);
        if (refusal == CheatRefusal::Accepted) return std::nullopt;
        return AtOffset(was) + "cheat code " + PlainText(was.code) + " cannot become " + PlainText(now.code) + ": " +
               CheatRefusalText(refusal, was);
    }
    if (now.key != was.key && !was.Changeable())
        return AtOffset(was) + "its key is kept in " + VariableName(was.variable) + ", whose value cannot be told (" +
               was.unresolved + "): left alone";
    if (now.key != was.key) {
        const KeyRefusal refusal = now.IsVKey()    ? CheckVKey(was, now.key)
                                   : now.IsTouch() ? CheckTouchValue(was, now.key)
                                                   : CheckRange(KeyKind::GameKey, now.key);
        if (refusal != KeyRefusal::Accepted) return AtOffset(was) + RefusalText(refusal, now.key);
    }
    if (now.IsButton() && now.pad != was.pad) {
        const KeyRefusal refusal = CheckRange(KeyKind::Pad, now.pad);
        if (refusal != KeyRefusal::Accepted) return AtOffset(was) + RefusalText(refusal, now.pad);
    }
    return std::nullopt;
}

// A Hotkey rule on the hotkey whose first test is `first`: each of its
// pressed VKey tests gets the key that stands where its own stands in the
// rule's keys, when they are exactly the rule's keys.
void ApplyHotkey(const RemapRule& rule, const std::vector<KeyTest>& read, std::size_t first,
                 std::vector<KeyTest>& now) {
    std::vector<std::size_t> pressed;
    for (const std::size_t i : HotkeyOf(read, first)) {
        if (read[i].negated) continue;
        if (!read[i].IsVKey()) return;  // buttons are no keys of the keyboard's
        pressed.push_back(i);
    }
    if (read[first].joined == Joined::Any && pressed.size() > 1) return;  // alternatives, no chord
    if (pressed.size() != rule.fromKeys.size()) return;
    for (const std::size_t i : pressed) {
        const auto at = std::find(rule.fromKeys.begin(), rule.fromKeys.end(), read[i].key);
        if (at == rule.fromKeys.end()) return;
    }
    // Each key once: the hotkey's keys are the rule's, none twice.
    for (std::size_t a = 0; a < pressed.size(); ++a)
        for (std::size_t b = a + 1; b < pressed.size(); ++b)
            if (read[pressed[a]].key == read[pressed[b]].key) return;
    for (const std::size_t i : pressed) {
        const auto at = std::find(rule.fromKeys.begin(), rule.fromKeys.end(), read[i].key);
        now[i].key = rule.toKeys[static_cast<std::size_t>(at - rule.fromKeys.begin())];
    }
}

// Tests whose key one variable keeps hold one key: a change to one is a
// change to all of them; different changes are refused for all.
void ShareVariables(const std::vector<KeyTest>& read, RemapResult& result) {
    for (std::size_t i = 0; i < read.size(); ++i) {
        if (!read[i].KeyInVariable() || !read[i].Changeable()) continue;
        std::vector<std::size_t> sharing;
        for (std::size_t j = 0; j < read.size(); ++j)
            if (read[j].KeyInVariable() && read[j].keyAt == read[i].keyAt) sharing.push_back(j);
        if (sharing.front() != i || sharing.size() < 2) continue;  // each group once
        std::optional<int32_t> given;
        bool differ = false;
        for (const std::size_t j : sharing) {
            if (result.outcomes[j].answer != RemapAnswer::Changed) continue;
            if (given && *given != result.tests[j].key) differ = true;
            given = result.tests[j].key;
        }
        if (!given) continue;
        std::string offsets;
        for (const std::size_t j : sharing) offsets += (offsets.empty() ? "" : ", ") + std::to_string(read[j].offset);
        for (const std::size_t j : sharing) {
            if (differ) {
                result.outcomes[j] = {RemapAnswer::Refused, AtOffset(read[j]) + VariableName(read[j].variable) +
                                                                " keeps the key of the tests at " + offsets +
                                                                ", which the rules give different keys"};
                result.tests[j] = read[j];
            } else if (result.outcomes[j].answer == RemapAnswer::Unchanged) {
                result.tests[j].key = *given;
                result.outcomes[j].answer = RemapAnswer::Changed;
            }
        }
    }
}

}  // namespace

RemapRule RemapRule::ForHotkey(std::vector<int32_t> fromKeys, std::vector<int32_t> toKeys) {
    RemapRule rule;
    rule.kind = Kind::Hotkey;
    rule.fromKeys = std::move(fromKeys);
    rule.toKeys = std::move(toKeys);
    return rule;
}

RemapRule RemapRule::ForVKey(int32_t from, int32_t to) {
    RemapRule rule;
    rule.kind = Kind::VKey;
    rule.from = from;
    rule.to = to;
    return rule;
}

RemapRule RemapRule::ForButton(int32_t from, int32_t to, std::optional<int32_t> onPad) {
    RemapRule rule;
    rule.kind = Kind::Button;
    rule.from = from;
    rule.to = to;
    rule.onPad = onPad;
    return rule;
}

std::size_t RemapResult::Count(RemapAnswer answer) const {
    std::size_t count = 0;
    for (const RemapOutcome& outcome : outcomes) count += outcome.answer == answer;
    return count;
}

std::vector<std::string> RemapResult::Refusals() const {
    std::vector<std::string> refusals = unmatched;
    for (const RemapOutcome& outcome : outcomes)
        if (outcome.answer == RemapAnswer::Refused) refusals.push_back(outcome.cause);
    return refusals;
}

RemapResult ApplyRemapRules(const std::vector<KeyTest>& read, const std::vector<RemapRule>& rules) {
    RemapResult result;
    result.tests = read;
    result.outcomes.resize(read.size());
    for (const RemapRule& rule : rules) {
        bool matched = false;
        for (std::size_t i = 0; i < read.size(); ++i) {
            const KeyTest& was = read[i];
            KeyTest& now = result.tests[i];
            RemapOutcome& outcome = result.outcomes[i];
            switch (rule.kind) {
                case RemapRule::Kind::VKey:
                    if (was.IsVKey() && was.key == rule.from) now.key = rule.to;
                    break;
                case RemapRule::Kind::Button:
                    if (was.IsButton() && was.key == rule.from && (!rule.onPad || was.pad == *rule.onPad))
                        now.key = rule.to;
                    break;
                case RemapRule::Kind::Pad:
                    if (was.IsButton() && was.pad == rule.from) now.pad = rule.to;
                    break;
                case RemapRule::Kind::Cheat:
                    if (was.IsCheat() && IsSameCheatCode(was.code, rule.fromCode))
                        now.code = IsSameCheatCode(was.code, rule.toCode) ? was.code : CheatCodeToWrite(rule.toCode);
                    break;
                case RemapRule::Kind::Hotkey:
                    if (HotkeyOf(read, i).front() == i) ApplyHotkey(rule, read, i, result.tests);
                    break;
                case RemapRule::Kind::Touch:
                    if (was.IsZone() && was.key == rule.from) now.key = rule.to;
                    break;
                case RemapRule::Kind::Widget:
                    if (was.IsWidget() && was.key == rule.from) now.key = rule.to;
                    break;
                case RemapRule::Kind::At:
                    if (was.offset != rule.offset || (rule.atKind && *rule.atKind != was.kind)) break;
                    matched = true;
                    if (outcome.answer == RemapAnswer::Refused) break;
                    if (auto refusal = ApplyAt(rule, was, now)) outcome = {RemapAnswer::Refused, std::move(*refusal)};
                    break;
            }
        }
        if (rule.kind == RemapRule::Kind::At && !matched)
            result.unmatched.push_back(rule.text + ": no " +
                                       (rule.atKind ? KindName(*rule.atKind) + std::string(" ") : "") +
                                       "key test at offset " + std::to_string(rule.offset));
    }
    for (std::size_t i = 0; i < read.size(); ++i) {
        RemapOutcome& outcome = result.outcomes[i];
        if (outcome.answer != RemapAnswer::Refused) {
            if (auto refusal = CheckFinal(read[i], result.tests[i]))
                outcome = {RemapAnswer::Refused, std::move(*refusal)};
            else if (result.tests[i] != read[i])
                outcome.answer = RemapAnswer::Changed;
        }
        if (outcome.answer == RemapAnswer::Refused) result.tests[i] = read[i];
    }
    ShareVariables(read, result);
    return result;
}

std::vector<std::size_t> RiskyChanges(const ScanSummary& summary, const std::vector<KeyTest>& saved,
                                      const std::vector<KeyTest>& now) {
    std::vector<std::size_t> risky;
    for (std::size_t i = 0; i < now.size() && i < saved.size(); ++i)
        if (now[i] != saved[i] && summary.IsDoubtful(now[i])) risky.push_back(i);
    return risky;
}

}  // namespace morvane
