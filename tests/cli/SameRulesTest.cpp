// The window's edit session and morvane-cli remap apply rules through one
// engine call: the same rules give the same bytes and the same refusals.

#include <gtest/gtest.h>

#include "cli/Options.h"
#include "opcodes/IniLoader.h"
#include "opcodes/OpcodeJson.h"
#include "session/EditSession.h"
#include "cli/CliSupport.h"

using namespace morvane;
using namespace morvane::test;

TEST_F(CliTest, TheSessionAndRemapGiveTheSameResultForTheSameRules) {
    const struct {
        const char* file;
        std::vector<std::string> rules;
    } kCases[] = {
        {"sa_keys.cs", {"--vkey", "Y Key=Z Key", "--button", "Cross=Fire"}},
        {"sa_keys.cs", {"--vkey", "F2=F17", "--pad", "Pad 2=Pad 1"}},
        {"sa_keys.cs", {"--vkey", "Y Key=F17"}},  // refused: an 8-bit parameter
        {"sa_keys.cs", {"--at", "153:Pad 2:Fire", "--vkey", "Y Key=F17", "--vkey", "Y Key=A Key"}},
        {"sa_keys.cs", {"--at", "99:F2"}},  // no test there
        {"sa_cheats.cs", {"--cheat", "boom=bang", "--at", "57:JETPACKS"}},
        {"sa_cheats.cs", {"--cheat", "TANK=TANKS"}},  // refused: its length is fixed
    };
    std::filesystem::copy_file(DemoPath("sa_cheats.cs"), dir.File("sa_cheats.cs"));
    auto table = std::make_shared<OpcodeTable>();
    ASSERT_TRUE(LoadOpcodeFile(DemoPath("SASCM.ini"), kGameSanAndreas, *table));
    for (const auto& c : kCases) {
        std::vector<std::string> args = {"remap", "--game", "sa"};
        args.insert(args.end(), c.rules.begin(), c.rules.end());
        args.insert(args.end(), {c.file, "-o", "out.cs"});
        std::string error;
        const std::optional<cli::Options> options = cli::ParseArguments(args, error);
        ASSERT_TRUE(options) << error;

        EditSession session;
        const Status opened = session.Open(c.file, kGameSanAndreas, table, HeaderSkip::ByName);
        ASSERT_TRUE(opened) << opened.Cause();
        const RemapResult result = session.ApplyRules(options->rules);
        const std::vector<std::string> refusals = result.Refusals();

        std::filesystem::remove(dir.File("out.cs"));
        const CliRun run = Run(args);
        if (refusals.empty()) {
            EXPECT_EQ(run.status, 0) << c.rules.back() << run.err;
            const std::vector<uint8_t> window(session.Image().Data(), session.Image().Data() + session.Image().Size());
            EXPECT_EQ(ReadBytes(dir.File("out.cs")), window) << c.rules.back();
            EXPECT_EQ(run.out, std::string(c.file) + ": " + std::to_string(result.Count(RemapAnswer::Changed)) +
                                   " changed -> out.cs\n");
        } else {
            // The window changes what is not refused and tells the rest; remap,
            // for a whole file at a time, writes nothing and names the first.
            EXPECT_EQ(run.status, 1) << c.rules.back();
            EXPECT_EQ(run.err, std::string(c.file) + ": refused: " + refusals.front() + "; nothing written\n");
            EXPECT_FALSE(std::filesystem::exists(dir.File("out.cs")));
        }
    }
}
