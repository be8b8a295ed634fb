// Whole flows through the window: open, edit, save, close.

#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/timer.h>
#include <wx/uiaction.h>
#include <wx/choicdlg.h>
#include <wx/dnd.h>
#include <wx/menu.h>
#include <wx/gauge.h>
#include <wx/listbox.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>

#include "fixtures/SyntheticScript.h"
#include "MorvaneVersion.h"
#include "gui/GuiSupport.h"
#include "keys/KeyNames.h"
#include "opcodes/IniLoader.h"
#include "opcodes/OpcodeJson.h"
#include "script/Instructions.h"
#include "support/Printers.h"
#include "fixtures/MainScriptBuilder.h"
#include "fixtures/ScriptBuilder.h"

using namespace morvane;
using namespace morvane::test;

namespace {

// What the list shows for sa_keys.cs: the key (a VKey with its code), the
// pad of a button test, where the test is and its opcode.
const std::vector<std::string> kSaKeysLines = {
    "Y Key (0x59) \u00B7 0x14 \u00B7 0AB0", "Left Shift (0xA0) \u00B7 0x36 \u00B7 0AB0",
    "F2 (0x71) \u00B7 0x53 \u00B7 0AB0", "Cross: Sprint | Accelerate \u00B7 Pad 1 \u00B7 0x99 \u00B7 00E1",
    "R1: Aim Weapon | Hand Brake \u00B7 Pad 2 \u00B7 0xB9 \u00B7 00E1"};
const std::string kTitle = "Morvane v" MORVANE_VERSION_SHORT;
// Over the list while no script is open.
const std::string kOpenHint = "Open a script (File \u25B8 Open File..., Ctrl+O) to list its key tests";

// Byte offsets of the key payloads in sa_keys.cs, found by the scan.
int32_t OffsetOf(WindowProbe& w, std::size_t line) { return w.Tests().at(line).offset; }

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
        EXPECT_EQ(ToStd(w.Heading()->GetLabel()), kOpenHint);
        EXPECT_TRUE(w.Path()->GetValue().empty());
        EXPECT_EQ(w.List()->GetItemCount(), 0);
        EXPECT_FALSE(w.Script().IsLoaded());
    }
};

TEST_F(FlowTest, OpenListsTheKeysByNameWithLineZeroReady) {
    WindowProbe& w = OpenDemo(kGameSanAndreas, "sa_keys.cs");
    const auto& dialog = DialogScript::Get().fileDialogs.at(0);
    EXPECT_EQ(dialog.title, "Choose a file");
    // Every script's extension, as the key map's folder search knows them.
    EXPECT_EQ(dialog.wildcard,
              "Script (*.cs;*.cs3;*.cs4;*.cm;*.scm;*.csa;*.csi;*.CS;*.CS3;*.CS4;*.CM;*.SCM;*.CSA;*.CSI)|"
              "*.cs;*.cs3;*.cs4;*.cm;*.scm;*.csa;*.csi;*.CS;*.CS3;*.CS4;*.CM;*.SCM;*.CSA;*.CSI|All files (*.*)|*.*");
    EXPECT_EQ(dialog.style & (wxFD_OPEN | wxFD_FILE_MUST_EXIST), wxFD_OPEN | wxFD_FILE_MUST_EXIST);

    EXPECT_EQ(w.Lines(), kSaKeysLines);
    EXPECT_EQ(ToStd(w.Heading()->GetLabel()), "5 key tests found");
    EXPECT_EQ(ToStd(w.f->GetTitle()), "sa_keys.cs - " + kTitle);
    EXPECT_EQ(w.SelectedRow(), 0);
    EXPECT_EQ(w.Enabled(), "1110001");
    EXPECT_EQ(w.VkeyChoice()->GetSelection(), 0x59);
    EXPECT_EQ(ToStd(w.Path()->GetValue()), dir.File("sa_keys.cs"));
    EXPECT_FALSE(w.Gauge()->IsShown());  // the load has ended: no bar left full
    EXPECT_EQ(w.Gauge()->GetValue(), 0);
    EXPECT_TRUE(DialogScript::Get().messages.empty());
    w.Screenshot("window-with-script.png");
}

// Each column wide enough for what it holds in a script of up to 4 MB (the
// key's column for most names; a longer one ends in "..."), all of them in
// the list of a shown window.
TEST_F(FlowTest, EveryColumnFitsTheListOfAShownWindow) {
    dir.Write("cfg", "2");
    WindowProbe& w = Window();
    w.f->Show();
    wxTheApp->Yield(true);
    const wxSize before = w.f->GetSize();
    w.Open(Copy("sa_keys.cs"));
    EXPECT_EQ(w.f->GetSize(), before);
    TestList* list = w.List();
    int columns = 0;
    for (int column = 0; column < TestList::kColumnCount; ++column) columns += list->GetColumnWidth(column);
    EXPECT_LE(columns, list->GetClientSize().x);
    const struct {
        int column;
        const char* widest;
    } kWidest[] = {{TestList::kKeyColumn, "Numpad Separator (0x6C)"},
                   {TestList::kPadColumn, "Pad 2"},
                   {TestList::kOffsetColumn, "0x3FFFFF"},
                   {TestList::kOpcodeColumn, "0E3E"},
                   {TestList::kMarkColumn, "* (?)"}};
    for (const auto& cell : kWidest)
        EXPECT_LT(list->GetTextExtent(cell.widest).x, list->GetColumnWidth(cell.column)) << cell.widest;
}

TEST_F(FlowTest, SelectingLinesSetsUpTheMatchingChoices) {
    WindowProbe& w = OpenDemo(kGameSanAndreas, "sa_keys.cs");
    w.SelectLine(3);
    EXPECT_EQ(w.Enabled(), "1110110");
    EXPECT_EQ(w.PadChoice()->GetSelection(), 0);
    EXPECT_EQ(ToStd(w.PadChoice()->GetStringSelection()), "Pad 1");
    EXPECT_EQ(w.GameKeyChoice()->GetSelection(), 16);
    EXPECT_EQ(w.VkeyChoice()->GetSelection(), wxNOT_FOUND);  // a disabled choice shows nothing

    w.SelectLine(4);
    EXPECT_EQ(w.PadChoice()->GetSelection(), 1);
    EXPECT_EQ(w.GameKeyChoice()->GetSelection(), 6);

    w.SelectLine(1);
    EXPECT_EQ(w.Enabled(), "1110001");
    EXPECT_EQ(w.VkeyChoice()->GetSelection(), 0xA0);
    EXPECT_EQ(w.PadChoice()->GetSelection(), wxNOT_FOUND);
    EXPECT_EQ(w.GameKeyChoice()->GetSelection(), wxNOT_FOUND);

    // Close File leaves all three empty.
    w.Click(w.CloseButton());
    for (wxChoice* choice : {w.PadChoice(), w.GameKeyChoice(), w.VkeyChoice()})
        EXPECT_EQ(choice->GetSelection(), wxNOT_FOUND);
}

TEST_F(FlowTest, EditsChangeTheTestAndItsLine) {
    WindowProbe& w = OpenDemo(kGameSanAndreas, "sa_keys.cs");
    w.Choose(w.VkeyChoice(), 0x7F);
    EXPECT_EQ(w.Lines()[0], "F16 (0x7F) \u00B7 0x14 \u00B7 0AB0 \u00B7 *");  // marked until saved
    EXPECT_EQ(ToStd(w.f->GetTitle()), "*sa_keys.cs - " + kTitle);
    EXPECT_EQ(w.Tests()[0].key, 0x7F);

    // 0x80 does not fit the 8-bit parameter of line 0.
    DialogScript::Get().ExpectMessage();
    w.Choose(w.VkeyChoice(), 0x80);
    ASSERT_EQ(DialogScript::Get().messages.size(), 1u);
    EXPECT_EQ(DialogScript::Get().messages[0],
              "You can't select this VKey: F17 (0x80) needs 16 bits and the key parameter there has 8.");
    EXPECT_EQ(DialogScript::Get().captions[0], "Morvane");
    EXPECT_EQ(w.VkeyChoice()->GetSelection(), 0x7F);
    EXPECT_EQ(w.Tests()[0].key, 0x7F);
    EXPECT_EQ(w.Names()[0], "F16 (0x7F)");

    // The 16-bit parameter of line 1 takes it.
    w.SelectLine(1);
    w.Choose(w.VkeyChoice(), 0x80);
    EXPECT_EQ(w.Names()[1], "F17 (0x80)");
    EXPECT_EQ(w.Tests()[1].key, 0x80);

    // A key the table has no name for is a key like any other.
    w.SelectLine(2);
    w.Choose(w.VkeyChoice(), 0);
    EXPECT_EQ(w.Names()[2], "VKey 0x00");
    EXPECT_EQ(w.Tests()[2].key, 0);

    // The pad and the game key both show on the line.
    w.SelectLine(3);
    w.Choose(w.PadChoice(), 1);
    EXPECT_EQ(w.Lines()[3], "Cross: Sprint | Accelerate \u00B7 Pad 2 \u00B7 0x99 \u00B7 00E1 \u00B7 *");
    EXPECT_EQ(w.Tests()[3].pad, 1);
    w.Choose(w.GameKeyChoice(), 17);
    EXPECT_EQ(w.Names()[3], "Circle: Fire");
    EXPECT_EQ(w.Tests()[3].key, 17);
    w.Choose(w.GameKeyChoice(), 12);
    EXPECT_EQ(w.Tests()[3].key, 12);

    // Going back to the value the file holds drops the mark.
    w.Choose(w.GameKeyChoice(), 16);
    w.Choose(w.PadChoice(), 0);
    EXPECT_EQ(w.Lines()[3], kSaKeysLines[3]);
    EXPECT_EQ(w.Lines()[4], kSaKeysLines[4]);
}

// An 8-bit byte of 0x80 or more is the negative number the game reads,
// named as no key; the line keeps it until a key that fits is chosen.
TEST_F(FlowTest, NarrowLineHoldingANegativeByteKeepsItUntilAKeyIsChosen) {
    ScriptBuilder sa(kGameSanAndreas);
    sa.Op(0x0AB0).I8(0x90);  // -112 as the game reads it
    sa.Op(0x0AB0).I16(300);  // no key: shown as its number
    dir.Write("cfg", "2");
    WindowProbe& w = Window();
    w.Open(WriteScript("high.cs", sa));
    EXPECT_EQ(w.Names(), (std::vector<std::string>{"-112", "300"}));
    EXPECT_EQ(w.VkeyChoice()->GetSelection(), wxNOT_FOUND);

    DialogScript::Get().ExpectMessage();
    w.Choose(w.VkeyChoice(), 0x91);
    EXPECT_EQ(w.VkeyChoice()->GetSelection(), wxNOT_FOUND);
    EXPECT_EQ(w.Tests()[0].key, -112);
    w.Choose(w.VkeyChoice(), 0x41);
    EXPECT_EQ(w.Names()[0], "A Key (0x41)");

    w.SelectLine(1);
    EXPECT_EQ(w.VkeyChoice()->GetSelection(), wxNOT_FOUND);
    w.Choose(w.VkeyChoice(), 0xA0);
    EXPECT_EQ(w.Names()[1], "Left Shift (0xA0)");

    // Saved unchanged, the byte stays what it was.
    w.Menu(wxID_UNDO);
    w.Menu(wxID_UNDO);
    w.Save(dir.File("same.cs"));
    EXPECT_EQ(ReadBytes(dir.File("same.cs")), sa.Bytes());
}

TEST_F(FlowTest, SaveWritesExactlyTheEditedPayloads) {
    WindowProbe& w = OpenDemo(kGameSanAndreas, "sa_keys.cs");
    const std::vector<uint8_t> original = DemoBytes("sa_keys.cs");

    w.Choose(w.VkeyChoice(), 0x5A);  // Y Key -> Z Key, 8-bit
    w.SelectLine(1);
    w.Choose(w.VkeyChoice(), 0xA1);  // Left Shift -> Right Shift, 16-bit
    w.SelectLine(4);
    w.Choose(w.PadChoice(), 0);
    w.Choose(w.GameKeyChoice(), 17);
    const std::string out = dir.File("out.cs");
    w.Save(out);

    const auto& dialog = DialogScript::Get().fileDialogs.back();
    EXPECT_EQ(dialog.title, "Choose a file");
    EXPECT_EQ(dialog.wildcard,
              "Custom Script (.cs)|*.cs|Custom Mission (.cm)|*.cm|SCM (.scm)|*.scm|All files (*.*)|*.*");
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

    // After saving, the window shows the saved file and drops the marks; a
    // second save gives the same file.
    EXPECT_EQ(w.Enabled(), "1110110");
    EXPECT_EQ(ToStd(w.Path()->GetValue()), out);
    EXPECT_EQ(w.Lines(), (std::vector<std::string>{
                             "Z Key (0x5A) \u00B7 0x14 \u00B7 0AB0", "Right Shift (0xA1) \u00B7 0x36 \u00B7 0AB0",
                             kSaKeysLines[2], kSaKeysLines[3], "Circle: Fire \u00B7 Pad 1 \u00B7 0xB9 \u00B7 00E1"}));
    EXPECT_EQ(ToStd(w.f->GetTitle()), "out.cs - " + kTitle);
    EXPECT_EQ(ToStd(w.f->GetStatusBar()->GetStatusText()), "Saved out.cs");
    // A message that no longer holds goes: an edit after the save.
    w.SelectLine(0);
    w.Choose(w.VkeyChoice(), 0x5B);
    EXPECT_EQ(ToStd(w.f->GetStatusBar()->GetStatusText()), "");
    w.Menu(wxID_UNDO);
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
    w.Choose(w.VkeyChoice(), 0x4D);
    w.Save(dir.File("vc_keys.cs"));
    std::vector<uint8_t> expected = DemoBytes("vc_keys.cs");
    expected[static_cast<std::size_t>(OffsetOf(w, 0)) + 3] = 0x4D;
    EXPECT_EQ(ReadBytes(dir.File("vc_keys.cs")), expected);
}

TEST_F(FlowTest, CancelledDialogsChangeNothing) {
    WindowProbe& w = OpenDemo(kGameViceCity, "vc_keys.cs");
    w.Choose(w.VkeyChoice(), 0x4D);
    DialogScript::Get().ExpectQuestion(wxID_NO);
    DialogScript::Get().ExpectCancelledFile();
    w.Click(w.OpenButton());
    EXPECT_EQ(w.Names()[0], "M Key (0x4D)");
    EXPECT_EQ(w.Tests()[0].key, 0x4D);
    EXPECT_EQ(w.Enabled(), "1110001");
    EXPECT_EQ(ToStd(w.Path()->GetValue()), dir.File("vc_keys.cs"));

    DialogScript::Get().ExpectCancelledFile();
    w.Click(w.SaveButton());
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
    EXPECT_EQ(w.Gauge()->GetValue(), 0);

    w.Open(dir.Write("empty.cs", std::string()), 1);
    EXPECT_EQ(DialogScript::Get().messages.size(), 2u);
    ExpectNoFileState(w);
}

// A file that cannot be opened (gone, no script, no key test) leaves the
// one that was open as it was, edits and all.
TEST_F(FlowTest, AFileThatCannotBeOpenedIsToldWithItsCauseAndKeepsTheOpenOne) {
    WindowProbe& w = OpenDemo(kGameSanAndreas, "sa_keys.cs");
    w.Choose(w.VkeyChoice(), 0x5A);
    const std::string doomed = Copy("vc_keys.cs", "doomed.cs");
    DialogScript::Get().ExpectQuestion(wxID_NO);  // Don't Save
    DialogScript::Get().ExpectFile(doomed, [&] { std::filesystem::remove(doomed); });
    DialogScript::Get().ExpectMessage();
    w.Click(w.OpenButton());
    EXPECT_EQ(DialogScript::Get().messages.back(), "Couldn't open doomed.cs\nnot found");

    ScriptBuilder quiet(kGameSanAndreas);
    quiet.Op(0x0001).I16(100);
    DialogScript::Get().ExpectQuestion(wxID_NO);
    w.Open(WriteScript("quiet.cs", quiet), 1);
    EXPECT_EQ(DialogScript::Get().messages.back(), "No key opcode found.");

    EXPECT_EQ(ToStd(w.Path()->GetValue()), dir.File("sa_keys.cs"));
    EXPECT_EQ(w.Lines().size(), 5u);
    EXPECT_EQ(w.Tests()[0].key, 0x5A);
    EXPECT_EQ(ToStd(w.f->GetTitle()), "*sa_keys.cs - " + kTitle);
    EXPECT_EQ(w.Gauge()->GetValue(), 0);
}

TEST_F(FlowTest, TheScmExtensionInAnyCaseSkipsTheHeader) {
    WindowProbe& w = OpenDemo(kGameSanAndreas, "main.scm");
    const std::vector<std::string> names = {"M Key (0x4D)", "Triangle: Enter/Exit vehicle"};
    EXPECT_EQ(w.Names(), names);
    w.Open(Copy("main.scm", "MAIN.SCM"));
    EXPECT_EQ(w.Names(), names);

    // Read from offset 0 the header's data is walked as code: the tests after
    // the first instruction the opcode file lacks are marked as doubtful.
    w.Open(Copy("main.scm", "main.cs"), 1);
    EXPECT_EQ(w.Lines().front(), "M Key (0x4D) \u00B7 0x6C \u00B7 0AB0 \u00B7 (?)");
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
    EXPECT_NE(message.find("offset " + HexOffsetText(firstUnknown) + "."), std::string::npos) << message;
    EXPECT_NE(message.find("may be wrong"), std::string::npos) << message;
    EXPECT_NE(message.find("Opcodes not described: 0BBB, 0CCC. An opcode file that describes them"), std::string::npos)
        << message;
    // Once the message is gone, the note above the list still says it.
    EXPECT_TRUE(w.ReadingNote()->IsShown());
    std::string note = ToStd(w.ReadingNote()->GetLabel());
    std::replace(note.begin(), note.end(), '\n', ' ');  // wrapped to the list's width
    EXPECT_EQ(note, "The opcode file does not describe 2 instructions of this script, the first at offset " +
                        HexOffsetText(firstUnknown) + ": the key tests after it are marked (?).");
    EXPECT_EQ(w.Lines(),
              (std::vector<std::string>{"A Key (0x41) \u00B7 0x0 \u00B7 0AB0",
                                        "Cross: Sprint | Accelerate \u00B7 Pad 1 \u00B7 0x8 \u00B7 00E1 \u00B7 (?)"}));

    // An edit keeps the mark; saving it asks first, Cancel the default.
    w.SelectLine(1);
    w.Choose(w.GameKeyChoice(), 17);
    EXPECT_EQ(w.Lines()[1], "Circle: Fire \u00B7 Pad 1 \u00B7 0x8 \u00B7 00E1 \u00B7 * (?)");
    DialogScript::Get().ExpectFile(dir.File("saved.cs"));
    DialogScript::Get().Expect([](wxDialog* dialog) {
        auto* box = dynamic_cast<wxMessageDialog*>(dialog);
        EXPECT_NE(box, nullptr);
        if (box == nullptr) return static_cast<int>(wxID_CANCEL);
        EXPECT_EQ(ToStd(box->GetMessage()),
                  "1 changed test lies after an instruction the opcode file does not describe; it may be data. "
                  "Save anyway?");
        EXPECT_EQ(ToStd(box->GetCaption()), "Morvane");
        EXPECT_NE(box->GetMessageDialogStyle() & wxNO_DEFAULT, 0);
        return static_cast<int>(wxID_NO);
    });
    w.Click(w.SaveButton());
    EXPECT_FALSE(std::filesystem::exists(dir.File("saved.cs")));
    DialogScript::Get().ExpectFile(dir.File("saved.cs"));
    DialogScript::Get().ExpectQuestion(wxID_YES);
    w.Click(w.SaveButton());
    EXPECT_EQ(DialogScript::Get().buttons.back(), "Save Anyway|Cancel");
    EXPECT_EQ(ReadBytes(dir.File("saved.cs")).at(static_cast<std::size_t>(w.Tests()[1].offset) + 5), 17);
    // A change elsewhere is saved without a question.
    w.SelectLine(0);
    w.Choose(w.VkeyChoice(), 0x42);
    w.Menu(wxID_SAVE);
    EXPECT_EQ(ReadBytes(dir.File("saved.cs")).at(static_cast<std::size_t>(w.Tests()[0].offset) + 3), 0x42);

    // A file the table describes wholly shows no message, no marks, no note.
    DialogScript::Get().Reset();
    w.Open(Copy("sa_keys.cs"));
    EXPECT_TRUE(DialogScript::Get().messages.empty());
    EXPECT_EQ(w.Lines(), kSaKeysLines);
    EXPECT_FALSE(w.ReadingNote()->IsShown());
}

TEST_F(FlowTest, AMainScriptCutShortIsToldAndNotedAboveTheList) {
    dir.Write("cfg", "2");
    const MainScript main(kGameSanAndreas, 1);
    ScriptBuilder code = main.Code();
    code.Op(0x0AB0).I8(0x4D).Op(0x0001).I8(0);
    ScriptBuilder mission = main.Code();
    mission.Op(0x0AB0).I8(0x4E).Op(0x004E);
    const std::vector<uint8_t> whole = main.Build(code.Bytes(), {mission.Bytes()});
    dir.Write("cut.scm", std::vector<uint8_t>(whole.begin(), whole.begin() + main.MissionStart(code.Here())));
    WindowProbe& w = Window();
    w.Open(dir.File("cut.scm"), 1);
    ASSERT_EQ(DialogScript::Get().messages.size(), 1u);
    EXPECT_EQ(DialogScript::Get().messages[0].rfind("cut.scm is cut short: its header names 1 offset past the file's "
                                                    "end",
                                                    0),
              0u)
        << DialogScript::Get().messages[0];
    EXPECT_TRUE(w.ReadingNote()->IsShown());
    EXPECT_EQ(ToStd(w.ReadingNote()->GetLabel()).rfind("This file is cut short: ", 0), 0u);
    EXPECT_EQ(w.Lines(),
              (std::vector<std::string>{"M Key (0x4D) \u00B7 " + HexOffsetText(main.CodeStart()) + " \u00B7 0AB0"}));
    // Closed, the note goes with the file.
    w.Menu(wxID_CLOSE);
    EXPECT_FALSE(w.ReadingNote()->IsShown());
}

TEST_F(FlowTest, OpeningASecondFileReplacesTheFirst) {
    WindowProbe& w = OpenDemo(kGameSanAndreas, "sa_keys.cs");
    w.Choose(w.VkeyChoice(), 0x41);
    DialogScript::Get().ExpectQuestion(wxID_NO);  // Don't Save
    w.Open(Copy("main.scm"));
    EXPECT_EQ(ReadBytes(dir.File("sa_keys.cs")), DemoBytes("sa_keys.cs"));
    EXPECT_EQ(w.Names(), (std::vector<std::string>{"M Key (0x4D)", "Triangle: Enter/Exit vehicle"}));
    EXPECT_EQ(w.Tests().size(), 2u);
    EXPECT_EQ(w.SelectedRow(), 0);
    EXPECT_EQ(w.VkeyChoice()->GetSelection(), 0x4D);
    EXPECT_EQ(ToStd(w.Path()->GetValue()), dir.File("main.scm"));
}

TEST_F(FlowTest, CloseFileDropsEverything) {
    WindowProbe& w = OpenDemo(kGameGta3, "gta3_keys.cs");
    EXPECT_EQ(w.Names(), (std::vector<std::string>{"F5 (0x74)", "Circle: Fire"}));
    w.Click(w.CloseButton());
    EXPECT_EQ(ToStd(w.f->GetTitle()), kTitle);
    ExpectNoFileState(w);
    EXPECT_TRUE(w.Tests().empty());
    EXPECT_EQ(w.Gauge()->GetValue(), 0);
    // The game can be changed again, and another file opened.
    w.Choose(w.GameChoice(), GameNumber(kGameViceCity));
    w.Open(Copy("vc_keys.cs"));
    EXPECT_EQ(w.Lines().size(), 4u);
}

TEST_F(FlowTest, FailedSavesShowTheMessageAndLeaveTheTargetAlone) {
    WindowProbe& w = OpenDemo(kGameSanAndreas, "sa_keys.cs");
    w.Choose(w.VkeyChoice(), 0x42);

    // A write-protected target.
    const std::string locked = dir.Write("locked.cs", std::string("keep me"));
    ASSERT_EQ(chmod(locked.c_str(), 0444), 0);
    w.Save(locked, 1);
    EXPECT_EQ(DialogScript::Get().messages.back(), "Couldn't save file locked.cs\nis write-protected");
    EXPECT_EQ(ReadBytes(locked), (std::vector<uint8_t>{'k', 'e', 'e', 'p', ' ', 'm', 'e'}));

    // The folder disappears after it was chosen.
    const std::string folder = dir.File("gone");
    std::filesystem::create_directory(folder);
    DialogScript::Get().ExpectFile(folder + "/out.cs", [&] { std::filesystem::remove_all(folder); });
    DialogScript::Get().ExpectMessage();
    w.Click(w.SaveButton());
    EXPECT_EQ(DialogScript::Get().messages.back(), "Couldn't save file out.cs\nfolder does not exist");
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
    w.Click(w.SaveButton());
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(DialogScript::Get().messages.size(), 3u);
    EXPECT_EQ(DialogScript::Get().messages.back(),
              "Couldn't save file full.cs\nlarger than this process may write (file size limit, ulimit -f)");
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
    ParseOpcodeIni(bench::SyntheticIni(), kGameSanAndreas, table);
    ScriptImage image;
    image.game = kGameSanAndreas;
    ASSERT_TRUE(image.LoadFromBytes(bytes.data(), bytes.size()));
    std::vector<KeyTest> expected;
    ScanKeyTests(image, table, HeaderSkip::Never, expected, nullptr);
    EXPECT_EQ(w.Tests(), expected);
    EXPECT_EQ(w.Lines().size(), expected.size());
    EXPECT_EQ(w.SelectedRow(), 0);
    EXPECT_TRUE(w.f->IsEnabled());
    EXPECT_FALSE(w.Gauge()->IsShown());
}

TEST_F(FlowTest, CommandLineListsWhatTheWindowLists) {
    const struct {
        GameId game;
        const char* name;
        const char* gameWord;
    } demos[] = {{kGameGta3, "gta3_keys.cs", "gta3"},
                 {kGameViceCity, "vc_keys.cs", "vc"},
                 {kGameSanAndreas, "sa_keys.cs", "sa"},
                 {kGameSanAndreas, "main.scm", "sa"},
                 {kGameSanAndreas, "sa_libraries.cs", "sa"}};
    for (const auto& demo : demos) {
        WindowProbe& w = OpenDemo(demo.game, demo.name);
        const std::string command = std::string("cd '") + dir.Path() + "' && '" + MORVANE_CLI +
                                    "' list --format tsv --game " + demo.gameWord + " " + demo.name;
        FILE* pipe = popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        // Each row as the window shows it: the key's name (the window adds a
        // VKey's code), the offset in hexadecimal, the opcode.
        std::vector<std::string> rows;
        std::vector<std::string> shown;
        char line[1024];
        bool heading = true;
        while (std::fgets(line, sizeof line, pipe) != nullptr) {
            std::string text(line);
            if (!text.empty() && text.back() == '\n') text.pop_back();
            std::vector<std::string> cells;
            for (std::size_t at = 0; at <= text.size();) {
                const std::size_t tab = std::min(text.find('\t', at), text.size());
                cells.push_back(text.substr(at, tab - at));
                at = tab + 1;
            }
            if (!heading && cells.size() == 10) {
                rows.push_back(cells[6] + " @ " + HexOffsetText(std::stoi(cells[1])) + " " + cells[7]);
                const long row = static_cast<long>(shown.size());
                const std::string name = ToStd(w.List()->GetItemText(row, TestList::kKeyColumn));
                shown.push_back(name.substr(0, cells[6].size()) + " @ " +
                                ToStd(w.List()->GetItemText(row, TestList::kOffsetColumn)) + " " +
                                ToStd(w.List()->GetItemText(row, TestList::kOpcodeColumn)));
            }
            heading = false;
        }
        EXPECT_EQ(pclose(pipe), 0);
        EXPECT_EQ(rows.size(), static_cast<std::size_t>(w.List()->GetItemCount())) << demo.name;
        EXPECT_EQ(rows, shown) << demo.name;
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
    w.Click(w.OpenButton());
    for (int i = 0; i < 5; ++i) {
        wxTheApp->ProcessPendingEvents();
        wxTheApp->ProcessIdle();
    }
    EXPECT_EQ(wxTopLevelWindows.Find(window), nullptr);
    frame = nullptr;
    probe.reset();
    EXPECT_EQ(ReadBytes(dir.File("cfg")), std::vector<uint8_t>{'2'});
}

// ---- never losing an edit ----

TEST_F(FlowTest, ClosingTheWindowWithEditsAsksAndCancelKeepsEverything) {
    WindowProbe& w = OpenDemo(kGameSanAndreas, "sa_keys.cs");
    w.Choose(w.VkeyChoice(), 0x5A);
    DialogScript::Get().ExpectQuestion(wxID_CANCEL);
    w.CloseWindow();
    ASSERT_EQ(DialogScript::Get().messages.size(), 1u);
    EXPECT_EQ(DialogScript::Get().messages[0], "Save changes to sa_keys.cs?");
    EXPECT_EQ(DialogScript::Get().buttons[0], "Save|Don't Save|Cancel");
    EXPECT_NE(wxTopLevelWindows.Find(w.f), nullptr);
    EXPECT_EQ(w.Tests()[0].key, 0x5A);
    EXPECT_EQ(ToStd(w.f->GetTitle()), "*sa_keys.cs - " + kTitle);

    // Save: asks where (the first time), writes, then closes.
    DialogScript::Get().ExpectQuestion(wxID_YES);
    DialogScript::Get().ExpectFile(dir.File("kept.cs"));
    MainFrame* window = w.f;
    w.CloseWindow();
    for (int i = 0; i < 3; ++i) wxTheApp->ProcessIdle();
    EXPECT_EQ(wxTopLevelWindows.Find(window), nullptr);
    frame = nullptr;
    probe.reset();
    EXPECT_EQ(ReadBytes(dir.File("kept.cs")).at(static_cast<std::size_t>(0x14 + 3)), 0x5A);
}

TEST_F(FlowTest, CloseFileAndOpenFileAskBeforeDroppingEdits) {
    WindowProbe& w = OpenDemo(kGameSanAndreas, "sa_keys.cs");
    w.SelectLine(3);
    w.Choose(w.PadChoice(), 1);

    DialogScript::Get().ExpectQuestion(wxID_CANCEL);
    w.Click(w.CloseButton());
    EXPECT_EQ(w.Tests().size(), 5u);
    EXPECT_EQ(w.Tests()[3].pad, 1);

    DialogScript::Get().ExpectQuestion(wxID_NO);
    w.Click(w.CloseButton());
    ExpectNoFileState(w);
    EXPECT_EQ(ReadBytes(dir.File("sa_keys.cs")), DemoBytes("sa_keys.cs"));

    // Open File: Save writes the edits first, then the other file opens.
    w.Open(dir.File("sa_keys.cs"));
    w.Choose(w.VkeyChoice(), 0x5A);
    DialogScript::Get().ExpectQuestion(wxID_YES);
    DialogScript::Get().ExpectFile(dir.File("first.cs"));
    w.Open(Copy("main.scm"));
    EXPECT_EQ(ReadBytes(dir.File("first.cs")).at(static_cast<std::size_t>(0x14 + 3)), 0x5A);
    EXPECT_EQ(w.Names(), (std::vector<std::string>{"M Key (0x4D)", "Triangle: Enter/Exit vehicle"}));

    // Without edits nothing is asked.
    w.Click(w.CloseButton());
    EXPECT_EQ(DialogScript::Get().Pending(), 0u);
}

TEST_F(FlowTest, SaveOffersTheOpenedFileAndKeepsItsExtension) {
    WindowProbe& w = OpenDemo(kGameViceCity, "vc_keys.cs", "mission.cm");
    w.Choose(w.VkeyChoice(), 0x4D);
    // A name typed without an extension gets the opened file's.
    w.Save(dir.File("renamed"));
    const auto& dialog = DialogScript::Get().fileDialogs.back();
    EXPECT_EQ(dialog.directory, dir.Path());
    EXPECT_EQ(dialog.name, "mission.cm");
    EXPECT_EQ(dialog.filterIndex, 1);  // Custom Mission (.cm)
    EXPECT_TRUE(std::filesystem::exists(dir.File("renamed.cm")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("renamed")));
    EXPECT_EQ(ToStd(w.Path()->GetValue()), dir.File("renamed.cm"));
}

TEST_F(FlowTest, CtrlSSavesToTheLastSavedFileWithoutAskingAndSaveAsAsks) {
    WindowProbe& w = OpenDemo(kGameSanAndreas, "sa_keys.cs");
    // The keys of the File menu.
    const wxMenuBar* menus = w.f->GetMenuBar();
    EXPECT_EQ(ToStd(menus->FindItem(wxID_OPEN)->GetAccel()->ToString()), "Ctrl+O");
    EXPECT_EQ(ToStd(menus->FindItem(wxID_SAVE)->GetAccel()->ToString()), "Ctrl+S");
    EXPECT_EQ(ToStd(menus->FindItem(wxID_SAVEAS)->GetAccel()->ToString()), "Ctrl+Shift+S");
    EXPECT_EQ(ToStd(menus->FindItem(wxID_CLOSE)->GetAccel()->ToString()), "Ctrl+W");
    for (wxButton* button : {w.OpenButton(), w.SaveButton(), w.CloseButton()})
        EXPECT_NE(button->GetLabel().Find('&'), wxNOT_FOUND) << ToStd(button->GetLabel());

    // The first Ctrl+S asks where; the next ones do not.
    w.Choose(w.VkeyChoice(), 0x5A);
    DialogScript::Get().ExpectFile(dir.File("out.cs"));
    w.Menu(wxID_SAVE);
    EXPECT_EQ(ReadBytes(dir.File("out.cs")).at(0x14 + 3), 0x5A);
    w.Choose(w.VkeyChoice(), 0x41);
    w.Menu(wxID_SAVE);
    EXPECT_EQ(DialogScript::Get().Pending(), 0u);
    EXPECT_EQ(ReadBytes(dir.File("out.cs")).at(0x14 + 3), 0x41);
    EXPECT_EQ(ToStd(w.f->GetStatusBar()->GetStatusText()), "Saved out.cs");

    // Save As asks again, offering the file last saved to.
    DialogScript::Get().ExpectFile(dir.File("other.cs"));
    w.Menu(wxID_SAVEAS);
    EXPECT_EQ(DialogScript::Get().fileDialogs.back().name, "out.cs");
    EXPECT_TRUE(std::filesystem::exists(dir.File("other.cs")));

    // Ctrl+W closes the file, Ctrl+O opens one.
    w.Menu(wxID_CLOSE);
    ExpectNoFileState(w);
    DialogScript::Get().ExpectFile(Copy("main.scm"));
    w.Menu(wxID_OPEN);
    EXPECT_EQ(w.Tests().size(), 2u);
}

TEST_F(FlowTest, TabOrderRunsFromTheListToTheKeyChoicesToTheButtons) {
    WindowProbe& w = Window();
    const wxWindowList& children = w.Panel()->GetChildren();
    auto position = [&](wxWindow* control) {
        while (control->GetParent() != w.Panel()) control = control->GetParent();
        return children.IndexOf(control);
    };
    EXPECT_LT(position(w.List()), position(w.PadChoice()));
    EXPECT_LT(position(w.VkeyChoice()), position(w.OpenButton()));
    EXPECT_EQ(position(w.PadChoice()), position(w.VkeyChoice()));  // one box
}

// ---- files that are not scripts ----

TEST_F(FlowTest, BytesThatAreNoScriptAreSaidToBeNone) {
    dir.Write("cfg", "2");
    std::vector<uint8_t> noise(4096);
    uint32_t seed = 12345;
    for (uint8_t& byte : noise) byte = static_cast<uint8_t>((seed = seed * 1103515245u + 12345u) >> 24);
    WindowProbe& w = Window();
    w.Open(dir.Write("picture.cs", noise), 1);
    ASSERT_EQ(DialogScript::Get().messages.size(), 1u);
    EXPECT_EQ(DialogScript::Get().messages[0], "This does not look like a San Andreas script.");
    ExpectNoFileState(w);
}

TEST_F(FlowTest, AScriptOfAnotherGameOffersToSwitchToIt) {
    dir.Write("cfg", "0");
    ScriptBuilder sa(kGameSanAndreas);
    for (int i = 0; i < 30; ++i) sa.Op(0x0E3D).I8(static_cast<uint8_t>(0x41 + i % 26));  // CLEO+ key tests
    const std::string file = WriteScript("sa_mod.cs", sa);
    WindowProbe& w = Window();

    // No: the file stays read as GTA III.
    DialogScript::Get().ExpectFile(file);
    DialogScript::Get().ExpectQuestion(wxID_NO);
    DialogScript::Get().ExpectMessage();
    w.Click(w.OpenButton());
    EXPECT_EQ(DialogScript::Get().messages[0],
              "60 of this script's 60 instructions are unknown to the GTA III opcode table, 0 to the San Andreas "
              "table.\nIs it a San Andreas script? Switch to San Andreas and open it again?");
    EXPECT_EQ(DialogScript::Get().buttons[0], "Switch to San Andreas|Keep GTA III");
    EXPECT_EQ(DialogScript::Get().messages[1], "This does not look like a GTA III script.");
    EXPECT_EQ(w.SelectedGame(), kGameGta3);

    // Yes: San Andreas is chosen and the file lists its tests.
    DialogScript::Get().ExpectFile(file);
    DialogScript::Get().ExpectQuestion(wxID_YES);
    w.Click(w.OpenButton());
    EXPECT_EQ(w.SelectedGame(), kGameSanAndreas);
    EXPECT_EQ(w.GameChoice()->GetSelection(), GameNumber(kGameSanAndreas));
    EXPECT_EQ(w.Tests().size(), 30u);
    EXPECT_EQ(w.Lines()[0], "A Key (0x41) \u00B7 0x0 \u00B7 0E3D");

    // Every time it is so: a Vice City script opened as San Andreas.
    DialogScript::Get().ExpectFile(Copy("vc_keys.cs"));
    DialogScript::Get().ExpectQuestion(wxID_YES);
    w.Click(w.OpenButton());
    EXPECT_EQ(DialogScript::Get().buttons.back(), "Switch to Vice City|Keep San Andreas");
    EXPECT_EQ(w.SelectedGame(), kGameViceCity);
    EXPECT_EQ(w.Lines().size(), 4u);
    EXPECT_FALSE(w.Summary().HasUnknown());
}

// ---- remapping the way people think of keys ----

TEST_F(FlowTest, PressKeyTakesTheNextKeyPressedAndEscCancels) {
    WindowProbe& w = OpenDemo(kGameSanAndreas, "sa_keys.cs");
    auto status = [&] { return ToStd(w.f->GetStatusBar()->GetStatusText()); };
    EXPECT_TRUE(w.PressKeyButton()->IsEnabled());
    w.Click(w.PressKeyButton());
    // The prompt takes the button's place and the focus.
    EXPECT_TRUE(w.KeyPrompt()->IsShown());
    EXPECT_FALSE(w.PressKeyButton()->IsShown());
    EXPECT_EQ(status(), "Press a key (Esc cancels)");
    w.PressKey(WXK_F7);
    EXPECT_EQ(w.Tests()[0].key, 0x76);
    EXPECT_EQ(w.Names()[0], "F7 (0x76)");
    EXPECT_EQ(w.VkeyChoice()->GetSelection(), 0x76);
    EXPECT_EQ(status(), "Took F7 (0x76)");
    // Its release, which nothing else sees, brings the button back.
    w.ReleaseKey(WXK_F7);
    EXPECT_TRUE(w.PressKeyButton()->IsShown());
    EXPECT_FALSE(w.KeyPrompt()->IsShown());

    // Keys pressed when not asked for go on to the controls as usual.
    w.PressKey('Q');
    EXPECT_EQ(w.Tests()[0].key, 0x76);

    // Esc cancels; the right Ctrl key is told from the left one on a 16-bit line.
    w.Click(w.PressKeyButton());
    w.PressKey(WXK_ESCAPE);
    EXPECT_EQ(w.Tests()[0].key, 0x76);
    EXPECT_EQ(status(), "No key taken");
    EXPECT_TRUE(w.PressKeyButton()->IsShown());
    w.SelectLine(1);
    w.Click(w.PressKeyButton());
    w.PressKey(WXK_CONTROL, 0xFFE4);
    w.ReleaseKey(WXK_CONTROL);
    EXPECT_EQ(w.Tests()[1].key, 0xA3);

    // The 8-bit rule holds as for the drop-down: Left Shift (160) is
    // refused on line 0, named as the VKey list names it; until its release
    // the prompt says it was not taken, and the status bar says why.
    w.SelectLine(0);
    w.Click(w.PressKeyButton());
    DialogScript::Get().ExpectMessage();
    w.PressKey(WXK_SHIFT, 0xFFE1);
    EXPECT_EQ(w.Tests()[0].key, 0x76);
    EXPECT_EQ(DialogScript::Get().messages.at(0),
              "You can't select this VKey: Left Shift (0xA0) needs 16 bits and the key parameter there has 8.");
    EXPECT_EQ(status(), DialogScript::Get().messages.at(0));
    const std::string prompt = ToStd(w.KeyPrompt()->GetChildren().front()->GetLabel());
    EXPECT_EQ(prompt, "Not taken: Left Shift (0xA0)");
    w.ReleaseKey(WXK_SHIFT);
    EXPECT_TRUE(w.PressKeyButton()->IsShown());

    // A click on the prompt takes the mouse button that clicked.
    w.Click(w.PressKeyButton());
    wxMouseEvent click(wxEVT_MIDDLE_DOWN);
    click.SetEventObject(w.KeyPrompt());
    w.KeyPrompt()->ProcessWindowEvent(click);
    EXPECT_EQ(w.Tests()[0].key, 0x04);
    EXPECT_EQ(w.Names()[0], "Middle mouse button (0x04)");
    EXPECT_TRUE(w.PressKeyButton()->IsShown());

    // Buttons have no VKey to press.
    w.SelectLine(3);
    EXPECT_FALSE(w.PressKeyButton()->IsEnabled());
}

TEST_F(FlowTest, ChangeAllGivesEveryTestOfTheKeyTheNewOneAndReportsRefusals) {
    dir.Write("cfg", "2");
    ScriptBuilder sa(kGameSanAndreas);
    sa.Op(0x0AB0).I8(0x71);   // F2, 8-bit
    sa.Op(0x0AB0).I16(0x71);  // F2, 16-bit
    sa.Op(0x0AB0).I8(0x72);   // F3
    sa.Op(0x00E1).I8(0).I8(16);
    sa.Op(0x00E1).I8(1).I8(16);
    sa.Op(0x0E3D).I8(0x71);  // F2 through another library
    WindowProbe& w = Window();
    w.Open(WriteScript("f2.cs", sa));

    // F2 to F7 everywhere: three changed, in one step. The key is found
    // by typing, by the keyboard, and by Press Key.
    DialogScript::Get().Expect([](wxDialog* dialog) {
        auto* changeAll = dynamic_cast<ChangeAllDialog*>(dialog);
        EXPECT_NE(changeAll, nullptr);
        if (changeAll == nullptr) return static_cast<int>(wxID_CANCEL);
        ChangeAllDialogProbe probe(changeAll);
        EXPECT_EQ(changeAll->ChosenKey(), 0x71);
        EXPECT_FALSE(probe.Ok()->IsEnabled());  // F2 is the tests' own key
        probe.Type("f1");
        EXPECT_EQ(probe.Shown().size(), 11u);  // F1, F10 to F19
        EXPECT_EQ(changeAll->ChosenKey(), 0x70);
        probe.Key(WXK_DOWN);
        probe.Key(WXK_DOWN);
        EXPECT_EQ(changeAll->ChosenKey(), 0x7A);
        probe.Key(WXK_UP);
        EXPECT_EQ(changeAll->ChosenKey(), 0x79);
        probe.Key(WXK_END);  // the field's, while it holds text
        EXPECT_EQ(changeAll->ChosenKey(), 0x79);
        probe.Type("no such");
        EXPECT_EQ(changeAll->ChosenKey(), -1);
        EXPECT_EQ(probe.Hint(), "No key has that name");
        EXPECT_FALSE(probe.Ok()->IsEnabled());
        probe.Type("");
        probe.Key(WXK_END);
        EXPECT_EQ(changeAll->ChosenKey(), 0xFF);
        probe.Key(WXK_PAGEUP);
        EXPECT_LT(changeAll->ChosenKey(), 0xFE);
        probe.Key(WXK_HOME);
        EXPECT_EQ(changeAll->ChosenKey(), 0x00);
        // Press Key takes the next key, Esc only ends the wait.
        probe.Type("shift");
        probe.Click(probe.PressKey());
        probe.Key(WXK_ESCAPE);
        EXPECT_EQ(probe.Hint(), "No key taken");
        probe.Click(probe.PressKey());
        probe.Key(WXK_F7);
        EXPECT_EQ(probe.Hint(), "Took F7 (0x76)");
        EXPECT_EQ(changeAll->ChosenKey(), 0x76);
        EXPECT_TRUE(probe.Ok()->IsEnabled());
        return static_cast<int>(wxID_OK);
    });
    DialogScript::Get().ExpectMessage();
    w.Click(w.ChangeAllButton());
    EXPECT_EQ(DialogScript::Get().messages.back(), "Changed 3 tests from F2 to F7.");
    EXPECT_EQ(w.Names(), (std::vector<std::string>{"F7 (0x76)", "F7 (0x76)", "F3 (0x72)", "Cross: Sprint | Accelerate",
                                                   "Cross: Sprint | Accelerate", "F7 (0x76)"}));
    w.Filter("", 1);
    w.Screenshot("window-change-all.png");
    w.Filter("", 0);

    // F7 to F17 (128): the two 8-bit parameters keep F7.
    DialogScript::Get().Reset();
    EXPECT_EQ(w.ChangeAllReport(RemapRule::ForVKey(0x76, 0x80)), "changed 1, refused 2");

    // A button changes on its own pad only.
    EXPECT_EQ(w.ChangeAllReport(RemapRule::ForButton(16, 17, 1)), "changed 1, refused 0");
    EXPECT_EQ(w.Names()[3], "Cross: Sprint | Accelerate");
    EXPECT_EQ(w.Names()[4], "Circle: Fire");

    // Undo takes back a whole Change all, redo brings it again.
    w.Menu(wxID_UNDO);
    EXPECT_EQ(w.Names()[4], "Cross: Sprint | Accelerate");
    w.Menu(wxID_UNDO);
    w.Menu(wxID_UNDO);
    EXPECT_EQ(w.Names()[0], "F2 (0x71)");
    EXPECT_EQ(w.Names()[1], "F2 (0x71)");
    EXPECT_EQ(ToStd(w.f->GetTitle()), "f2.cs - " + kTitle);  // nothing left unsaved
    w.Menu(wxID_REDO);
    EXPECT_EQ(w.Names()[1], "F7 (0x76)");
}

TEST_F(FlowTest, UndoAndRedoFollowEachEditUntilTheFileIsClosed) {
    WindowProbe& w = OpenDemo(kGameSanAndreas, "sa_keys.cs");
    EXPECT_FALSE(w.MenuItem(wxID_UNDO)->IsEnabled());
    w.Choose(w.VkeyChoice(), 0x5A);
    w.SelectLine(3);
    w.Choose(w.PadChoice(), 1);
    w.Choose(w.GameKeyChoice(), 17);
    EXPECT_EQ(ToStd(w.MenuItem(wxID_UNDO)->GetAccel()->ToString()), "Ctrl+Z");
    EXPECT_EQ(ToStd(w.MenuItem(wxID_REDO)->GetAccel()->ToString()), "Ctrl+Y");

    w.Menu(wxID_UNDO);
    EXPECT_EQ(w.Tests()[3].key, 16);
    EXPECT_EQ(w.GameKeyChoice()->GetSelection(), 16);  // the choices follow
    w.Menu(wxID_UNDO);
    EXPECT_EQ(w.Tests()[3].pad, 0);
    w.Menu(wxID_REDO);
    EXPECT_EQ(w.Tests()[3].pad, 1);
    // A new edit drops what could be redone.
    w.Choose(w.GameKeyChoice(), 4);
    EXPECT_FALSE(w.MenuItem(wxID_REDO)->IsEnabled());

    // Closing the file ends the history.
    DialogScript::Get().ExpectQuestion(wxID_NO);
    w.Click(w.CloseButton());
    w.Open(Copy("sa_keys.cs"));
    EXPECT_FALSE(w.MenuItem(wxID_UNDO)->IsEnabled());
}

TEST_F(FlowTest, TheFilterKeepsTheLinesThatMatchAndTheEditorFollowsTheSelection) {
    WindowProbe& w = OpenDemo(kGameSanAndreas, "sa_keys.cs");
    w.Filter("shift");
    EXPECT_EQ(w.Names(), (std::vector<std::string>{"Left Shift (0xA0)"}));
    EXPECT_EQ(ToStd(w.Heading()->GetLabel()), "1 of 5 key tests");
    EXPECT_EQ(w.VkeyChoice()->GetSelection(), 0xA0);  // the shown line is selected and edited
    w.Choose(w.VkeyChoice(), 0xA1);
    EXPECT_EQ(w.Tests()[1].key, 0xA1);

    w.Filter("0x99");  // by offset
    EXPECT_EQ(w.Names(), (std::vector<std::string>{"Cross: Sprint | Accelerate"}));
    w.Filter("", 2);  // button tests only
    EXPECT_EQ(w.Names(), (std::vector<std::string>{"Cross: Sprint | Accelerate", "R1: Aim Weapon | Hand Brake"}));
    w.SelectLine(1);
    w.Choose(w.GameKeyChoice(), 17);
    EXPECT_EQ(w.Tests()[4].key, 17);
    w.Filter("", 1);  // VKey tests only
    EXPECT_EQ(w.Lines().size(), 3u);
    // Nothing kept: said in the list's place, and nothing to edit.
    w.Filter("no such key");
    EXPECT_TRUE(w.Lines().empty());
    EXPECT_TRUE(w.EmptyListText()->IsShown());
    EXPECT_EQ(ToStd(w.EmptyListText()->GetLabel()), "No key test matches the filter.");
    EXPECT_EQ(ToStd(w.Heading()->GetLabel()), "0 of 5 key tests");
    EXPECT_FALSE(w.VkeyChoice()->IsEnabled());
    EXPECT_FALSE(w.ChangeAllButton()->IsEnabled());
    w.Filter("");
    EXPECT_EQ(w.Lines().size(), 5u);
    EXPECT_FALSE(w.EmptyListText()->IsShown());
    EXPECT_EQ(ToStd(w.Heading()->GetLabel()), "5 key tests found");

    // By a VKey's code as the list writes it, and by any test's opcode, the
    // game's usual one too.
    w.Filter("0x71");
    EXPECT_EQ(w.Names(), (std::vector<std::string>{"F2 (0x71)"}));
    w.Filter("00e1");
    EXPECT_EQ(w.Lines().size(), 2u);
    DialogScript::Get().ExpectQuestion(wxID_NO);
    w.Open(Copy("sa_libraries.cs"));
    w.Filter("0e3d");
    EXPECT_EQ(w.Lines().size(), 1u);
}

// A click on a column's title sorts the rows by it, a second one the other
// way round; the selected test stays selected, and the title shows the order.
TEST_F(FlowTest, AClickOnAColumnsTitleSortsTheRowsByIt) {
    WindowProbe& w = OpenDemo(kGameSanAndreas, "sa_keys.cs");
    w.SelectLine(2);  // F2
    w.ClickColumn(TestList::kKeyColumn);
    EXPECT_EQ(w.Names(), (std::vector<std::string>{"Cross: Sprint | Accelerate", "F2 (0x71)", "Left Shift (0xA0)",
                                                   "R1: Aim Weapon | Hand Brake", "Y Key (0x59)"}));
    EXPECT_EQ(w.SelectedRow(), 1);
    EXPECT_EQ(w.VkeyChoice()->GetSelection(), 0x71);
    wxListItem title;
    title.SetMask(wxLIST_MASK_TEXT);
    w.List()->GetColumn(TestList::kKeyColumn, title);
    EXPECT_EQ(ToStd(title.GetText()), "Key \u25B2");

    w.ClickColumn(TestList::kKeyColumn);
    EXPECT_EQ(w.Names().front(), "Y Key (0x59)");
    EXPECT_EQ(w.SelectedRow(), 3);
    w.List()->GetColumn(TestList::kKeyColumn, title);
    EXPECT_EQ(ToStd(title.GetText()), "Key \u25BC");

    // By opcode, the file's order within each; an edit reaches its row.
    w.ClickColumn(TestList::kOpcodeColumn);
    EXPECT_EQ(w.Names(), (std::vector<std::string>{"Cross: Sprint | Accelerate", "R1: Aim Weapon | Hand Brake",
                                                   "Y Key (0x59)", "Left Shift (0xA0)", "F2 (0x71)"}));
    w.Choose(w.VkeyChoice(), 0x72);
    EXPECT_EQ(w.Lines()[4], "F3 (0x72) \u00B7 0x53 \u00B7 0AB0 \u00B7 *");
    EXPECT_EQ(w.Tests()[2].key, 0x72);
}

TEST_F(FlowTest, DroppedFilesAndRecentFilesOpenAsDesktopsDo) {
    WindowProbe& w = OpenDemo(kGameSanAndreas, "sa_keys.cs");
    auto* target = dynamic_cast<wxFileDropTarget*>(w.f->GetDropTarget());
    ASSERT_NE(target, nullptr);

    // A drop over unsaved edits asks first; Cancel keeps the file open.
    w.Choose(w.VkeyChoice(), 0x5A);
    DialogScript::Get().ExpectQuestion(wxID_CANCEL);
    EXPECT_FALSE(target->OnDropFiles(0, 0, wxArrayString(1, wxString::FromUTF8(Copy("main.scm")))));
    EXPECT_EQ(w.Tests().size(), 5u);
    DialogScript::Get().ExpectQuestion(wxID_NO);
    EXPECT_TRUE(target->OnDropFiles(0, 0, wxArrayString(1, wxString::FromUTF8(dir.File("main.scm")))));
    EXPECT_EQ(ToStd(w.Path()->GetValue()), dir.File("main.scm"));

    // Both files are in the recent list, the last first, each with its
    // shortcut; Ctrl+2 opens the other.
    wxMenuItem* second = w.f->GetMenuBar()->FindItem(wxID_FILE2);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(ToStd(second->GetAccel()->ToString()), "Ctrl+2");
    w.Menu(wxID_FILE2);
    EXPECT_EQ(ToStd(w.Path()->GetValue()), dir.File("sa_keys.cs"));
    // A file saved under another name joins them.
    w.Save(dir.File("saved-as.cs"));
    EXPECT_EQ(
        ToStd(w.f->GetMenuBar()->FindItem(wxID_FILE1)->GetItemLabelText()).find("saved-as.cs") != std::string::npos,
        true);
    // Open starts in the last folder used.
    w.Click(w.CloseButton());
    DialogScript::Get().ExpectCancelledFile();
    w.Click(w.OpenButton());
    EXPECT_EQ(DialogScript::Get().fileDialogs.back().directory, dir.Path());
}

// ---- what surrounds a test ----

TEST_F(FlowTest, TheContextViewShowsTheDecodedInstructionsAroundTheSelectedTest) {
    WindowProbe& w = OpenDemo(kGameSanAndreas, "sa_keys.cs");
    // What the engine decodes around line 2's test (F2), four before and eight after.
    OpcodeTable table;
    ASSERT_TRUE(LoadOpcodeFile(dir.File("SASCM.ini"), kGameSanAndreas, table));
    ScriptImage image;
    image.game = kGameSanAndreas;
    ASSERT_TRUE(image.LoadFromFile(dir.File("sa_keys.cs")));
    auto expectedFor = [&](std::size_t test) {
        std::string text;
        for (const DecodedInstruction& i :
             InstructionsAround(image, table, w.Summary(), w.Tests()[test].offset, 4, 8, LabelForm::FileOffset)) {
            char offset[16];
            std::snprintf(offset, sizeof offset, "%8s  ", HexOffsetText(i.offset).c_str());
            text += offset + i.text + "\n";
        }
        return text;
    };
    EXPECT_EQ(ToStd(w.Context()->GetValue()), expectedFor(0));  // line 0 is selected after opening

    w.SelectLine(2);
    const std::string shown = ToStd(w.Context()->GetValue());
    EXPECT_EQ(shown, expectedFor(2));
    w.Screenshot("window-context.png");
    // Around F2: the test itself, the jump after it and the text shown when the key is down.
    EXPECT_NE(shown.find("    0x53  0AB0: key "), std::string::npos) << shown;
    EXPECT_NE(shown.find("004D: jump if false @0x"), std::string::npos) << shown;
    EXPECT_NE(shown.find("\"HELP\""), std::string::npos) << shown;
    std::size_t lines = 0;
    for (char c : shown) lines += c == '\n';
    EXPECT_EQ(lines, 13u);

    // The test's own line stands out.
    const long start = static_cast<long>(shown.find("    0x53  0AB0"));
    wxTextAttr mine;
    wxTextAttr other;
    ASSERT_TRUE(w.Context()->GetStyle(start + 2, mine));
    ASSERT_TRUE(w.Context()->GetStyle(1, other));
    EXPECT_EQ(mine.GetFontWeight(), wxFONTWEIGHT_BOLD);
    EXPECT_NE(other.GetFontWeight(), wxFONTWEIGHT_BOLD);

    // It shows the bytes as they are now: an edit, at once.
    w.Choose(w.VkeyChoice(), 0x76);
    EXPECT_NE(ToStd(w.Context()->GetValue()).find("    0x53  0AB0: key 118 pressed"), std::string::npos);
    w.SelectLine(0);
    w.SelectLine(2);
    EXPECT_NE(ToStd(w.Context()->GetValue()).find("    0x53  0AB0: key 118 pressed"), std::string::npos);

    // Close File empties it.
    DialogScript::Get().ExpectQuestion(wxID_NO);
    w.Click(w.CloseButton());
    EXPECT_TRUE(w.Context()->GetValue().empty());
}

// The thirteen lines around a test all show at once: in the window as it is
// first made, and in one of 1024x768 (the screen of the run).
TEST_F(FlowTest, TheContextViewShowsAllItsLinesAtTheFirstSizeAndAt1024x768) {
    WindowProbe& w = OpenDemo(kGameSanAndreas, "sa_keys.cs");
    w.SelectLine(2);
    w.f->Show();
    auto linesRoom = [&] {
        for (int i = 0; i < 10; ++i) wxTheApp->Yield(true);
        wxTextCtrl* view = w.Context();
        return static_cast<double>(view->GetClientSize().y) / view->GetCharHeight();
    };
    EXPECT_GE(linesRoom(), 13.0) << w.f->GetSize().x << "x" << w.f->GetSize().y;
    EXPECT_LE(w.f->GetSize().y, 768);
    w.f->SetSize(1024, 768);
    EXPECT_GE(linesRoom(), 13.0);
}

// ---- typed cheat codes ----

TEST_F(FlowTest, ACheatTestIsListedByItsCodeAndEditedInAFieldOfItsOwn) {
    WindowProbe& w = OpenDemo(kGameSanAndreas, "sa_cheats.cs");
    EXPECT_EQ(w.Lines(), (std::vector<std::string>{
                             "Cheat BOOM \u00B7 0x14 \u00B7 0ADC", "Cheat FLYINGCARS \u00B7 0x39 \u00B7 0ADC",
                             "Cheat TANK \u00B7 0x63 \u00B7 0ADC", "F2 (0x71) \u00B7 0xA7 \u00B7 0AB0"}));
    // While a cheat is selected its code replaces the key choices.
    EXPECT_TRUE(w.CheatText()->IsShown());
    EXPECT_FALSE(w.VkeyChoice()->IsShown());
    EXPECT_EQ(ToStd(w.CheatText()->GetValue()), "BOOM");
    EXPECT_FALSE(w.ChangeAllButton()->IsEnabled());

    // A code that fits: typed in lower case, written in upper case.
    w.CheatText()->SetValue("kaboom");
    w.Click(w.SetCheatButton());
    EXPECT_EQ(w.Tests()[0].code, "KABOOM");
    EXPECT_EQ(w.Lines()[0], "Cheat KABOOM \u00B7 0x14 \u00B7 0ADC \u00B7 *");

    // One that does not fit is refused with the room it has.
    w.SelectLine(2);
    EXPECT_EQ(ToStd(w.CheatText()->GetValue()), "TANK");
    w.CheatText()->SetValue("TANKS");
    DialogScript::Get().ExpectMessage();
    w.Click(w.SetCheatButton());
    EXPECT_NE(DialogScript::Get().messages.at(0).find("exactly 4 characters"), std::string::npos)
        << DialogScript::Get().messages.at(0);
    EXPECT_EQ(w.Tests()[2].code, "TANK");
    EXPECT_EQ(ToStd(w.CheatText()->GetValue()), "TANKS");  // kept, to be mended
    // The field is marked and says why, as does the status bar.
    const wxColour refused = w.CheatText()->GetBackgroundColour();
    auto marked = [&] { return w.CheatText()->GetBackgroundColour() == refused && w.CheatProblem()->IsShown(); };
    EXPECT_TRUE(marked());
    EXPECT_GT(refused.Red(), refused.Green());  // a red ground
    EXPECT_EQ(ToStd(w.CheatProblem()->GetLabel()), "Code not set: this code must have exactly 4 characters");
    EXPECT_EQ(ToStd(w.f->GetStatusBar()->GetStatusText()), ToStd(w.CheatProblem()->GetLabel()));

    // Another line: said once more, and the line, the code typed and the
    // mark stay; a code that fits unmarks the field as it is typed.
    DialogScript::Get().ExpectMessage();
    w.SelectLine(3);
    EXPECT_NE(DialogScript::Get().messages.at(1).find("undo (Ctrl+Z)"), std::string::npos);
    EXPECT_EQ(w.SelectedRow(), 2);
    EXPECT_TRUE(w.CheatText()->IsShown());
    EXPECT_EQ(ToStd(w.CheatText()->GetValue()), "TANKS");
    EXPECT_TRUE(marked());
    w.CheatText()->SetValue("TANX");
    EXPECT_FALSE(marked());
    EXPECT_NE(w.CheatText()->GetBackgroundColour(), refused);
    EXPECT_FALSE(w.CheatProblem()->IsShown());
    w.CheatText()->SetValue("TANKS");
    EXPECT_FALSE(marked());  // marked again only when it is refused again
    DialogScript::Get().ExpectMessage();
    w.Click(w.SetCheatButton());
    EXPECT_TRUE(marked());

    // Undo drops what was typed, and the mark with it; then a key test
    // brings the key choices back, and undo takes the first code back.
    w.Menu(wxID_UNDO);
    EXPECT_EQ(ToStd(w.CheatText()->GetValue()), "TANK");
    EXPECT_FALSE(marked());
    EXPECT_FALSE(w.CheatProblem()->IsShown());
    w.SelectLine(3);
    EXPECT_TRUE(w.VkeyChoice()->IsShown());
    EXPECT_FALSE(w.CheatText()->IsShown());
    w.Menu(wxID_UNDO);
    EXPECT_EQ(w.Tests()[0].code, "BOOM");

    // The saved file holds the new code, zero-padded in its 8 bytes, and nothing else changed.
    w.SelectLine(0);
    w.CheatText()->SetValue("BANG");
    w.Click(w.SetCheatButton());
    w.Save(dir.File("out.cs"));
    EXPECT_NE(ToStd(w.Context()->GetValue()).find("\"BANG\""), std::string::npos) << ToStd(w.Context()->GetValue());
    std::vector<uint8_t> expected = DemoBytes("sa_cheats.cs");
    const std::size_t text = 0x14 + 3;  // opcode word, type byte
    for (std::size_t i = 0; i < 8; ++i) expected[text + i] = static_cast<uint8_t>(i < 4 ? "BANG"[i] : 0);
    EXPECT_EQ(ReadBytes(dir.File("out.cs")), expected);

    // The filter keeps the cheat codes alone.
    w.Filter("", 3);
    EXPECT_EQ(w.Lines().size(), 3u);
}

// The real question, drawn by the system: shown, photographed for README,
// and answered with Esc as a user would; Esc is Cancel and the window stays.
TEST_F(FlowTest, TheRealSavePromptShowsAndEscCancelsTheClose) {
    WindowProbe& w = OpenDemo(kGameSanAndreas, "sa_keys.cs");
    w.SelectLine(2);
    w.Choose(w.VkeyChoice(), 0x76);
    w.f->Show();
    w.f->Raise();
    for (int i = 0; i < 10; ++i) wxTheApp->Yield(true);

    // Esc goes to the window under the pointer (there is no window manager):
    // it is sent again until the question is gone, and a question that never
    // goes ends the run instead of hanging it.
    constexpr int kTries = 50;
    int tries = 0;
    bool shown = false;
    wxTimer answer;
    answer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        if (++tries > kTries) {
            std::fprintf(stderr, "the save prompt did not take Esc: giving up\n");
            std::_Exit(1);
        }
        if (!shown && !gScreenshotFolder.empty()) {
            std::filesystem::create_directories(gScreenshotFolder);
            const wxSize screen = wxGetDisplaySize();
            wxBitmap bitmap(screen.x, screen.y, 24);
            wxMemoryDC memory(bitmap);
            wxScreenDC display;
            memory.Blit(0, 0, screen.x, screen.y, &display, 0, 0);
            memory.SelectObject(wxNullBitmap);
            bitmap.SaveFile(wxString::FromUTF8(gScreenshotFolder + "/window-save-prompt.png"), wxBITMAP_TYPE_PNG);
        }
        shown = true;
        wxUIActionSimulator user;
        const wxRect frame = w.f->GetScreenRect();
        user.MouseMove(frame.x + frame.width / 2, frame.y + frame.height / 2);
        user.Char(WXK_ESCAPE);
    });
    DialogScript::Get().Expect([&](wxDialog* dialog) {
        auto* box = dynamic_cast<wxMessageDialog*>(dialog);
        EXPECT_NE(box, nullptr);
        if (box != nullptr) DialogScript::Get().messages.push_back(ToStd(box->GetMessage()));
        answer.Start(300);
        return static_cast<int>(wxID_NONE);  // let it show for real
    });
    w.CloseWindow();
    answer.Stop();
    EXPECT_TRUE(shown);
    EXPECT_EQ(DialogScript::Get().messages, (std::vector<std::string>{"Save changes to sa_keys.cs?"}));
    EXPECT_NE(wxTopLevelWindows.Find(w.f), nullptr);
    EXPECT_EQ(w.Tests()[2].key, 0x76);
}

TEST_F(FlowTest, ACodeTypedButNotSetIsNotLostWithoutAQuestion) {
    WindowProbe& w = OpenDemo(kGameSanAndreas, "sa_cheats.cs");
    // Undo takes back a code typed and not set, as any edit; redo brings it.
    w.CheatText()->SetValue("ZAP");
    w.Menu(wxID_UNDO);
    EXPECT_EQ(w.Tests()[0].code, "BOOM");
    EXPECT_EQ(ToStd(w.CheatText()->GetValue()), "BOOM");
    w.Menu(wxID_REDO);
    EXPECT_EQ(w.Tests()[0].code, "ZAP");
    w.Menu(wxID_UNDO);

    w.CheatText()->SetValue("BANG");  // typed, neither Enter nor Set code
    DialogScript::Get().ExpectQuestion(wxID_CANCEL);
    w.Menu(wxID_CLOSE);
    EXPECT_EQ(DialogScript::Get().messages.at(0), "Save changes to sa_cheats.cs?");
    EXPECT_EQ(w.Tests()[0].code, "BANG");

    // Going to another line sets it too; a code that does not fit is refused there.
    w.SelectLine(2);
    w.CheatText()->SetValue("TANKS");
    DialogScript::Get().ExpectMessage();
    w.SelectLine(3);
    EXPECT_NE(DialogScript::Get().messages.back().find("exactly 4 characters"), std::string::npos);
    EXPECT_EQ(w.Tests()[2].code, "TANK");
}

TEST_F(FlowTest, SaveAsNamesTheNewFileAndAsksBeforeReplacingOneTheExtensionNames) {
    WindowProbe& w = OpenDemo(kGameViceCity, "vc_keys.cs");
    w.Choose(w.VkeyChoice(), 0x4D);
    w.Save(dir.File("copy.cs"));
    EXPECT_EQ(ToStd(w.f->GetTitle()), "copy.cs - " + kTitle);  // the edits now belong to copy.cs
    w.Choose(w.VkeyChoice(), 0x4E);
    EXPECT_EQ(ToStd(w.f->GetTitle()), "*copy.cs - " + kTitle);

    // "other" typed; other.cs is there: the question comes before it is replaced.
    dir.Write("other.cs", std::string("keep"));
    DialogScript::Get().ExpectFile(dir.File("other"));
    DialogScript::Get().ExpectQuestion(wxID_NO);
    w.Menu(wxID_SAVEAS);
    EXPECT_EQ(DialogScript::Get().messages.back(), "other.cs already exists. Replace it?");
    EXPECT_EQ(ReadBytes(dir.File("other.cs")), (std::vector<uint8_t>{'k', 'e', 'e', 'p'}));
    DialogScript::Get().ExpectFile(dir.File("other"));
    DialogScript::Get().ExpectQuestion(wxID_YES);
    w.Menu(wxID_SAVEAS);
    EXPECT_EQ(ReadBytes(dir.File("other.cs")).size(), DemoBytes("vc_keys.cs").size());
}

// A chord's tests show their hotkey, the selected one marks the others, and
// Press Key takes the keys pressed together (modifiers first), refusing as
// many keys as the chord has not. A key kept in a variable changes for every
// test that reads it; one that cannot be told is left alone, saying why.
TEST_F(FlowTest, ChordsTakeTheKeysPressedTogetherAndVariablesChangeTogether) {
    WindowProbe& w = OpenDemo(kGameSanAndreas, "sa_chords.cs");
    auto status = [&] { return ToStd(w.f->GetStatusBar()->GetStatusText()); };
    auto hotkey = [&](long row) { return ToStd(w.List()->GetItemText(row, TestList::kHotkeyColumn)); };
    EXPECT_EQ(hotkey(0), "Alt+O");
    EXPECT_EQ(hotkey(2), "P or Q");
    EXPECT_EQ(hotkey(4), "Win+B, not Alt");
    EXPECT_EQ(hotkey(7), "");
    EXPECT_EQ(w.Names()[7], "V Key (0x56), set at 0xB in 0@");
    w.SelectLine(0);
    EXPECT_TRUE(w.List()->IsRowMarked(1));
    EXPECT_FALSE(w.List()->IsRowMarked(0));
    EXPECT_FALSE(w.List()->IsRowMarked(2));
    w.Filter("win+b", 0);  // a hotkey is found by its text
    EXPECT_EQ(w.List()->GetItemCount(), 3);
    w.Filter("", 0);
    w.SelectLine(0);
    w.Screenshot("window-chords.png");

    // One key pressed for two: refused, nothing changed.
    w.Click(w.PressKeyButton());
    w.PressKey(WXK_F5);
    w.ReleaseKey(WXK_F5);
    EXPECT_EQ(status(), "Not taken: Alt+O is a hotkey of 2 keys; 1 was pressed");
    EXPECT_EQ(w.Tests()[0].key, 0x12);
    // Ctrl held, then F5: the chord becomes Ctrl+F5 in one step.
    w.Click(w.PressKeyButton());
    w.PressKey(WXK_CONTROL, 0xFFE3);
    w.PressKey(WXK_F5, 0, 0, wxMOD_CONTROL);
    w.ReleaseKey(WXK_F5);
    EXPECT_EQ(w.Tests()[0].key, 0x11);
    EXPECT_EQ(w.Tests()[1].key, 0x74);
    EXPECT_EQ(hotkey(0), "Ctrl+F5");
    EXPECT_EQ(status(), "Took Ctrl+F5");
    w.Menu(wxID_UNDO);
    EXPECT_EQ(hotkey(1), "Alt+O");

    // Both readers of 0@ take the key chosen for one.
    w.SelectLine(7);
    EXPECT_TRUE(w.List()->IsRowMarked(8));
    EXPECT_EQ(status(), "0@ keeps the key of 2 tests: a new key changes them all.");
    w.Choose(w.VkeyChoice(), 0x4B);
    EXPECT_EQ(w.Tests()[7].key, 0x4B);
    EXPECT_EQ(w.Tests()[8].key, 0x4B);
    // The save says so first, and may be cancelled.
    std::string said;
    DialogScript::Get().ExpectFile(dir.File("saved.cs"));
    DialogScript::Get().Expect([&](wxDialog* dialog) {
        if (auto* message = dynamic_cast<wxMessageDialog*>(dialog)) said = ToStd(message->GetMessage());
        return static_cast<int>(wxID_CANCEL);
    });
    w.Menu(wxID_SAVE);
    EXPECT_EQ(said,
              "Saving changes keys that variables keep:\n0@, set at 0xB, keeps the key of 2 tests: K Key (0x4B) "
              "for all of them.");
    EXPECT_TRUE(w.f->Session().IsModified());

    // A key in a variable never set to a number.
    w.Menu(wxID_UNDO);  // nothing left to save
    ScriptBuilder untold(kGameSanAndreas);
    untold.Op(0x0AB0).LocalVar(3);
    w.Open(WriteScript("untold.cs", untold));
    w.SelectLine(0);
    EXPECT_EQ(w.Names()[0], "Key in 3@ (cannot be told)");
    EXPECT_FALSE(w.VkeyChoice()->IsEnabled());
    EXPECT_FALSE(w.PressKeyButton()->IsEnabled());
    EXPECT_EQ(status(), "Left alone: 3@ is never set to a number in this file.");
}

// A mobile script's touch zones and widgets are chosen in the touch row,
// which stands in place of the pad's rows; each choice writes the one byte.
TEST_F(FlowTest, TouchZonesAndWidgetsAreChosenInTheTouchRow) {
    WindowProbe& w = OpenDemo(kGameSanAndreasMobile, "sa_mobile_touch.csa");
    ASSERT_EQ(w.Lines().size(), 5u);
    w.SelectLine(0);  // Touch zone 7 (right top)
    EXPECT_TRUE(w.TouchChoice()->IsShown());
    EXPECT_FALSE(w.PadChoice()->IsShown());
    ASSERT_EQ(w.TouchChoice()->GetCount(), 9u);
    EXPECT_EQ(ToStd(w.TouchChoice()->GetStringSelection()), "Zone 7 (right top)");
    w.Choose(w.TouchChoice(), 2);  // zone 3
    EXPECT_EQ(w.Script().Data()[22], 3);
    EXPECT_EQ(w.Session().Tests()[0].key, 3);

    w.SelectLine(2);  // the slide's end, zone 9
    EXPECT_EQ(ToStd(w.TouchChoice()->GetStringSelection()), "Zone 9 (right bottom)");
    w.SelectLine(3);  // Widget 31 (sprint)
    ASSERT_EQ(w.TouchChoice()->GetCount(), 256u);
    EXPECT_EQ(w.TouchChoice()->GetSelection(), 31);
    w.Choose(w.TouchChoice(), 32);
    EXPECT_EQ(w.Script().Data()[87], 32);
    EXPECT_TRUE(w.Session().IsModified());
}
