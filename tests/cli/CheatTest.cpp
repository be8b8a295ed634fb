// Typed cheat codes through morvane-cli: listed, changed in place within
// their room, refused with the reason, and mapped as keys are.

#include <nlohmann/json.hpp>

#include "cli/CliSupport.h"
#include "fixtures/ScriptBuilder.h"

using namespace morvane;
using namespace morvane::test;

namespace {

class CheatTest : public CliTest {
protected:
    void SetUp() override {
        CliTest::SetUp();
        for (const char* name : {"sa_cheats.cs", "vc_cheats.cs"})
            std::filesystem::copy_file(DemoPath(name), dir.File(name));
    }

    // The demo file with its bytes from `at` on replaced.
    static std::vector<uint8_t> Overwritten(const std::string& demo, std::size_t at, const std::string& bytes) {
        std::vector<uint8_t> result = Demo(demo);
        for (std::size_t i = 0; i < bytes.size(); ++i) result.at(at + i) = static_cast<uint8_t>(bytes[i]);
        return result;
    }
};

}  // namespace

TEST_F(CheatTest, ListShowsEachCodeAsACheatWithNoKeyOrPad) {
    const CliRun tsv = Run({"list", "--game", "sa", "--format", "tsv", "sa_cheats.cs"});
    EXPECT_EQ(tsv.status, 0);
    EXPECT_EQ(tsv.err, "");
    EXPECT_EQ(tsv.out,
              "file\toffset\tkind\twide\tpad\tkey\tname\topcode\tchord\tset_at\n"
              "sa_cheats.cs\t20\tcheat\t0\t-1\t-1\tBOOM\t0ADC\t\t\n"
              "sa_cheats.cs\t57\tcheat\t0\t-1\t-1\tFLYINGCARS\t0ADC\t\t\n"
              "sa_cheats.cs\t99\tcheat\t0\t-1\t-1\tTANK\t0ADC\t\t\n"
              "sa_cheats.cs\t167\tvkey\t0\t-1\t113\tF2\t0AB0\t\t\n");

    const CliRun text = Run({"list", "--game", "vc", "vc_cheats.cs"});
    EXPECT_EQ(text.out,
              "FILE          OFFSET  KIND   WIDE  PAD  KEY  NAME     OPCODE\n"
              "vc_cheats.cs      19  cheat     0    -    -  GUNS     0ADC\n"
              "vc_cheats.cs      55  cheat     0    -    -  MONEYUP  0ADC\n");

    // A code read from a file is any bytes: escaped in TSV, valid in JSON.
    ScriptBuilder odd(kGameSanAndreas);
    odd.Op(0x0ADC).String8("A\tB\n\xFF");
    dir.Write("odd.cs", odd.Bytes());
    EXPECT_EQ(Run({"list", "--game", "sa", "--format", "tsv", "odd.cs"}).out,
              "file\toffset\tkind\twide\tpad\tkey\tname\topcode\tchord\tset_at\n"
              "odd.cs\t0\tcheat\t0\t-1\t-1\tA\\tB\\n\xFF\t0ADC\t\t\n");
    const nlohmann::json json = nlohmann::json::parse(Run({"list", "--game", "sa", "--format", "json", "odd.cs"}).out);
    EXPECT_EQ(json.at(0).at("name"), "A\tB\n\xEF\xBF\xBD");
    EXPECT_EQ(json.at(0).at("kind"), "cheat");
    EXPECT_EQ(json.at(0).at("key"), -1);
}

TEST_F(CheatTest, RemapChangesCodesInPlaceUpperCasedAndZeroPadded) {
    // BOOM's characters start at 23, FLYINGCARS's at 60, TANK's at 103.
    const CliRun byCode = Run({"remap", "--game", "sa", "--cheat", "boom=bang2", "--cheat", "FlyingCars=SKY",
                               "sa_cheats.cs", "-o", "out.cs"});
    EXPECT_EQ(byCode.status, 0) << byCode.err;
    EXPECT_EQ(byCode.out, "sa_cheats.cs: 2 changed -> out.cs\n");
    std::vector<uint8_t> expected = Overwritten("sa_cheats.cs", 23, "BANG2");
    const std::string sky("SKY\0\0\0\0\0\0\0", 10);
    for (std::size_t i = 0; i < sky.size(); ++i) expected.at(60 + i) = static_cast<uint8_t>(sky[i]);
    EXPECT_EQ(ReadBytes(dir.File("out.cs")), expected);

    const CliRun at = Run({"remap", "--game", "sa", "--at", "99:tony", "sa_cheats.cs", "--in-place"});
    EXPECT_EQ(at.status, 0) << at.err;
    EXPECT_EQ(ReadBytes(dir.File("sa_cheats.cs")), Overwritten("sa_cheats.cs", 103, "TONY"));

    const CliRun older = Run({"remap", "--game", "vc", "--at", "55:CASH", "vc_cheats.cs", "-o", "vc.cs"});
    EXPECT_EQ(older.status, 0) << older.err;
    EXPECT_EQ(ReadBytes(dir.File("vc.cs")), Overwritten("vc_cheats.cs", 57, std::string("CASH\0\0\0", 7)));

    // The code it has already: nothing changes.
    const CliRun same = Run({"remap", "--game", "vc", "--cheat", "GUNS=guns", "vc_cheats.cs", "--in-place"});
    EXPECT_EQ(same.out, "vc_cheats.cs: 0 changed (file left as it was)\n");
    EXPECT_EQ(ReadBytes(dir.File("vc_cheats.cs")), Demo("vc_cheats.cs"));
}

TEST_F(CheatTest, ACodeThatDoesNotFitIsRefusedSayingWhatWould) {
    const struct {
        std::vector<std::string> rule;
        const char* cause;
    } refusals[] = {
        {{"--cheat", "TANK=TANKS"},
         "offset 99: cheat code TANK cannot become TANKS: this code must have exactly 4 characters"},
        {{"--at", "20:EIGHTCHR"},
         "offset 20: cheat code BOOM cannot become EIGHTCHR: this code may have at most 7 characters"},
        {{"--cheat", "BOOM=BO-OM"},
         "offset 20: cheat code BOOM cannot become BO-OM: a cheat code has only letters A-Z and digits"},
        {{"--at", "57:SIXTEENCHARSWXYZ"},
         "offset 57: cheat code FLYINGCARS cannot become SIXTEENCHARSWXYZ: this code may have at most 15 characters"},
        {{"--at", "57:1:ABC"}, "--at 57:1:ABC: the cheat test at offset 57 has no pad"},
    };
    for (const auto& refusal : refusals) {
        std::vector<std::string> args = {"remap", "--game", "sa"};
        args.insert(args.end(), refusal.rule.begin(), refusal.rule.end());
        args.insert(args.end(), {"sa_cheats.cs", "-o", "x.cs"});
        const CliRun run = Run(args);
        EXPECT_EQ(run.status, 1) << refusal.cause;
        EXPECT_EQ(run.err, std::string("sa_cheats.cs: refused: ") + refusal.cause + "; nothing written\n");
        EXPECT_FALSE(std::filesystem::exists(dir.File("x.cs")));
    }
    EXPECT_EQ(ReadBytes(dir.File("sa_cheats.cs")), Demo("sa_cheats.cs"));

    const CliRun usage = Run({"remap", "--game", "sa", "--cheat", "BOOM", "sa_cheats.cs", "--in-place"});
    EXPECT_EQ(usage.status, 2);
    EXPECT_NE(usage.err.find("--cheat takes FROM=TO, each a cheat code: BOOM"), std::string::npos) << usage.err;
}

TEST_F(CheatTest, KeysListsCodesAndTwoScriptsWithOneCodeConflict) {
    std::filesystem::create_directories(dir.File("mods"));
    std::filesystem::copy_file(dir.File("sa_cheats.cs"), dir.File("mods/sa_cheats.cs"));
    ScriptBuilder other(kGameSanAndreas);
    other.Op(0x0ADC).VarString("BOOM");  // the same code in another form
    other.Op(0x0ADC).String8("boom");    // the same again: the game reads typed letters in one case
    dir.Write("mods/other.cs", other.Bytes());
    const CliRun run = Run({"keys", "--game", "sa", "mods", "--svg", "map.svg"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "Key map: 2 scripts, 1 key and 3 cheat codes tested, 1 conflict\n"
              "\n"
              "Conflicts: keys that two or more mods test\n"
              "  Cheat BOOM: 2 mods\n"
              "      mods/other.cs (2 tests)\n"
              "      mods/sa_cheats.cs (1 test)\n"
              "\n"
              "Keys without a conflict\n"
              "  VKey 113  F2: mods/sa_cheats.cs (1 test)\n"
              "  Cheat FLYINGCARS: mods/sa_cheats.cs (1 test)\n"
              "  Cheat TANK: mods/sa_cheats.cs (1 test)\n");
    EXPECT_NE(Run({"keys", "--game", "sa", "--format", "tsv", "mods"})
                  .out.find("cheat\t-1\t-1\tBOOM\tmods/other.cs\tother.cs\t2\t1\n"),
              std::string::npos);
    const nlohmann::json json = nlohmann::json::parse(Run({"keys", "--game", "sa", "--format", "json", "mods"}).out);
    EXPECT_EQ(json["keys"][0]["kind"], "cheat");
    EXPECT_EQ(json["keys"][0]["name"], "BOOM");
    EXPECT_EQ(json["keys"][0]["conflict"], true);
    EXPECT_NE(Slurp(dir.File("map.svg")).find("Cheat codes typed"), std::string::npos);
}
