// The command line read: what is a usage error, and how rules and keys are
// written.

#include <cctype>

#include "MorvaneVersion.h"
#include "cli/KeyArgument.h"
#include "cli/Options.h"
#include "keys/KeyNames.h"
#include "cli/CliSupport.h"

using namespace morvane;
using namespace morvane::test;

namespace {
class OptionsTest : public CliTest {};
}  // namespace

TEST_F(OptionsTest, UsageErrorsExitWithTwo) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"frobnicate", "x.cs"},
        {"list"},
        {"list", "--game", "gta4", "x.cs"},
        {"list", "--format", "xml", "x.cs"},
        {"list", "--header", "maybe", "x.cs"},
        {"list", "--vkey", "1=2", "x.cs"},
        {"list", "--context", "-1", "x.cs"},
        {"list", "--context", "some", "x.cs"},
        {"list", "--context", "1001", "x.cs"},
        {"list", "--context"},
        {"list", "--format", "tsv", "--context", "2", "x.cs"},
        {"list", "--only-ini", "x.cs"},  // nothing to keep to
        {"remap", "--context", "2", "--vkey", "1=2", "x.cs", "--in-place"},
        {"remap", "x.cs", "-o", "y.cs"},
        {"remap", "--vkey", "1=2", "x.cs"},
        {"remap", "--vkey", "1=2", "x.cs", "-o", "y.cs", "--in-place"},
        {"remap", "--vkey", "1=2", "a.cs", "b.cs", "-o", "y.cs"},
        {"remap", "--vkey", "1=2", "x.cs", "--in-place", "--force"},  // nothing to force
        {"remap", "--cheat",
         "\xC3\x84"
         "BC=DEF",
         "x.cs", "--in-place"},  // no letter of A-Z
        {"remap", "--cheat", "A-C=DEF", "x.cs", "--in-place"},
        {"remap", "--at", "-0:4", "x.cs", "--in-place"},
        {"remap", "--at", "76710:0:4:5", "x.cs", "--in-place"},  // no key after the pad
        {"remap", "--at", "20:#", "x.cs", "--in-place"},         // no key, no code
        {"remap", "--vkey", "1=256", "x.cs", "--in-place"},
        {"remap", "--vkey", "300=1", "x.cs", "--in-place"},  // FROM is checked like TO
        {"remap", "--vkey", "-1=2", "x.cs", "-o", "y.cs"},
        {"remap", "--button", "25=1", "x.cs", "--in-place"},
        {"remap", "--pad", "2=0", "x.cs", "--in-place"},
        {"remap", "--vkey", "?=A Key", "x.cs", "--in-place"},
        {"remap", "--vkey", "1", "x.cs", "--in-place"},
        {"remap", "--button", "1=20", "x.cs", "--in-place"},
        {"remap", "--pad", "0=2", "x.cs", "--in-place"},
        {"remap", "--at", "12", "x.cs", "--in-place"},
        {"remap", "--at", "-1:5", "x.cs", "--in-place"},
        {"remap", "--vkey"},
    };
    for (const auto& args : bad) {
        CliRun run = Run(args);
        std::string joined;
        for (const auto& a : args) joined += a + " ";
        EXPECT_EQ(run.status, 2) << joined;
        EXPECT_NE(run.err.find("usage: morvane-cli"), std::string::npos) << joined;
        EXPECT_EQ(run.out, "") << joined;
    }
    EXPECT_EQ(Run({"--help"}).status, 0);
    EXPECT_NE(Run({"--help"}).out.find("usage:"), std::string::npos);
    EXPECT_EQ(Run({"--version"}).out, "morvane-cli " MORVANE_VERSION "\n");
}

TEST(Options, TheEqualsKeyCanStandOnEitherSideOfARule) {
    auto rule = [](const std::string& value) {
        std::string error;
        const auto options = cli::ParseArguments({"remap", "--vkey", value, "x.cs", "--in-place"}, error);
        return options ? std::make_pair(options->rules[0].from, options->rules[0].to) : std::make_pair(-1, -1);
    };
    EXPECT_EQ(rule("= Key=A Key"), std::make_pair(0xBB, 0x41));
    EXPECT_EQ(rule("A Key== Key"), std::make_pair(0x41, 0xBB));
    EXPECT_EQ(rule("= Key== Key"), std::make_pair(0xBB, 0xBB));
    EXPECT_EQ(rule("=Key=1"), std::make_pair(-1, -1));  // not the key's name
    EXPECT_EQ(rule("61=="), std::make_pair(-1, -1));
}

TEST(KeyArgument, NumbersInDecimalOrHexadecimalAndNothingElse) {
    using cli::KeyKind;
    using cli::ParseKey;
    EXPECT_EQ(ParseKey("65", KeyKind::VKey), 65);
    EXPECT_EQ(ParseKey("0x41", KeyKind::VKey), 65);
    EXPECT_EQ(ParseKey("0X4a", KeyKind::VKey), 0x4A);
    EXPECT_EQ(ParseKey("-3", KeyKind::VKey), -3);  // out of range, which the options then say
    EXPECT_EQ(ParseKey("", KeyKind::VKey), std::nullopt);
    EXPECT_EQ(ParseKey("0x", KeyKind::VKey), std::nullopt);
    EXPECT_EQ(ParseKey("12abc", KeyKind::VKey), std::nullopt);
    EXPECT_EQ(ParseKey("99999999999", KeyKind::VKey), std::nullopt);
}

// What list and keys print as a key's name can be typed back, in any case
// and with spaces around it, unless several keys share that name.
TEST(KeyArgument, EveryNameShownIsReadBackAsItsKey) {
    using cli::KeyKind;
    using cli::ParseKey;
    const auto lower = [](std::string text) {
        for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return text;
    };
    const struct {
        KeyKind kind;
        int count;
        std::string (*name)(int32_t);
    } kinds[] = {{KeyKind::VKey, kVKeyCount, &VKeyName}, {KeyKind::GameKey, kGameKeyCount, &GameKeyName}};
    int shared = 0;
    for (const auto& kind : kinds) {
        for (int32_t key = 0; key < kind.count; ++key) {
            const std::string name = kind.name(key);
            int sharing = 0;
            for (int32_t other = 0; other < kind.count; ++other)
                sharing += lower(kind.name(other)) == lower(name) ? 1 : 0;
            const std::optional<int32_t> expected = sharing == 1 ? std::optional<int32_t>(key) : std::nullopt;
            shared += sharing == 1 ? 0 : 1;
            EXPECT_EQ(ParseKey(name, kind.kind), expected) << name;
            EXPECT_EQ(ParseKey("  " + lower(name) + " ", kind.kind), expected) << name;
        }
    }
    EXPECT_GT(shared, 0);  // "?" of the VKeys names none of them
    EXPECT_EQ(ParseKey("?", KeyKind::VKey), std::nullopt);
    for (int32_t pad = 0; pad <= kHighestPad; ++pad) EXPECT_EQ(ParseKey(kPadNames[pad], KeyKind::Pad), pad);
    EXPECT_EQ(ParseKey("pad 2", KeyKind::Pad), 1);
}

TEST(KeyArgument, AGameKeyAnswersToItsControlOrItsActionAlone) {
    using cli::KeyKind;
    using cli::ParseKey;
    EXPECT_EQ(ParseKey("Circle: Fire", KeyKind::GameKey), 17);
    EXPECT_EQ(ParseKey("circle", KeyKind::GameKey), 17);
    EXPECT_EQ(ParseKey("fire", KeyKind::GameKey), 17);
    EXPECT_EQ(ParseKey("Cross", KeyKind::GameKey), 16);
    EXPECT_EQ(ParseKey("Sprint | Accelerate", KeyKind::GameKey), 16);
    EXPECT_EQ(ParseKey("start", KeyKind::GameKey), 12);
    EXPECT_EQ(ParseKey("Left Stick X", KeyKind::GameKey), 0);
    EXPECT_EQ(ParseKey("Cross: Fire", KeyKind::GameKey), std::nullopt);  // two keys' halves
    // Each kind reads its own names only.
    EXPECT_EQ(ParseKey("Start", KeyKind::VKey), std::nullopt);
    EXPECT_EQ(ParseKey("Fire", KeyKind::VKey), std::nullopt);
    EXPECT_EQ(ParseKey("Ctrl", KeyKind::GameKey), std::nullopt);
}

TEST(KeyArgument, NamesOfEarlierVersionsStillCount) {
    using cli::KeyKind;
    using cli::ParseKey;
    EXPECT_EQ(ParseKey("APPLICATIN Key", KeyKind::VKey), 0x5D);
    EXPECT_EQ(ParseKey("Application Key", KeyKind::VKey), 0x5D);
    EXPECT_EQ(ParseKey(" Left Shift", KeyKind::VKey), 0xA0);  // names once began with a space
    EXPECT_EQ(ParseKey(" ; Key", KeyKind::VKey), 0xBA);
    EXPECT_EQ(ParseKey("APPLICATIN Key", KeyKind::GameKey), std::nullopt);
    EXPECT_EQ(ParseKey("?", KeyKind::GameKey), 12);  // the one unnamed game key, now Start
}
