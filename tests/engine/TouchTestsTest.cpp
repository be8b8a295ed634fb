// The mobile editions' touch tests: the zones of the screen a touch or a
// slide tests (0DE0, 0DE1) and San Andreas mobile's widgets (0A51-0A56),
// found, named, refused and written back in place.

#include <gtest/gtest.h>

#include <filesystem>

#include "fixtures/ScriptBuilder.h"
#include "fixtures/TempDir.h"
#include "keymap/KeyMap.h"
#include "keys/KeyNames.h"
#include "keys/RemapRules.h"
#include "opcodes/BuiltinTables.h"
#include "opcodes/OpcodeSources.h"
#include "script/Patch.h"
#include "support/Printers.h"

using namespace morvane;
using morvane::test::ScriptBuilder;

namespace {

constexpr uint16_t kTouchPoint = 0x0DE0;
constexpr uint16_t kTouchSlide = 0x0DE1;
constexpr uint16_t kWidgetPressed = 0x0A51;
constexpr uint16_t kWidgetSwipedRight = 0x0A56;

struct Scanned {
    ScriptImage image;
    std::vector<KeyTest> tests;
    ScanSummary summary;
    std::vector<uint8_t> original;

    explicit Scanned(const ScriptBuilder& b) : original(b.Bytes()) {
        OpcodeTable table;
        LoadBuiltinTable(b.Game(), table);
        image.game = b.Game();
        EXPECT_TRUE(image.LoadFromBytes(original.data(), original.size()));
        summary = ScanKeyTests(image, table, HeaderSkip::Never, tests, nullptr);
    }
    std::vector<uint8_t> Bytes() const { return std::vector<uint8_t>(image.Data(), image.Data() + image.Size()); }
};

// The zone parameter in each width an integer constant has.
enum class Width { Int8, Int16, Int32 };
void Zone(ScriptBuilder& b, Width width, uint32_t value) {
    switch (width) {
        case Width::Int8: b.I8(static_cast<uint8_t>(value)); break;
        case Width::Int16: b.I16(static_cast<uint16_t>(value)); break;
        case Width::Int32: b.I32(value); break;
    }
}

}  // namespace

// Every mobile edition finds a touch's zone and a slide's two zones in
// every width, at the instruction's offset; a widget test only in San
// Andreas mobile. The PC editions know no touch test.
TEST(TouchTests, AreFoundInEachMobileEditionAndWidth) {
    for (const GameId game : {kGameGta3Mobile, kGameViceCityMobile, kGameSanAndreasMobile})
        for (const Width width : {Width::Int8, Width::Int16, Width::Int32}) {
            ScriptBuilder b(game);
            b.Op(0x0001).I8(0);
            b.Op(kTouchPoint).LocalVar(0);  // offset 4
            Zone(b, width, 7);
            b.I16(500);
            const int32_t slide = b.Here();
            b.Op(kTouchSlide).GlobalVar(8);
            Zone(b, width, 1);
            Zone(b, width, 9);
            b.I16(100).I16(1000);
            b.Op(0x0001).I8(0);
            const Scanned s(b);
            SCOPED_TRACE(GameName(game));
            EXPECT_FALSE(s.summary.HasUnknown()) << UnknownInstructionsText(s.summary);
            ASSERT_EQ(s.tests.size(), 3u);
            const KeyTestKind kinds[] = {KeyTestKind::Touch, KeyTestKind::SlideFrom, KeyTestKind::SlideTo};
            const int32_t zones[] = {7, 1, 9};
            const int32_t offsets[] = {4, slide, slide};
            for (std::size_t i = 0; i < 3; ++i) {
                EXPECT_EQ(s.tests[i].kind, kinds[i]);
                EXPECT_EQ(s.tests[i].key, zones[i]);
                EXPECT_EQ(s.tests[i].offset, offsets[i]);
                EXPECT_EQ(s.tests[i].wide, width != Width::Int8);
            }
        }

    ScriptBuilder widgets(kGameSanAndreasMobile);
    widgets.Op(kWidgetPressed).I8(31).Op(kWidgetSwipedRight).I16(200);
    const Scanned s(widgets);
    ASSERT_EQ(s.tests.size(), 2u);
    EXPECT_EQ(KeyTestLabel(s.tests[0]), "Widget 31 (sprint)");
    EXPECT_EQ(KeyTestLabel(s.tests[1]), "Widget 200");
    EXPECT_EQ(s.tests[1].offset, 4);

    for (const GameId pc : kPcGames) {
        ScriptBuilder b(pc);
        b.Op(kTouchPoint).LocalVar(0).I8(7).I16(500);
        EXPECT_TRUE(Scanned(b).tests.empty()) << GameName(pc);
    }
}

// A zone or time kept in a variable is no constant to change: only the
// constant zones are listed, and the walk stays on track after them.
TEST(TouchTests, ZonesInVariablesAreNotListed) {
    ScriptBuilder b(kGameSanAndreasMobile);
    b.Op(kTouchSlide).LocalVar(1).LocalVar(2).I8(3).LocalVar(3).I16(900);
    b.Op(kTouchPoint).LocalVar(0).I8(5).LocalVar(4);
    const Scanned s(b);
    EXPECT_FALSE(s.summary.HasUnknown());
    ASSERT_EQ(s.tests.size(), 2u);
    EXPECT_EQ(s.tests[0].kind, KeyTestKind::SlideTo);
    EXPECT_EQ(s.tests[0].key, 3);
    EXPECT_EQ(s.tests[1].kind, KeyTestKind::Touch);
    EXPECT_EQ(s.tests[1].key, 5);
}

// Each zone and widget is written in place in its own width; a slide's
// start and end change apart; every other byte stays.
TEST(TouchTests, PatchWritesOnlyTheZonesAndWidgets) {
    ScriptBuilder b(kGameSanAndreasMobile);
    b.Op(kTouchPoint).LocalVar(0).I16(7).I16(500);          // zone at 6 and 7
    b.Op(kTouchSlide).LocalVar(1).I8(1).I8(9).I8(1).I8(2);  // from at 17, to at 19
    b.Op(kWidgetPressed).I8(31);                            // widget at 27
    Scanned s(b);
    ASSERT_EQ(s.tests.size(), 4u);
    s.tests[0].key = 3;
    s.tests[2].key = 4;
    s.tests[3].key = 32;
    PatchImage(s.image, s.tests, s.summary.code.end);
    std::vector<uint8_t> expected = s.original;
    expected[6] = 3;
    expected[19] = 4;
    expected[27] = 32;
    EXPECT_EQ(s.Bytes(), expected);
}

TEST(TouchZoneNames, NameTheThreeByThreeGrid) {
    const char* const names[] = {"left top",      "left centre", "left bottom",  "centre top",  "centre",
                                 "centre bottom", "right top",   "right centre", "right bottom"};
    for (int32_t zone = kLowestTouchZone; zone <= kHighestTouchZone; ++zone)
        EXPECT_EQ(TouchZoneName(zone), names[zone - 1]) << zone;
    EXPECT_EQ(TouchZoneEntryName(7), "Zone 7 (right top)");
    EXPECT_EQ(TouchZoneEntryName(0), "Zone 0");
    EXPECT_EQ(TouchZoneEntryName(10), "Zone 10");
}

// A zone is 1 to 9 and a widget 0 to 255 (up to 127 in an 8-bit
// parameter); what a test already holds may stay.
TEST(TouchTests, RefuseZonesOffTheGridAndWidgetsThatDoNotFit) {
    KeyTest zone = KeyTest::Touch(KeyTestKind::Touch, 4, 7, false, kTouchPoint);
    KeyTest narrow = KeyTest::Touch(KeyTestKind::Widget, 4, 31, false, kWidgetPressed);
    KeyTest wide = KeyTest::Touch(KeyTestKind::Widget, 4, 31, true, kWidgetPressed);
    const struct {
        const KeyTest& test;
        int32_t value;
        KeyRefusal refusal;
    } cases[] = {
        {zone, 0, KeyRefusal::ZoneOutOfRange},    {zone, 1, KeyRefusal::Accepted},
        {zone, 9, KeyRefusal::Accepted},          {zone, 10, KeyRefusal::ZoneOutOfRange},
        {narrow, 127, KeyRefusal::Accepted},      {narrow, 128, KeyRefusal::WidgetNeedsWide},
        {wide, 255, KeyRefusal::Accepted},        {wide, 256, KeyRefusal::WidgetOutOfRange},
        {wide, -1, KeyRefusal::WidgetOutOfRange},
    };
    for (const auto& c : cases) EXPECT_EQ(CheckTouchValue(c.test, c.value), c.refusal) << c.value;
    EXPECT_EQ(RefusalText(KeyRefusal::ZoneOutOfRange, 10), "touch zone 10 is not between 1 and 9");
}

// --touch moves every test of a zone, a touch's and a slide's alike;
// --widget one widget; an offset rule on a slide names which end it moves.
TEST(TouchTests, RemapRulesMoveZonesAndWidgets) {
    const std::vector<KeyTest> read = {
        KeyTest::Touch(KeyTestKind::Touch, 4, 7, false, kTouchPoint),
        KeyTest::Touch(KeyTestKind::SlideFrom, 20, 7, false, kTouchSlide),
        KeyTest::Touch(KeyTestKind::SlideTo, 20, 9, false, kTouchSlide),
        KeyTest::Touch(KeyTestKind::Widget, 40, 31, false, kWidgetPressed),
    };
    RemapRule touch;
    touch.kind = RemapRule::Kind::Touch;
    touch.from = 7;
    touch.to = 3;
    RemapRule widget;
    widget.kind = RemapRule::Kind::Widget;
    widget.from = 31;
    widget.to = 32;
    RemapResult result = ApplyRemapRules(read, {touch, widget});
    EXPECT_EQ(result.Count(RemapAnswer::Changed), 3u);
    EXPECT_EQ(result.tests[0].key, 3);
    EXPECT_EQ(result.tests[1].key, 3);
    EXPECT_EQ(result.tests[2].key, 9);
    EXPECT_EQ(result.tests[3].key, 32);

    RemapRule at;
    at.kind = RemapRule::Kind::At;
    at.offset = 20;
    at.zone = 5;
    at.text = "--at 20:5";
    result = ApplyRemapRules(read, {at});
    EXPECT_EQ(result.Count(RemapAnswer::Refused), 2u);
    EXPECT_EQ(result.Refusals().front(),
              "--at 20:5: the slide at offset 20 tests a start and an end zone: name one (20:slide-from:ZONE or "
              "20:slide-to:ZONE)");
    at.atKind = KeyTestKind::SlideTo;
    result = ApplyRemapRules(read, {at});
    EXPECT_EQ(result.Count(RemapAnswer::Changed), 1u);
    EXPECT_EQ(result.tests[2].key, 5);
    EXPECT_EQ(result.tests[1].key, 7);

    touch.to = 10;  // off the grid
    result = ApplyRemapRules(read, {touch});
    EXPECT_EQ(result.Count(RemapAnswer::Refused), 2u);
    EXPECT_EQ(result.tests[0].key, 7);
}

// Without a mobile table of its own, a mobile edition reads its PC
// edition's (here the work folder's INI) with the touch tests set over what
// that file says of their opcodes; Sanny Builder's mobile mode, when there,
// is the mobile edition's own.
TEST(MobileTables, ComeFromThePcEditionOrSannyBuildersMobileMode) {
    test::TempDir dir;
    dir.Write("SASCM.ini", "[OPCODES]\n0001=1,wait %1d% ms\n0DE0=1,something else on PC\n");
    Result<GameTable> mobile =
        LoadGameTable(kGameSanAndreasMobile, dir.Path(), OpcodeChoice{OpcodeChoice::Kind::BuiltIn, {}});
    ASSERT_TRUE(mobile) << mobile.Cause();
    EXPECT_TRUE(mobile->fromPcEdition);
    EXPECT_EQ(mobile->source, OpcodeSource::WorkFolder);
    ASSERT_NE(mobile->table.Find(kTouchPoint), nullptr);
    EXPECT_EQ(mobile->table.Find(kTouchPoint)->parameterCount, 3);
    EXPECT_EQ(mobile->table.Find(kTouchPoint)->role, OpcodeRole::TouchTest);
    EXPECT_EQ(mobile->table.Find(kWidgetPressed)->role, OpcodeRole::WidgetTest);
    EXPECT_NE(mobile->Description().find("mobile"), std::string::npos);

    Result<GameTable> pc = LoadGameTable(kGameSanAndreas, dir.Path(), OpcodeChoice{OpcodeChoice::Kind::BuiltIn, {}});
    ASSERT_TRUE(pc);
    EXPECT_EQ(pc->table.Find(kTouchPoint)->parameterCount, 1);
    EXPECT_EQ(pc->table.Find(kTouchPoint)->role, OpcodeRole::Plain);

    // A Vice City mobile table has touches but no widgets.
    Result<GameTable> vc =
        LoadGameTable(kGameViceCityMobile, dir.Path(), OpcodeChoice{OpcodeChoice::Kind::BuiltIn, {}});
    ASSERT_TRUE(vc);
    EXPECT_EQ(vc->table.Find(kTouchSlide)->role, OpcodeRole::SlideTest);
    EXPECT_EQ(vc->table.Find(kWidgetPressed), nullptr);

    const std::filesystem::path mode = std::filesystem::path(dir.Path()) / "sb" / "data" / "sa_mobile";
    std::filesystem::create_directories(mode);
    dir.Write("sb/data/sa_mobile/SASCM.ini", "[OPCODES]\n0001=1,wait %1d% ms\n0DE0=3,touch %2d%\n");
    Result<GameTable> sanny = LoadGameTable(kGameSanAndreasMobile, dir.Path(),
                                            OpcodeChoice{OpcodeChoice::Kind::SannyBuilder, dir.File("sb")});
    ASSERT_TRUE(sanny) << sanny.Cause();
    EXPECT_FALSE(sanny->fromPcEdition);
    EXPECT_EQ(sanny->source, OpcodeSource::SannyBuilder);
    EXPECT_EQ(sanny->table.Description(kTouchPoint), "touch %2d%");
    EXPECT_EQ(sanny->table.Find(kTouchPoint)->role, OpcodeRole::TouchTest);
}

// On the key map a zone is one key, touched or slid from or to, and two mods
// on one zone fight over it; a widget is one of the game's controls, shared.
TEST(MobileKeyMap, ZonesConflictAndWidgetsAreShared) {
    const auto script = [](const std::string& path, std::vector<KeyTest> tests) {
        ScanSummary summary;
        return CountKeyTests(path, tests, summary);
    };
    const KeyMap map = AggregateKeyMap({
        script("cleo/a.csa", {KeyTest::Touch(KeyTestKind::Touch, 4, 7, false, kTouchPoint),
                              KeyTest::Touch(KeyTestKind::Widget, 9, 31, false, kWidgetPressed)}),
        script("cleo/b.csi", {KeyTest::Touch(KeyTestKind::SlideFrom, 4, 7, false, kTouchSlide),
                              KeyTest::Touch(KeyTestKind::SlideTo, 4, 2, false, kTouchSlide),
                              KeyTest::Touch(KeyTestKind::Widget, 9, 31, false, kWidgetPressed)}),
    });
    const KeyEntry* seven = map.Find(TestedKey::Zone(7));
    ASSERT_NE(seven, nullptr);
    EXPECT_TRUE(seven->IsConflict());
    EXPECT_EQ(TestedKeyName(seven->key), "Zone 7 (right top)");
    ASSERT_NE(map.Find(TestedKey::Zone(2)), nullptr);
    EXPECT_FALSE(map.Find(TestedKey::Zone(2))->IsConflict());
    const KeyEntry* sprint = map.Find(TestedKey::Widget(31));
    ASSERT_NE(sprint, nullptr);
    EXPECT_FALSE(sprint->IsConflict());
    EXPECT_EQ(sprint->mods, 2u);
    EXPECT_EQ(map.ConflictCount(), 1u);
    EXPECT_TRUE(map.ShowsTouchScreen());
}
