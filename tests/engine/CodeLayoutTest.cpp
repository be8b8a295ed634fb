#include <gtest/gtest.h>

#include <cstring>
#include <optional>

#include "script/CodeLayout.h"
#include "fixtures/MainScriptBuilder.h"
#include "fixtures/ScriptBuilder.h"

using namespace morvane;
using morvane::test::MainScript;
using morvane::test::ScriptBuilder;

namespace {

constexpr char kTag[] = "__SBFTR";  // with its ending zero: the 8 bytes of the tag

// `code`, then `debug` bytes, then the offset and the tag.
std::vector<uint8_t> WithFooter(std::vector<uint8_t> bytes, std::size_t debug, uint32_t offset) {
    bytes.insert(bytes.end(), debug, 'D');
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(offset >> (8 * i)));
    bytes.insert(bytes.end(), kTag, kTag + sizeof kTag);
    return bytes;
}

std::vector<uint8_t> WithoutLastByte(std::vector<uint8_t> bytes) {
    bytes.pop_back();
    return bytes;
}

std::optional<int32_t> Footer(const std::vector<uint8_t>& bytes, int32_t codeStart = 0) {
    return DebugFooterStart(bytes.data(), bytes.size(), codeStart);
}

ScriptImage Load(GameId game, const std::vector<uint8_t>& bytes) {
    ScriptImage image;
    image.game = game;
    image.LoadFromBytes(bytes.data(), bytes.size());
    return image;
}

}  // namespace

TEST(DebugFooter, TheOffsetBeforeTheTagEndsTheCodeWhenItLiesInside) {
    const std::vector<uint8_t> code(20, 0x01);
    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
        std::optional<int32_t> start;
    } cases[] = {
        {"debug block after the code", WithFooter(code, 30, 20), 20},
        {"offset 0: all of it is debug data", WithFooter(code, 30, 0), 0},
        {"offset just before the tag: an empty block", WithFooter(code, 0, 20), 20},
        {"offset into the offset and tag", WithFooter(code, 0, 21), std::nullopt},
        {"offset past the end", WithFooter(code, 30, 0x7FFFFFFF), std::nullopt},
        {"offset with the top bit set", WithFooter(code, 30, 0x80000000u), std::nullopt},
        {"the tag alone, no room for an offset", std::vector<uint8_t>(kTag, kTag + sizeof kTag), std::nullopt},
        {"the tag without its ending zero", WithoutLastByte(WithFooter(code, 4, 20)), std::nullopt},
        {"no tag", code, std::nullopt},
        {"empty file", {}, std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(Footer(c.bytes), c.start) << c.what;

    // The tag in the middle of a file is data like any other.
    std::vector<uint8_t> middle = WithFooter(code, 4, 20);
    middle.insert(middle.end(), 10, 0x01);
    EXPECT_EQ(Footer(middle), std::nullopt);
}

TEST(DebugFooter, NeverBeforeTheCodesStart) {
    const std::vector<uint8_t> bytes = WithFooter(std::vector<uint8_t>(40, 0x01), 8, 30);
    EXPECT_EQ(Footer(bytes, 30), 30);
    EXPECT_EQ(Footer(bytes, 31), std::nullopt);
}

TEST(FindCode, EndsTheCodeAtTheFooterAndLeavesTheImageWhole) {
    ScriptBuilder sa(kGameSanAndreas);
    sa.Op(0x0001).I8(0);
    const std::vector<uint8_t> bytes = WithFooter(sa.Bytes(), 16, static_cast<uint32_t>(sa.Here()));
    ScriptImage image = Load(kGameSanAndreas, bytes);
    const CodeLayout code = FindCode(image, HeaderSkip::Never);
    EXPECT_EQ(code.start, 0);
    EXPECT_EQ(code.end, sa.Here());
    EXPECT_TRUE(code.footer);
    EXPECT_EQ(image.Size(), static_cast<int32_t>(bytes.size()));
    EXPECT_EQ(std::vector<uint8_t>(image.Data(), image.Data() + image.Size()), bytes);
    // Found again, the same: finding the code changes nothing it reads.
    const CodeLayout again = FindCode(image, HeaderSkip::Never);
    EXPECT_EQ(again.start, code.start);
    EXPECT_EQ(again.end, code.end);
}

TEST(FindCode, AMainScriptsMissionsComeFromItsHeader) {
    for (const GameId game : kAllGames) {
        const MainScript main(game, 2);
        ScriptBuilder code = main.Code();
        code.Op(0x0001).I8(0);
        ScriptBuilder first = main.Code();
        first.Op(0x0051);
        ScriptBuilder second = main.Code();
        second.Op(0x004E);
        ScriptImage image = Load(game, main.Build(code.Bytes(), {first.Bytes(), second.Bytes()}));
        const CodeLayout layout = FindCode(image, HeaderSkip::Always);
        EXPECT_TRUE(layout.header) << GameNumber(game);
        EXPECT_EQ(layout.start, main.CodeStart()) << GameNumber(game);
        const int32_t firstAt = main.MissionStart(code.Here());
        EXPECT_EQ(layout.missions, (std::vector<int32_t>{firstAt, firstAt + first.Here()})) << GameNumber(game);

        // The same bytes without the header skip: no missions, code from 0.
        const CodeLayout custom = FindCode(image, HeaderSkip::Never);
        EXPECT_FALSE(custom.header);
        EXPECT_EQ(custom.start, 0);
        EXPECT_TRUE(custom.missions.empty());
    }
}

TEST(FindCode, AMainScriptCutShortIsToldWhereverItEnds) {
    for (const GameId game : kAllGames) {
        const MainScript main(game, 2);
        ScriptBuilder code = main.Code();
        code.Op(0x0001).I8(0).Op(0x0001).I8(0);  // 6 bytes
        ScriptBuilder mission = main.Code();
        mission.Op(0x004E);  // 2 bytes
        const std::vector<uint8_t> whole = main.Build(code.Bytes(), {mission.Bytes(), mission.Bytes()});
        const int32_t secondMission = main.MissionStart(code.Here(), {mission.Here()});
        const struct {
            const char* where;
            int32_t size;
            int pastEnd;  // 0: whole, or too short to be read at all
        } cases[] = {
            {"whole", static_cast<int32_t>(whole.size()), 0},
            {"at the last mission's start", secondMission, 1},
            {"in the main code: its size and both missions", main.CodeStart() + 3, 3},
            {"at the main code's start: the last jump leads past it", main.CodeStart(), 1},
            {"inside the last header jump", main.CodeStart() - 2, 1},
            {"after the first jump, before its target", 8, 1},
            {"inside the first jump", 6, 0},
        };
        for (const auto& c : cases) {
            const std::vector<uint8_t> bytes(whole.begin(), whole.begin() + c.size);
            const CodeLayout layout = FindCode(Load(game, bytes), HeaderSkip::Always);
            EXPECT_EQ(layout.pastEnd, c.pastEnd) << GameNumber(game) << ": " << c.where;
            EXPECT_EQ(layout.CutShort(), c.pastEnd > 0) << GameNumber(game) << ": " << c.where;
        }
        // A custom script's name: no header, so nothing can be cut from it.
        const std::vector<uint8_t> cut(whole.begin(), whole.begin() + secondMission);
        EXPECT_FALSE(FindCode(Load(game, cut), HeaderSkip::Never).CutShort());
    }
    CodeLayout cut;
    cut.pastEnd = 3;
    EXPECT_EQ(CutShortText(cut, 1500),
              "cut short: its header names 3 offsets past the file's end (1500 bytes); the tests of what is missing "
              "are not listed");
}

TEST(LabelTarget, NegativeFromTheScriptOrItsMissionPositiveAFileOffset) {
    CodeLayout custom;
    custom.end = 100;
    EXPECT_EQ(LabelTarget(custom, 50, -20), 20);
    EXPECT_EQ(LabelTarget(custom, 50, 0), 0);
    EXPECT_EQ(LabelTarget(custom, 50, 30), 30);
    EXPECT_EQ(LabelTarget(custom, 50, -100), std::nullopt);  // at the end: no code there
    EXPECT_EQ(LabelTarget(custom, 50, INT32_MIN), std::nullopt);

    CodeLayout main;
    main.header = true;
    main.start = 40;
    main.end = 400;
    main.missions = {200, 300};
    EXPECT_EQ(LabelTarget(main, 100, 120), 120);
    EXPECT_EQ(LabelTarget(main, 100, 20), std::nullopt);    // inside the header
    EXPECT_EQ(LabelTarget(main, 250, -10), 210);            // in the first mission
    EXPECT_EQ(LabelTarget(main, 300, -10), 310);            // the second starts here
    EXPECT_EQ(LabelTarget(main, 100, -10), std::nullopt);   // main code has no mission
    EXPECT_EQ(LabelTarget(main, 350, -110), std::nullopt);  // past the end
}
