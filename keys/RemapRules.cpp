#include "keys/RemapRules.h"

#include "i18n/Translate.h"
#include "io/Utf8Text.h"
#include "keys/Hotkeys.h"
#include "keys/KeyRules.h"

#include <algorithm>

namespace morvane {

namespace {

// "offset 120: " and why the test at it is refused.
std::string AtOffset(const KeyTest& test, const std::string& cause) {
    // TRANSLATORS: why the key test at a file offset is refused: "offset 120: VKey 300 is not between 0 and 255".
    return Fill(Tr("offset {offset}: {cause}"), {{"offset", std::to_string(test.offset)}, {"cause", cause}});
}

// The refusal of an --at rule's value that is no value of the test's kind:
// "rule: not a VKey (0 to 255 or a name)".
std::string NotOfKind(const RemapRule& rule, KeyKind kind) {
    std::string text;
    switch (kind) {
        // TRANSLATORS: {rule} is a rule of the command line as given; {lowest} and {highest} are numbers.
        case KeyKind::VKey: text = Tr("{rule}: not a VKey ({lowest} to {highest} or a name)"); break;
        case KeyKind::GameKey: text = Tr("{rule}: not a game key ({lowest} to {highest} or a name)"); break;
        case KeyKind::Pad: text = Tr("{rule}: not a pad ({lowest} to {highest} or a name)"); break;
        case KeyKind::TouchZone: text = Tr("{rule}: not a touch zone ({lowest} to {highest} or a name)"); break;
        case KeyKind::Widget: text = Tr("{rule}: not a widget ({lowest} to {highest} or a name)"); break;
    }
    return Fill(text, {{"rule", rule.text},
                       {"lowest", std::to_string(LowestValue(kind))},
                       {"highest", std::to_string(HighestValue(kind))}});
}

// What an --at rule gives one test: its new values in `now`, or the refusal.
std::optional<std::string> ApplyAt(const RemapRule& rule, const KeyTest& was, KeyTest& now) {
    if (rule.pad && !was.IsButton()) {
        const std::string offset = std::to_string(was.offset);
        if (was.IsCheat()) {
            // TRANSLATORS: {rule} is a rule of the command line as given.
            return Fill(Tr("{rule}: the cheat test at offset {offset} has no pad"),
                        {{"rule", rule.text}, {"offset", offset}});
        }
        // TRANSLATORS: {rule} is a rule of the command line as given.
        return Fill(Tr("{rule}: the key test at offset {offset} has no pad"),
                    {{"rule", rule.text}, {"offset", offset}});
    }
    if (was.IsCheat()) {
        now.code = IsSameCheatCode(was.code, rule.toCode) ? was.code : CheatCodeToWrite(rule.toCode);
        return std::nullopt;
    }
    if (!rule.atKind && (was.kind == KeyTestKind::SlideFrom || was.kind == KeyTestKind::SlideTo)) {
        // TRANSLATORS: {rule} is a rule of the command line as given; "{offset}:slide-from:ZONE" and
        // "{offset}:slide-to:ZONE" are rules as the command line reads them: leave them as they are.
        return Fill(Tr("{rule}: the slide at offset {offset} tests a start and an end zone: name one "
                       "({offset}:slide-from:ZONE or {offset}:slide-to:ZONE)"),
                    {{"rule", rule.text}, {"offset", std::to_string(was.offset)}});
    }
    const KeyKind kind = KeyKindOf(was);
    const std::optional<int32_t> key = kind == KeyKind::VKey        ? rule.vkey
                                       : kind == KeyKind::GameKey   ? rule.gameKey
                                       : kind == KeyKind::TouchZone ? rule.zone
                                                                    : rule.widget;
    if (!key || CheckRange(kind, *key) != KeyRefusal::Accepted) return NotOfKind(rule, kind);
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
        // TRANSLATORS: {was} and {now} are cheat codes; {reason} why the new one does not fit.
        return AtOffset(was, Fill(Tr("cheat code {was} cannot become {now}: {reason}"),
                                  {{"was", PlainText(was.code)},
                                   {"now", PlainText(now.code)},
                                   {"reason", CheatRefusalText(refusal, was)}}));
    }
    if (now.key != was.key && !was.Changeable()) {
        // TRANSLATORS: {variable} is "3@" or "$12"; {why} why its value cannot be told.
        return AtOffset(was, Fill(Tr("its key is kept in {variable}, whose value cannot be told ({why}): left alone"),
                                  {{"variable", VariableName(was.variable)}, {"why", was.unresolved}}));
    }
    if (now.key != was.key) {
        const KeyRefusal refusal = now.IsVKey()    ? CheckVKey(was, now.key)
                                   : now.IsTouch() ? CheckTouchValue(was, now.key)
                                                   : CheckRange(KeyKind::GameKey, now.key);
        if (refusal != KeyRefusal::Accepted) return AtOffset(was, RefusalText(refusal, now.key));
    }
    if (now.IsButton() && now.pad != was.pad) {
        const KeyRefusal refusal = CheckRange(KeyKind::Pad, now.pad);
        if (refusal != KeyRefusal::Accepted) return AtOffset(was, RefusalText(refusal, now.pad));
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
                // TRANSLATORS: {variable} is "3@" or "$12"; {offsets} the offsets of the tests, "120, 160".
                const std::string cause = Fill(Tr("{variable} keeps the key of the tests at {offsets}, which the rules "
                                                  "give different keys"),
                                               {{"variable", VariableName(read[j].variable)}, {"offsets", offsets}});
                result.outcomes[j] = {RemapAnswer::Refused, AtOffset(read[j], cause)};
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
        if (rule.kind == RemapRule::Kind::At && !matched) {
            const std::string offset = std::to_string(rule.offset);
            if (rule.atKind) {
                // TRANSLATORS: {rule} is a rule of the command line as given; {kind} a kind of test as the command
                // line writes it (vkey, button, cheat, touch, slide-from, slide-to, widget): leave it as it is.
                const std::string form = Tr("{rule}: no {kind} key test at offset {offset}");
                result.unmatched.push_back(
                    Fill(form, {{"rule", rule.text}, {"kind", KindName(*rule.atKind)}, {"offset", offset}}));
            } else {
                // TRANSLATORS: {rule} is a rule of the command line as given.
                const std::string form = Tr("{rule}: no key test at offset {offset}");
                result.unmatched.push_back(Fill(form, {{"rule", rule.text}, {"offset", offset}}));
            }
        }
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
