// morvane-cli on the mobile editions' scripts: touch zones and widgets
// listed by name, remapped in place, and mapped on the phone's screen.

#include <filesystem>

#include "cli/CliSupport.h"
#include "fixtures/DemoScripts.h"
#include "fixtures/ScriptBuilder.h"

using namespace morvane;
using namespace morvane::test;

namespace {

constexpr const char* kDemo = "sa_mobile_touch.csa";

class MobileTest : public CliTest {
protected:
    void SetUp() override {
        CliTest::SetUp();
        std::filesystem::copy_file(DemoPath(kDemo), dir.File(kDemo));
    }
};

}  // namespace

TEST_F(MobileTest, ListNamesTouchZonesAndWidgets) {
    const CliRun tsv = Run({"list", "--game", "sa-mobile", "--format", "tsv", kDemo});
    EXPECT_EQ(tsv.status, 0) << tsv.err;
    EXPECT_EQ(tsv.out,
              "file\toffset\tkind\twide\tpad\tkey\tname\topcode\tchord\tset_at\n"
              "sa_mobile_touch.csa\t16\ttouch\t0\t-1\t7\tTouch zone 7 (right top)\t0DE0\t\t\n"
              "sa_mobile_touch.csa\t26\tslide-from\t0\t-1\t1\tSlide from zone 1 (left top)\t0DE1\t\t\n"
              "sa_mobile_touch.csa\t26\tslide-to\t0\t-1\t9\tSlide to zone 9 (right bottom)\t0DE1\t\t\n"
              "sa_mobile_touch.csa\t84\twidget\t0\t-1\t31\tWidget 31 (sprint)\t0A51\t\t\n"
              "sa_mobile_touch.csa\t114\twidget\t0\t-1\t8\tWidget 8 (phone)\t0A53\t\t\n");
    // Without a mobile table the PC edition's is read, and the user is told.
    EXPECT_NE(tsv.err.find("opcodes only the mobile edition has may be unknown"), std::string::npos) << tsv.err;

    // Read as the PC edition, the touch opcodes are no key tests.
    const CliRun pc = Run({"list", "--game", "sa", "--format", "tsv", kDemo});
    EXPECT_EQ(pc.out.find("touch"), std::string::npos) << pc.out;
}

TEST_F(MobileTest, RemapMovesZonesAndWidgetsInPlace) {
    const CliRun rules = Run({"remap", "--game", "sa-mobile", "--touch", "right top=3", "--widget", "sprint=crouch",
                              "--at", "26:slide-to:right centre", kDemo, "-o", "out.csa"});
    EXPECT_EQ(rules.status, 0) << rules.err;
    EXPECT_EQ(rules.out, "sa_mobile_touch.csa: 3 changed -> out.csa\n");
    EXPECT_EQ(ReadBytes(dir.File("out.csa")), With(kDemo, {{22, 3}, {34, 8}, {87, 32}}));

    const struct {
        std::vector<std::string> rule;
        const char* error;
    } refused[] = {
        {{"--touch", "0=3"}, "--touch: the zone to look for must lie between 1 and 9: 0=3"},
        {{"--touch", "7=10"}, "--touch: the new zone must lie between 1 and 9: 7=10"},
        {{"--at", "26:slide-to:10"}, "--at: 10 is no touch zone (1 to 9 or a name): 26:slide-to:10"},
        {{"--widget", "31=256"}, "--widget: the new widget must lie between 0 and 255: 31=256"},
    };
    for (const auto& r : refused) {
        std::vector<std::string> args = {"remap", "--game", "sa-mobile"};
        args.insert(args.end(), r.rule.begin(), r.rule.end());
        args.insert(args.end(), {kDemo, "-o", "refused.csa"});
        const CliRun run = Run(args);
        EXPECT_EQ(run.status, 2) << r.error;
        EXPECT_NE(run.err.find(r.error), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(dir.File("refused.csa")));
    }

    // An offset rule on a slide must say which of its zones it moves.
    const CliRun slide = Run({"remap", "--game", "sa-mobile", "--at", "26:5", kDemo, "-o", "slide.csa"});
    EXPECT_NE(slide.status, 0);
    EXPECT_NE(slide.err.find("name one (26:slide-from:ZONE or 26:slide-to:ZONE)"), std::string::npos) << slide.err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("slide.csa")));
}

// Two mods of a phone's cleo folder touch the right top: a conflict on the
// screen's zone; both press sprint, a control they share.
TEST_F(MobileTest, KeysMapsTheScreensZonesOfAMobileFolder) {
    std::filesystem::create_directories(dir.File("cleo"));
    std::filesystem::copy_file(DemoPath(kDemo), dir.File("cleo/touches.csa"));
    ScriptBuilder other(kGameSanAndreasMobile);
    other.Op(0x0DE0).LocalVar(0).I8(7).I16(200).Op(0x0A51).I8(31);
    dir.Write("cleo/Menu.CSI", other.Bytes());
    // A PC mod's script in the folder is no script the mobile game runs, and the other way round.
    std::filesystem::copy_file(DemoPath("sa_keys.cs"), dir.File("cleo/pc.cs"));
    const CliRun text = Run({"keys", "--game", "sa-mobile", "cleo"});
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.out.rfind("Key map: 2 scripts, ", 0), 0u) << text.out;
    EXPECT_EQ(text.out.find("pc.cs"), std::string::npos) << text.out;
    const CliRun pc = Run({"keys", "--game", "sa", "cleo"});
    EXPECT_EQ(pc.out.rfind("Key map: 1 script, ", 0), 0u) << pc.out;
    EXPECT_NE(text.out.find("Conflicts: keys that two or more mods test\n  Zone 7 (right top): 2 mods\n"),
              std::string::npos)
        << text.out;
    EXPECT_NE(text.out.find("Shared controls: pad buttons and widgets mods read as the game's controls\n"
                            "  Widget 31 (sprint): 2 mods\n"),
              std::string::npos)
        << text.out;

    const CliRun svg = Run({"keys", "--game", "sa-mobile", "--svg", "map.svg", "cleo"});
    EXPECT_EQ(svg.status, 0) << svg.err;
    const std::string drawn = Slurp(dir.File("map.svg"));
    EXPECT_NE(drawn.find("Touch zones of the screen"), std::string::npos);
    EXPECT_NE(drawn.find("7: right top"), std::string::npos);
    EXPECT_NE(drawn.find("Widget 8 (phone)"), std::string::npos);
    EXPECT_EQ(drawn.find("Pad 1: buttons by game key"), std::string::npos);
}
