#include <gtest/gtest.h>

#include "opcodes/IniLoader.h"
#include "opcodes/OpcodeJson.h"
#include "session/EditSession.h"
#include "support/Printers.h"
#include "fixtures/ScriptBuilder.h"
#include "fixtures/TempDir.h"

using namespace morvane;
using morvane::test::ScriptBuilder;
using morvane::test::TempDir;

namespace {

std::shared_ptr<const OpcodeTable> DemoTable(GameId game) {
    auto table = std::make_shared<OpcodeTable>();
    EXPECT_TRUE(LoadOpcodeFile(std::string(MORVANE_SOURCE_DIR) + "/demo/" + OpcodeIniFileName(game), game, *table));
    return table;
}

// The demo San Andreas key script, opened: Y (8-bit) at 20, Left Shift and F2
// (16-bit) at 54 and 83, Cross on pad 1 at 153, R1 on pad 2 at 185.
class EditSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        const Status opened = session.Open(path, kGameSanAndreas, DemoTable(kGameSanAndreas), HeaderSkip::ByName);
        ASSERT_TRUE(opened) << opened.Cause();
    }
    uint8_t ByteAt(int32_t offset) const { return session.Image().Data()[offset]; }

    const std::string path = std::string(MORVANE_SOURCE_DIR) + "/demo/sa_keys.cs";
    EditSession session;
};

}  // namespace

TEST_F(EditSessionTest, EditsReachTheBytesAndTheViewAndUndoTakesThemBack) {
    ASSERT_EQ(session.Tests().size(), 5u);
    EXPECT_FALSE(session.IsModified());
    EXPECT_EQ(session.SetVKey(0, 'Z'), KeyRefusal::Accepted);
    EXPECT_TRUE(session.IsChanged(0));
    EXPECT_TRUE(session.IsModified());
    EXPECT_EQ(ByteAt(23), 'Z');
    EXPECT_EQ(session.Around(0, 0, 0).front().text, "0AB0: key 90 pressed");

    EXPECT_EQ(session.SetGameKey(3, 17), KeyRefusal::Accepted);
    EXPECT_EQ(session.SetPad(3, 1), KeyRefusal::Accepted);
    EXPECT_EQ(ByteAt(156), 1);
    EXPECT_EQ(ByteAt(158), 17);
    ASSERT_TRUE(session.Undo());
    ASSERT_TRUE(session.Undo());
    EXPECT_EQ(ByteAt(156), 0);
    EXPECT_EQ(ByteAt(158), 16);
    ASSERT_TRUE(session.Undo());
    EXPECT_EQ(ByteAt(23), 'Y');
    EXPECT_FALSE(session.IsModified());
    EXPECT_FALSE(session.CanUndo());
    ASSERT_TRUE(session.Redo());
    EXPECT_EQ(ByteAt(23), 'Z');
    // A new edit drops what could be redone.
    EXPECT_TRUE(session.CanRedo());
    session.SetVKey(1, 0xA1);
    EXPECT_FALSE(session.CanRedo());
}

TEST_F(EditSessionTest, RefusedAndEmptyEditsTakeNoStep) {
    EXPECT_EQ(session.SetVKey(0, 0x80), KeyRefusal::NeedsWideParameter);  // an 8-bit parameter
    EXPECT_EQ(session.SetVKey(0, 'Y'), KeyRefusal::Accepted);             // what it holds
    EXPECT_EQ(session.SetGameKey(3, 20), KeyRefusal::GameKeyOutOfRange);
    EXPECT_EQ(session.SetPad(3, 2), KeyRefusal::PadOutOfRange);
    EXPECT_EQ(session.ApplyRules({RemapRule::ForVKey('Y', 0x80)}).Count(RemapAnswer::Refused), 1u);
    // A number that names no test of the kind has a refusal of its own.
    EXPECT_EQ(session.SetVKey(3, 'A'), KeyRefusal::NoSuchTest);  // a button test
    EXPECT_EQ(session.SetVKey(5, 'A'), KeyRefusal::NoSuchTest);
    EXPECT_EQ(session.SetPad(0, 1), KeyRefusal::NoSuchTest);
    EXPECT_EQ(session.SetCheatCode(0, "BOOM"), CheatRefusal::NoSuchTest);
    EXPECT_FALSE(session.CanUndo());
    EXPECT_FALSE(session.IsModified());

    const RemapResult result = session.ApplyRules({RemapRule::ForVKey(0x71, 0x76)});
    EXPECT_EQ(result.Count(RemapAnswer::Changed), 1u);
    ASSERT_TRUE(session.Undo());
    EXPECT_FALSE(session.CanUndo());
}

TEST_F(EditSessionTest, ASaveWritesTheEditedBytesAndBecomesTheCopyComparedWith) {
    TempDir dir;
    session.SetVKey(2, 0x76);
    const Result<SaveNotes> saved = session.SaveTo(dir.File("out.cs"));
    ASSERT_TRUE(saved) << saved.Cause();
    EXPECT_FALSE(session.IsModified());
    EXPECT_EQ(session.CurrentPath(), dir.File("out.cs"));
    EXPECT_EQ(session.OpenedPath(), path);
    std::vector<uint8_t> expected = test::ReadBytes(path);
    expected[86] = 0x76;
    EXPECT_EQ(test::ReadBytes(dir.File("out.cs")), expected);
    // Undone after the save, the test differs from the saved copy again.
    session.Undo();
    EXPECT_TRUE(session.IsChanged(2));

    EXPECT_EQ(session.SaveTo(dir.File("missing/out.cs")).Cause(), "folder does not exist");
    EXPECT_EQ(session.CurrentPath(), dir.File("out.cs"));
}

TEST_F(EditSessionTest, AFileThatCannotBeReadIsRefusedWithItsCauseAndTheSessionKept) {
    session.SetVKey(0, 'Z');
    TempDir dir;
    const Status opened =
        session.Open(dir.File("absent.cs"), kGameSanAndreas, DemoTable(kGameSanAndreas), HeaderSkip::ByName);
    ASSERT_FALSE(opened);
    EXPECT_EQ(opened.Cause(), "not found");
    EXPECT_EQ(session.OpenedPath(), path);
    EXPECT_EQ(ByteAt(23), 'Z');
    EXPECT_TRUE(session.CanUndo());
}

TEST(EditSession, ACheatCodeTypedWaitsUntilItIsSetAndARefusedOneStaysTyped) {
    EditSession session;
    ASSERT_TRUE(session.Open(std::string(MORVANE_SOURCE_DIR) + "/demo/sa_cheats.cs", kGameSanAndreas,
                             DemoTable(kGameSanAndreas), HeaderSkip::ByName));
    ASSERT_TRUE(session.Tests()[2].IsCheat());  // TANK, length-prefixed
    EXPECT_FALSE(session.CanUndo());
    session.TypeCheatCode(2, "tanks");
    EXPECT_TRUE(session.IsModified());
    EXPECT_TRUE(session.CanUndo());  // the typing is an edit to take back
    EXPECT_EQ(session.SetPendingCheatCode(), CheatRefusal::WrongLength);
    EXPECT_EQ(session.PendingCheatTest(), 2u);  // what was typed is kept, to be mended
    EXPECT_EQ(session.TypedCheatCode(2), "tanks");
    EXPECT_EQ(session.Tests()[2].code, "TANK");
    // Undo drops a code that cannot be set.
    EXPECT_TRUE(session.Undo());
    EXPECT_FALSE(session.PendingCheatTest());
    EXPECT_FALSE(session.IsModified());
    EXPECT_EQ(session.TypedCheatCode(2), "TANK");

    session.TypeCheatCode(2, "bang");
    EXPECT_EQ(session.SetPendingCheatCode(), CheatRefusal::Accepted);
    EXPECT_EQ(session.Tests()[2].code, "BANG");
    EXPECT_FALSE(session.PendingCheatTest());
    // Typed and not set, a code is set by undo first and so taken back alone.
    session.TypeCheatCode(2, "cool");
    EXPECT_TRUE(session.Undo());
    EXPECT_EQ(session.Tests()[2].code, "BANG");
    EXPECT_TRUE(session.Redo());
    EXPECT_EQ(session.Tests()[2].code, "COOL");
    // Typing what the test holds is no edit.
    session.TypeCheatCode(2, "COOL");
    EXPECT_FALSE(session.PendingCheatTest());
}

TEST(EditSession, ChangedTestsAfterAnUnknownInstructionAreTold) {
    ScriptBuilder sa(kGameSanAndreas);
    sa.Op(0x0AB0).I8('A');
    sa.Op(0x3F12);
    sa.Op(0x0AB0).I8('B');
    auto table = std::make_shared<OpcodeTable>();
    ParseOpcodeIni("[x]\n0AB0=1\n", kGameSanAndreas, *table);
    ScannedScript script;
    script.image.game = kGameSanAndreas;
    script.image.LoadFromBytes(sa.Bytes().data(), sa.Bytes().size());
    script.summary = ScanKeyTests(script.image, *table, HeaderSkip::Never, script.tests, nullptr);
    EditSession session;
    session.Adopt(std::move(script), "x.cs", table);
    session.SetVKey(0, 'C');
    EXPECT_TRUE(session.ChangedDoubtfulTests().empty());
    session.SetVKey(1, 'D');
    EXPECT_EQ(session.ChangedDoubtfulTests(), (std::vector<std::size_t>{1}));
}
