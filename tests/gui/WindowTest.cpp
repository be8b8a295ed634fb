// Whole flows through the window: open, edit, save, close.

#include <wx/app.h>
#include <wx/gauge.h>
#include <wx/listbox.h>
#include <wx/textctrl.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>

#include "SyntheticScript.h"
#include "gui/GuiSupport.h"
#include "opcodes/IniLoader.h"
#include "support/Printers.h"
#include "support/ScriptBuilder.h"

using namespace morvane;
using namespace morvane::test;

namespace {

const std::vector<std::string> kSaKeysLines = {"Y Key", "Left Shift", "F2", "Cross: Sprint | Accelerate",
                                               "R1: Aim Weapon|Hand Brake"};

// Byte offsets of the key payloads in sa_keys.cs, found by the scan.
int32_t OffsetOf(WindowProbe& w, std::size_t line) { return w.occurrences().at(line).offset; }

std::vector<std::size_t> DiffPositions(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    EXPECT_EQ(a.size(), b.size());
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        if (a[i] != b[i]) at.push_back(i);
    return at;
}

}  // namespace

class FlowTest : public WindowTest {
protected:
    // A window for a game, with a file opened from the demo folder.
    WindowProbe& OpenDemo(GameId game, const std::string& demoName, const std::string& as = std::string()) {
        dir.Write("cfg", std::to_string(GameNumber(game)));
        WindowProbe& w = Window();
        w.Open(Copy(demoName, as));
        return w;
    }
    std::string WriteScript(const std::string& name, const ScriptBuilder& b) { return dir.Write(name, b.Bytes()); }
    void ExpectNoFileState(WindowProbe& w) {
        EXPECT_EQ(w.Enabled(), "1001000");
        EXPECT_TRUE(w.path()->GetValue().empty());
        EXPECT_EQ(w.list()->GetCount(), 0u);
        EXPECT_FALSE(w.script().IsLoaded());
    }
};

TEST_F(FlowTest, OpenListsTheKeysByNameWithLineZeroReady) {
    WindowProbe& w = OpenDemo(kGameSanAndreas, "sa_keys.cs");
    const auto& dialog = DialogScript::Get().fileDialogs.at(0);
    EXPECT_EQ(dialog.title, "Chooce a file");
    EXPECT_EQ(dialog.wildcard, "SCM Script (*.scm;*.cs;*.cm)|*.scm;*.cs;*.cm|All files (*.*)|*.*");
    EXPECT_EQ(dialog.style & (wxFD_OPEN | wxFD_FILE_MUST_EXIST), wxFD_OPEN | wxFD_FILE_MUST_EXIST);

    EXPECT_EQ(w.Lines(), kSaKeysLines);
    EXPECT_EQ(w.list()->GetSelection(), 0);
    EXPECT_EQ(w.Enabled(), "1110001");
    EXPECT_EQ(w.vkeyChoice()->GetSelection(), 0x59);
    EXPECT_EQ(ToStd(w.path()->GetValue()), dir.File("sa_keys.cs"));
    EXPECT_EQ(w.gauge()->GetRange(), w.script().Size());
    EXPECT_EQ(w.gauge()->GetValue(), w.gauge()->GetRange());
    EXPECT_TRUE(DialogScript::Get().messages.empty());
    w.Screenshot("window-with-script.png");
}

TEST_F(FlowTest, EveryLineFitsTheListOfAShownWindow) {
    dir.Write("cfg", "2");
    WindowProbe& w = Window();
    w.f->Show();
    wxTheApp->Yield(true);
    const wxSize before = w.f->GetSize();
    w.Open(Copy("sa_keys.cs"));
    EXPECT_EQ(w.f->GetSize(), before);
    const int room = w.list()->GetClientSize().x;
    for (const char* name : {"Right Stick X: Special ctrl left/right", "D-pad Down: Grp Ctrl Back|Prev Radio", "Right Windows Key"})
        EXPECT_LT(w.list()->GetTextExtent(name).x, room) << name;
}

TEST_F(FlowTest, SelectingLinesSetsUpTheMatchingChoices) {
    WindowProbe& w = OpenDemo(kGameSanAndreas, "sa_keys.cs");
    w.SelectLine(3);
    EXPECT_EQ(w.Enabled(), "1110110");
    EXPECT_EQ(w.padChoice()->GetSelection(), 0);
    EXPECT_EQ(ToStd(w.padChoice()->GetStringSelection()), "Pad 1");
    EXPECT_EQ(w.gameKeyChoice()->GetSelection(), 16);
    EXPECT_EQ(w.vkeyChoice()->GetSelection(), 0x59);  // a disabled choice keeps what it showed

    w.SelectLine(4);
    EXPECT_EQ(w.padChoice()->GetSelection(), 1);
    EXPECT_EQ(w.gameKeyChoice()->GetSelection(), 6);

    w.SelectLine(1);
    EXPECT_EQ(w.Enabled(), "1110001");
    EXPECT_EQ(w.vkeyChoice()->GetSelection(), 0xA0);
}

TEST_F(FlowTest, EditsChangeTheOccurrenceAndItsLine) {
    WindowProbe& w = OpenDemo(kGameSanAndreas, "sa_keys.cs");
    w.Choose(w.vkeyChoice(), 0x7F);
    EXPECT_EQ(w.Lines()[0], "F16");
    EXPECT_EQ(w.occurrences()[0].key, 0x7F);

    // 0x80 does not fit the 8-bit parameter of line 0.
    DialogScript::Get().ExpectMessage();
    w.Choose(w.vkeyChoice(), 0x80);
    ASSERT_EQ(DialogScript::Get().messages.size(), 1u);
    EXPECT_EQ(DialogScript::Get().messages[0],
              "You can't select this VKey!\nReason: This VKey needs 16bits and space for VKey is 8bits");
    EXPECT_EQ(DialogScript::Get().captions[0], "Message");
    EXPECT_EQ(w.vkeyChoice()->GetSelection(), 0x7F);
    EXPECT_EQ(w.occurrences()[0].key, 0x7F);
    EXPECT_EQ(w.Lines()[0], "F16");

    // The 16-bit parameter of line 1 takes it.
    w.SelectLine(1);
    w.Choose(w.vkeyChoice(), 0x80);
    EXPECT_EQ(w.Lines()[1], "F17");
    EXPECT_EQ(w.occurrences()[1].key, 0x80);

    // A "?" entry is a key like any other.
    w.SelectLine(2);
    w.Choose(w.vkeyChoice(), 0);
    EXPECT_EQ(w.Lines()[2], "?");
    EXPECT_EQ(w.occurrences()[2].key, 0);

    // The pad never changes the line; the game key does.
    w.SelectLine(3);
    w.Choose(w.padChoice(), 1);
    EXPECT_EQ(w.Lines()[3], "Cross: Sprint | Accelerate");
    EXPECT_EQ(w.occurrences()[3].pad, 1);
    w.Choose(w.gameKeyChoice(), 17);
    EXPECT_EQ(w.Lines()[3], "Circle: Fire");
    EXPECT_EQ(w.occurrences()[3].key, 17);
    w.Choose(w.gameKeyChoice(), 12);
    EXPECT_EQ(w.Lines()[3], "Start");
}

TEST_F(FlowTest, NarrowLineHoldingAHighKeyKeepsItUntilALowOneIsChosen) {
    ScriptBuilder sa(kGameSanAndreas);
    sa.Op(0x0AB0).I8(0x90);   // Num lock, already above 127
    sa.Op(0x0AB0).I16(300);   // no name: shown as its number
    dir.Write("cfg", "2");
    WindowProbe& w = Window();
    w.Open(WriteScript("high.cs", sa));
    EXPECT_EQ(w.Lines(), (std::vector<std::string>{"Num lock", "300"}));
    EXPECT_EQ(w.vkeyChoice()->GetSelection(), 0x90);

    DialogScript::Get().ExpectMessage();
    w.Choose(w.vkeyChoice(), 0x91);
    EXPECT_EQ(w.vkeyChoice()->GetSelection(), 0x90);
    EXPECT_EQ(w.occurrences()[0].key, 0x90);
    w.Choose(w.vkeyChoice(), 0x41);
    EXPECT_EQ(w.Lines()[0], "A Key");

    w.SelectLine(1);
    EXPECT_EQ(w.vkeyChoice()->GetSelection(), wxNOT_FOUND);
    w.Choose(w.vkeyChoice(), 0xA0);
    EXPECT_EQ(w.Lines()[1], "Left Shift");
}

TEST_F(FlowTest, SaveWritesExactlyTheEditedPayloads) {
    WindowProbe& w = OpenDemo(kGameSanAndreas, "sa_keys.cs");
    const std::vector<uint8_t> original = DemoBytes("sa_keys.cs");

    w.Choose(w.vkeyChoice(), 0x5A);        // Y Key -> Z Key, 8-bit
    w.SelectLine(1);
    w.Choose(w.vkeyChoice(), 0xA1);        // Left Shift -> Right Shift, 16-bit
    w.SelectLine(4);
    w.Choose(w.padChoice(), 0);
    w.Choose(w.gameKeyChoice(), 17);
    const std::string out = dir.File("out.cs");
    w.Save(out);

    const auto& dialog = DialogScript::Get().fileDialogs.back();
    EXPECT_EQ(dialog.title, "Chooce a file");
    EXPECT_EQ(dialog.wildcard, "Custom Script (.cs)|*.cs|Custom Mission (.cm)|*.cm|SCM (.scm)|*.scm|All files (*.*)|*.*");
    EXPECT_EQ(dialog.style & (wxFD_SAVE | wxFD_OVERWRITE_PROMPT), wxFD_SAVE | wxFD_OVERWRITE_PROMPT);

    const std::vector<uint8_t> saved = ReadBytes(out);
    const auto key0 = static_cast<std::size_t>(OffsetOf(w, 0)) + 3;
    const auto key1 = static_cast<std::size_t>(OffsetOf(w, 1)) + 3;
    const auto button = static_cast<std::size_t>(OffsetOf(w, 4));
    EXPECT_EQ(DiffPositions(original, saved), (std::vector<std::size_t>{key0, key1, button + 3, button + 5}));
    EXPECT_EQ(saved[key0], 0x5A);
    EXPECT_EQ(saved[key1], 0xA1);
    EXPECT_EQ(saved[key1 + 1], 0x00);
    EXPECT_EQ(saved[button + 3], 0x00);
    EXPECT_EQ(saved[button + 5], 17);

    // Saving changes nothing in the window; a second save gives the same file.
    EXPECT_EQ(w.Enabled(), "1110110");
    EXPECT_EQ(ToStd(w.path()->GetValue()), dir.File("sa_keys.cs"));
    w.Save(dir.File("again.cs"));
    EXPECT_EQ(ReadBytes(dir.File("again.cs")), saved);
    EXPECT_TRUE(DialogScript::Get().messages.empty());
}

TEST_F(FlowTest, SaveWithoutEditsIsIdenticalAndMayReplaceTheOpenedFile) {
    for (const char* name : {"gta3_keys.cs", "vc_keys.cs", "sa_keys.cs"}) {
        const GameId game = name[0] == 'g' ? kGameGta3 : name[0] == 'v' ? kGameViceCity : kGameSanAndreas;
        WindowProbe& w = OpenDemo(game, name);
        w.Save(dir.File(std::string("copy-") + name));
        EXPECT_EQ(ReadBytes(dir.File(std::string("copy-") + name)), DemoBytes(name)) << name;
        DestroyWindow();
    }
    WindowProbe& w = OpenDemo(kGameViceCity, "vc_keys.cs");
    w.Choose(w.vkeyChoice(), 0x4D);
    w.Save(dir.File("vc_keys.cs"));
    std::vector<uint8_t> expected = DemoBytes("vc_keys.cs");
    expected[static_cast<std::size_t>(OffsetOf(w, 0)) + 3] = 0x4D;
    EXPECT_EQ(ReadBytes(dir.File("vc_keys.cs")), expected);
}

TEST_F(FlowTest, CancelledDialogsChangeNothing) {
    WindowProbe& w = OpenDemo(kGameViceCity, "vc_keys.cs");
    w.Choose(w.vkeyChoice(), 0x4D);
    DialogScript::Get().ExpectCancelledFile();
    w.Click(w.openButton());
    EXPECT_EQ(w.Lines()[0], "M Key");
    EXPECT_EQ(w.occurrences()[0].key, 0x4D);
    EXPECT_EQ(w.Enabled(), "1110001");
    EXPECT_EQ(ToStd(w.path()->GetValue()), dir.File("vc_keys.cs"));

    DialogScript::Get().ExpectCancelledFile();
    w.Click(w.saveButton());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), std::filesystem::directory_iterator()),
              5);  // three INI files, cfg and the script
}

TEST_F(FlowTest, NothingFoundReturnsToTheNoFileState) {
    ScriptBuilder vc(kGameViceCity);
    for (int i = 0; i < 10; ++i) vc.Op(0x0001).I16(100);
    dir.Write("cfg", "1");
    WindowProbe& w = Window();
    w.Open(WriteScript("quiet.cm", vc), 1);
    EXPECT_EQ(DialogScript::Get().messages, (std::vector<std::string>{"No key opcode found."}));
    ExpectNoFileState(w);
    EXPECT_EQ(w.gauge()->GetValue(), 0);

    w.Open(dir.Write("empty.cs", std::string()), 1);
    EXPECT_EQ(DialogScript::Get().messages.size(), 2u);
    ExpectNoFileState(w);
}

TEST_F(FlowTest, FileThatCannotBeReadReturnsSilentlyAndDropsTheOldList) {
    WindowProbe& w = OpenDemo(kGameSanAndreas, "sa_keys.cs");
    const std::string doomed = Copy("vc_keys.cs", "doomed.cs");
    DialogScript::Get().ExpectFile(doomed, [&] { std::filesystem::remove(doomed); });
    w.Click(w.openButton());
    EXPECT_TRUE(DialogScript::Get().messages.empty());
    ExpectNoFileState(w);
    EXPECT_TRUE(w.occurrences().empty());
}

TEST_F(FlowTest, OnlyTheLowerCaseScmExtensionSkipsTheHeader) {
    WindowProbe& w = OpenDemo(kGameSanAndreas, "main.scm");
    EXPECT_EQ(w.Lines(), (std::vector<std::string>{"M Key", "Triangle: Enter/Exit vehicle"}));

    // Read from offset 0 the header's data is walked as code: the tests after
    // the first instruction the opcode file lacks are marked as doubtful.
    w.Open(Copy("main.scm", "MAIN.SCM"), 1);
    EXPECT_EQ(w.Lines().front(), "X Key (?)");
    EXPECT_EQ(w.Lines().size(), 3u);

    w.Open(Copy("main.scm", "main.cs"), 1);
    EXPECT_EQ(w.Lines().front(), "X Key (?)");
}

TEST_F(FlowTest, UnknownInstructionsAreToldOnceAndTheTestsAfterThemMarked) {
    dir.Write("cfg", "2");
    ScriptBuilder sa(kGameSanAndreas);
    sa.Op(0x0AB0).I8(0x41);
    const int32_t firstUnknown = sa.Here();
    sa.Op(0x0BBB).Op(0x0CCC);
    sa.Op(0x00E1).I8(0).I8(16);
    const std::string file = WriteScript("doubtful.cs", sa);
    WindowProbe& w = Window();
    w.Open(file, 1);
    ASSERT_EQ(DialogScript::Get().messages.size(), 1u);
    const std::string& message = DialogScript::Get().messages[0];
    EXPECT_NE(message.find("does not describe 2 instructions"), std::string::npos) << message;
    EXPECT_NE(message.find("offset " + std::to_string(firstUnknown)), std::string::npos) << message;
    EXPECT_NE(message.find("may be wrong"), std::string::npos) << message;
    EXPECT_EQ(w.Lines(), (std::vector<std::string>{"A Key", "Cross: Sprint | Accelerate (?)"}));

    // An edit keeps the mark, and the file can still be saved.
    w.SelectLine(1);
    w.Choose(w.gameKeyChoice(), 17);
    EXPECT_EQ(w.Lines()[1], "Circle: Fire (?)");
    w.Save(dir.File("saved.cs"));
    EXPECT_EQ(ReadBytes(dir.File("saved.cs")).at(static_cast<std::size_t>(w.occurrences()[1].offset) + 5), 17);

    // A file the table describes wholly shows no message and no marks.
    DialogScript::Get().Reset();
    w.Open(Copy("sa_keys.cs"));
    EXPECT_TRUE(DialogScript::Get().messages.empty());
    EXPECT_EQ(w.Lines(), kSaKeysLines);
}

TEST_F(FlowTest, OpeningASecondFileReplacesTheFirst) {
    WindowProbe& w = OpenDemo(kGameSanAndreas, "sa_keys.cs");
    w.Choose(w.vkeyChoice(), 0x41);
    w.Open(Copy("main.scm"));
    EXPECT_EQ(w.Lines(), (std::vector<std::string>{"M Key", "Triangle: Enter/Exit vehicle"}));
    EXPECT_EQ(w.occurrences().size(), 2u);
    EXPECT_EQ(w.list()->GetSelection(), 0);
    EXPECT_EQ(w.vkeyChoice()->GetSelection(), 0x4D);
    EXPECT_EQ(ToStd(w.path()->GetValue()), dir.File("main.scm"));
}

TEST_F(FlowTest, CloseFileDropsEverything) {
    WindowProbe& w = OpenDemo(kGameGta3, "gta3_keys.cs");
    EXPECT_EQ(w.Lines(), (std::vector<std::string>{"F5", "Circle: Fire"}));
    w.Click(w.closeButton());
    ExpectNoFileState(w);
    EXPECT_TRUE(w.occurrences().empty());
    EXPECT_EQ(w.gauge()->GetValue(), 0);
    // The game can be changed again, and another file opened.
    w.Choose(w.gameChoice(), GameNumber(kGameViceCity));
    w.Open(Copy("vc_keys.cs"));
    EXPECT_EQ(w.Lines().size(), 4u);
}

TEST_F(FlowTest, FailedSavesShowTheMessageAndLeaveTheTargetAlone) {
    WindowProbe& w = OpenDemo(kGameSanAndreas, "sa_keys.cs");
    w.Choose(w.vkeyChoice(), 0x42);

    // A write-protected target.
    const std::string locked = dir.Write("locked.cs", std::string("keep me"));
    ASSERT_EQ(chmod(locked.c_str(), 0444), 0);
    w.Save(locked, 1);
    EXPECT_EQ(DialogScript::Get().messages.back(), "Couldn't save file");
    EXPECT_EQ(ReadBytes(locked), (std::vector<uint8_t>{'k', 'e', 'e', 'p', ' ', 'm', 'e'}));

    // The folder disappears after it was chosen.
    const std::string folder = dir.File("gone");
    std::filesystem::create_directory(folder);
    DialogScript::Get().ExpectFile(folder + "/out.cs", [&] { std::filesystem::remove_all(folder); });
    DialogScript::Get().ExpectMessage();
    w.Click(w.saveButton());
    EXPECT_EQ(DialogScript::Get().messages.back(), "Couldn't save file");
    EXPECT_FALSE(std::filesystem::exists(folder));

    // The disk fills up part-way through the write.
    const std::string target = dir.Write("full.cs", std::string("old"));
    const std::vector<uint8_t> big(100000, 0);
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    DialogScript::Get().ExpectFile(target, [&] {
        struct rlimit tiny = saved;
        tiny.rlim_cur = 64;
        setrlimit(RLIMIT_FSIZE, &tiny);
    });
    DialogScript::Get().ExpectMessage();
    w.Click(w.saveButton());
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(DialogScript::Get().messages.size(), 3u);
    EXPECT_EQ(ReadBytes(target), (std::vector<uint8_t>{'o', 'l', 'd'}));

    // The window is still usable and a good save still works.
    w.Save(dir.File("fine.cs"));
    EXPECT_EQ(ReadBytes(dir.File("fine.cs")).size(), DemoBytes("sa_keys.cs").size());
}

TEST_F(FlowTest, AThreeMegabyteScriptListsEveryTestWithLineZeroSelected) {
    dir.Write("SASCM.ini", std::string(bench::SyntheticIni()));
    dir.Write("cfg", "2");
    const std::vector<uint8_t> bytes = bench::SyntheticScript(3 * 1024 * 1024);
    const std::string big = dir.Write("big.cs", bytes);
    WindowProbe& w = Window();
    w.f->Show();
    w.Open(big);
    // The same tests as the engine finds, and the window ready for input again.
    OpcodeTable table;
    ASSERT_TRUE(ParseOpcodeIni(bench::SyntheticIni(), kGameSanAndreas, table));
    ScriptImage image;
    image.game = kGameSanAndreas;
    ASSERT_TRUE(image.LoadFromBytes(bytes.data(), bytes.size()));
    std::vector<KeyOccurrence> expected;
    ScanKeyOccurrences(image, table, false, expected, nullptr);
    EXPECT_EQ(w.occurrences(), expected);
    EXPECT_EQ(w.Lines().size(), expected.size());
    EXPECT_EQ(w.list()->GetSelection(), 0);
    EXPECT_TRUE(w.f->IsEnabled());
    EXPECT_EQ(w.gauge()->GetValue(), w.gauge()->GetRange());
}

TEST_F(FlowTest, CommandLineListsWhatTheWindowLists) {
    const struct { GameId game; const char* name; const char* gameWord; } demos[] = {
        {kGameGta3, "gta3_keys.cs", "gta3"}, {kGameViceCity, "vc_keys.cs", "vc"},
        {kGameSanAndreas, "sa_keys.cs", "sa"}, {kGameSanAndreas, "main.scm", "sa"},
        {kGameSanAndreas, "sa_libraries.cs", "sa"}};
    for (const auto& demo : demos) {
        WindowProbe& w = OpenDemo(demo.game, demo.name);
        const std::string command = std::string("cd '") + dir.Path() + "' && '" + MORVANE_CLI +
                                    "' list --format tsv --game " + demo.gameWord + " " + demo.name;
        FILE* pipe = popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::vector<std::string> names;
        char line[1024];
        bool heading = true;
        while (std::fgets(line, sizeof line, pipe) != nullptr) {
            std::string text(line);
            if (!text.empty() && text.back() == '\n') text.pop_back();
            // The name is the seventh column.
            std::size_t at = 0;
            for (int column = 0; column < 6; ++column) at = text.find('\t', at) + 1;
            if (!heading) names.push_back(text.substr(at, text.find('\t', at) - at));
            heading = false;
        }
        EXPECT_EQ(pclose(pipe), 0);
        EXPECT_EQ(names, w.Lines()) << demo.name;
        DestroyWindow();
    }
}

TEST_F(FlowTest, ClosingTheWindowDuringAScanClosesItAfterwards) {
    dir.Write("SASCM.ini", std::string(bench::SyntheticIni()));
    dir.Write("cfg", "2");
    const std::string big = dir.Write("big.cs", bench::SyntheticScript(1024 * 1024));
    WindowProbe& w = Window();
    w.f->Show();
    MainFrame* window = w.f;
    // The close box is clicked while the file is read and scanned: the close
    // arrives through the event loop that the scan lets run.
    DialogScript::Get().ExpectFile(big, [window] {
        window->GetEventHandler()->QueueEvent(new wxCloseEvent(wxEVT_CLOSE_WINDOW, window->GetId()));
    });
    w.Click(w.openButton());
    for (int i = 0; i < 5; ++i) {
        wxTheApp->ProcessPendingEvents();
        wxTheApp->ProcessIdle();
    }
    EXPECT_EQ(wxTopLevelWindows.Find(window), nullptr);
    frame = nullptr;
    probe.reset();
    EXPECT_EQ(ReadBytes(dir.File("cfg")), std::vector<uint8_t>{'2'});
}
