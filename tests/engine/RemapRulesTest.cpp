#include <gtest/gtest.h>

#include "keys/RemapRules.h"
#include "support/Printers.h"

using namespace morvane;

namespace {

KeyTest Key(int32_t offset, int32_t key, bool wide) { return KeyTest::VKey(offset, key, wide, 0x0AB0); }
KeyTest Button(int32_t offset, int32_t pad, int32_t key) { return KeyTest::Button(offset, pad, key, 0x00E1); }
KeyTest Cheat(int32_t offset, const std::string& code, StringForm form, int32_t room) {
    return KeyTest::Cheat(offset, StringConstant{form, code, room}, 0x0ADC);
}

RemapRule At(int64_t offset, const std::string& text) {
    RemapRule rule;
    rule.kind = RemapRule::Kind::At;
    rule.offset = offset;
    rule.text = "--at " + std::to_string(offset) + ":" + text;
    return rule;
}

RemapRule CheatRule(const std::string& from, const std::string& to) {
    RemapRule rule;
    rule.kind = RemapRule::Kind::Cheat;
    rule.fromCode = from;
    rule.toCode = to;
    return rule;
}

RemapRule PadRule(int32_t from, int32_t to) {
    RemapRule rule;
    rule.kind = RemapRule::Kind::Pad;
    rule.from = from;
    rule.to = to;
    return rule;
}

// Each test as "key" (a VKey or button, "pad/key") or its code, with "!" for a refused one.
std::vector<std::string> Outcome(const RemapResult& result) {
    std::vector<std::string> shown;
    for (std::size_t i = 0; i < result.tests.size(); ++i) {
        const KeyTest& t = result.tests[i];
        std::string text = t.IsCheat()    ? t.code
                           : t.IsButton() ? std::to_string(t.pad) + "/" + std::to_string(t.key)
                                          : std::to_string(t.key);
        if (result.outcomes[i].answer == RemapAnswer::Refused) text += "!";
        shown.push_back(text);
    }
    return shown;
}

const std::vector<KeyTest> kRead = {Key(0, 0x71, false),
                                    Key(4, 0x71, true),
                                    Key(9, 0x72, false),
                                    Button(13, 0, 16),
                                    Button(19, 1, 16),
                                    Cheat(25, "TANK", StringForm::LengthPrefixed, 4),
                                    Cheat(33, "BOOM", StringForm::Fixed8, 7)};

}  // namespace

TEST(RemapRules, EachRuleGivesEveryTestOneAnswer) {
    RemapRule f17 = RemapRule::ForVKey(0x71, 0x80);
    RemapRule atPad = At(13, "Pad 2:Fire");
    atPad.pad = 1;
    atPad.gameKey = 17;
    RemapRule atKeyOnAButton = At(13, "F2");
    atKeyOnAButton.vkey = 0x71;  // names a VKey, no game key
    RemapRule atPadOnAKey = At(0, "Pad 2:F3");
    atPadOnAKey.pad = 1;
    atPadOnAKey.vkey = 0x72;
    RemapRule atCheat = At(33, "bang");
    atCheat.toCode = "bang";
    const struct {
        const char* name;
        std::vector<RemapRule> rules;
        std::vector<std::string> outcome;
        std::vector<std::string> refusals;
    } kCases[] = {
        {"a VKey rule changes every test of that VKey",
         {RemapRule::ForVKey(0x71, 0x76)},
         {"118", "118", "114", "0/16", "1/16", "TANK", "BOOM"},
         {}},
        {"an 8-bit parameter refuses VKey 128, a 16-bit one takes it",
         {f17},
         {"113!", "128", "114", "0/16", "1/16", "TANK", "BOOM"},
         {"offset 0: VKey 128 needs 16 bits and the key parameter there has 8"}},
        {"a button rule on one pad leaves the other pad's",
         {RemapRule::ForButton(16, 14, 0)},
         {"113", "113", "114", "0/14", "1/16", "TANK", "BOOM"},
         {}},
        {"a game key beyond 19 is refused",
         {RemapRule::ForButton(16, 20)},
         {"113", "113", "114", "0/16!", "1/16!", "TANK", "BOOM"},
         {"offset 13: game key 20 is not between 0 and 19", "offset 19: game key 20 is not between 0 and 19"}},
        {"rules read the values as read, so two swap keys",
         {RemapRule::ForVKey(0x71, 0x72), RemapRule::ForVKey(0x72, 0x71)},
         {"114", "114", "113", "0/16", "1/16", "TANK", "BOOM"},
         {}},
        {"the last rule wins and only the final value must fit",
         {f17, RemapRule::ForVKey(0x71, 0x5A)},
         {"90", "90", "114", "0/16", "1/16", "TANK", "BOOM"},
         {}},
        {"a pad rule moves buttons, a pad beyond 1 is refused",
         {PadRule(0, 1), PadRule(1, 2)},
         {"113", "113", "114", "1/16", "1/16!", "TANK", "BOOM"},
         {"offset 19: pad 2 is not 0 or 1"}},
        {"a cheat rule in any case, refused where the room differs",
         {CheatRule("tank", "tanks"), CheatRule("Boom", "bang")},
         {"113", "113", "114", "0/16", "1/16", "TANK!", "BANG"},
         {"offset 25: cheat code TANK cannot become TANKS: this code must have exactly 4 characters"}},
        {"a cheat test given its own code in another case is unchanged",
         {CheatRule("tank", "tank")},
         {"113", "113", "114", "0/16", "1/16", "TANK", "BOOM"},
         {}},
        {"--at with a pad and a key changes that one test",
         {atPad},
         {"113", "113", "114", "1/17", "1/16", "TANK", "BOOM"},
         {}},
        {"--at with a name of another kind of key, or a pad for a VKey test, is refused",
         {atKeyOnAButton, atPadOnAKey},
         {"113!", "113", "114", "0/16!", "1/16", "TANK", "BOOM"},
         {"--at 0:Pad 2:F3: the key test at offset 0 has no pad", "--at 13:F2: not a game key (0 to 19 or a name)"}},
        {"--at a cheat test writes the code in upper case",
         {atCheat},
         {"113", "113", "114", "0/16", "1/16", "TANK", "BANG"},
         {}},
        {"--at an offset without a test is said first",
         {At(99, "F2"), f17},
         {"113!", "128", "114", "0/16", "1/16", "TANK", "BOOM"},
         {"--at 99:F2: no key test at offset 99",
          "offset 0: VKey 128 needs 16 bits and the key parameter there has 8"}},
    };
    for (const auto& c : kCases) {
        const RemapResult result = ApplyRemapRules(kRead, c.rules);
        EXPECT_EQ(Outcome(result), c.outcome) << c.name;
        EXPECT_EQ(result.Refusals(), c.refusals) << c.name;
        std::size_t changed = 0;
        for (std::size_t i = 0; i < kRead.size(); ++i) changed += result.tests[i] != kRead[i];
        EXPECT_EQ(result.Count(RemapAnswer::Changed), changed) << c.name;
    }
}

TEST(RemapRules, OnlyChangedTestsAfterAnUnknownInstructionAreRisky) {
    ScanSummary summary;
    summary.unknownInstructions = 1;
    summary.firstUnknownOffset = 8;
    const std::vector<KeyTest> saved = {Key(0, 'A', false), Key(9, 'B', false), Key(20, 'C', false)};
    std::vector<KeyTest> now = saved;
    EXPECT_TRUE(RiskyChanges(summary, saved, now).empty());
    now[0].key = 'Z';  // before the unknown instruction: read as code for certain
    EXPECT_TRUE(RiskyChanges(summary, saved, now).empty());
    now[2].key = 'Y';
    EXPECT_EQ(RiskyChanges(summary, saved, now), (std::vector<std::size_t>{2}));
    summary = ScanSummary();  // a walk without unknown instructions
    EXPECT_TRUE(RiskyChanges(summary, saved, now).empty());
}
