// Start-up, the settings file, the game choice and the window's layout.

#include <gtest/gtest-spi.h>

#include <wx/app.h>
#include <wx/gauge.h>
#include <wx/listbox.h>
#include <wx/sizer.h>
#include <wx/config.h>
#include <wx/statbox.h>
#include <wx/textctrl.h>
#include <wx/toplevel.h>

#include <filesystem>
#include <sys/stat.h>

#ifdef __WXGTK__
#include <glib.h>
#endif

#include "MorvaneVersion.h"
#include "app/MorvaneApp.h"
#include "gui/GuiSupport.h"
#include "ui/EventBindings.h"
#include "opcodes/OpcodeTable.h"
#include "settings/WorkFolder.h"
#include "support/Printers.h"
#include "support/SannyFolder.h"
#include "support/ScopedEnvironment.h"

using namespace morvane;
using namespace morvane::test;

namespace {

std::size_t TopLevelWindows() {
    wxTheApp->ProcessPendingEvents();
    wxTheApp->ProcessIdle();
    return wxTopLevelWindows.GetCount();
}

bool StillExists(wxWindow* window) {
    TopLevelWindows();
    return wxTopLevelWindows.Find(window) != nullptr;
}

}  // namespace

// The user's data folder lies inside the test's folder: the real one of
// whoever runs the tests never answers for it.
class StartupTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        env.Set("HOME", dir.File("home"));
        env.Set("XDG_DATA_HOME", dir.File("xdg"));
    }

    std::string DataFolder() const { return dir.File("xdg") + "/morvane"; }

    // Moves the INI files from the working folder to the data folder, leaving `keep` behind.
    void MoveIniFilesToDataFolder(const std::string& keep = std::string()) {
        std::filesystem::create_directories(DataFolder());
        for (const char* ini : {"SCM.ini", "VICESCM.ini", "SASCM.ini"})
            if (ini != keep) std::filesystem::rename(dir.File(ini), DataFolder() + "/" + ini);
    }

    // The message as the engine words it for the folders as they are (its
    // wording is tested with the engine; here: that the window shows it).
    std::string MissingMessage() const { return MissingIniFilesMessage(dir.Path(), DataFolder()); }

    ScopedEnvironment env;
};

TEST_F(StartupTest, MissingIniFileAsksWhereTheOpcodesComeFromAndQuitClosesMorvane) {
    std::filesystem::remove(dir.File("VICESCM.ini"));
    const std::size_t before = TopLevelWindows();
    DialogScript::Get().ExpectQuestion(wxID_CANCEL);
    EXPECT_FALSE(static_cast<MorvaneApp*>(wxTheApp)->OnInit());
    ASSERT_EQ(DialogScript::Get().messages.size(), 1u);
    EXPECT_EQ(DialogScript::Get().messages[0], MissingMessage());
    EXPECT_NE(DialogScript::Get().messages[0].find(dir.Path() + "\n(missing there: VICESCM.ini)"), std::string::npos);
    EXPECT_EQ(DialogScript::Get().captions[0], "Morvane");
    EXPECT_EQ(DialogScript::Get().buttons[0], "Use Built-in Tables|Choose Sanny Builder Folder...|Quit");
    EXPECT_EQ(TopLevelWindows(), before);
    EXPECT_FALSE(std::filesystem::exists(dir.File("cfg")));
}

TEST_F(StartupTest, BuiltInTablesChosenAtStartAreRememberedAndOpenTheDemoScripts) {
    // Started in an empty folder, as from a desktop menu.
    for (const char* ini : {"SCM.ini", "VICESCM.ini", "SASCM.ini"}) std::filesystem::remove(dir.File(ini));
    DialogScript::Get().ExpectQuestion(wxID_YES);
    ASSERT_TRUE(static_cast<MorvaneApp*>(wxTheApp)->OnInit());
    frame = dynamic_cast<MainFrame*>(wxTopLevelWindows.GetLast()->GetData());
    ASSERT_NE(frame, nullptr);
    probe = std::make_unique<WindowProbe>(frame);
    EXPECT_EQ(WorkingFolder(), DataFolder());  // made, and its settings kept there
    EXPECT_EQ(ToStd(frame->GetStatusBar()->GetStatusText(1)), "Opcodes: built-in (game and CLEO 4)");
    for (const auto& [game, script] :
         {std::make_pair(kGameGta3, "gta3_keys.cs"), std::make_pair(kGameViceCity, "vc_keys.cs"),
          std::make_pair(kGameSanAndreas, "sa_keys.cs")}) {
        probe->Choose(probe->GameChoice(), GameNumber(game));
        probe->Open(Copy(script));
        EXPECT_FALSE(probe->Summary().HasUnknown()) << script;
        EXPECT_FALSE(probe->Tests().empty()) << script;
        probe->Click(probe->CloseButton());
    }
    DestroyWindow();

    // Asked once: the next start opens the window at once.
    ASSERT_TRUE(static_cast<MorvaneApp*>(wxTheApp)->OnInit());
    frame = dynamic_cast<MainFrame*>(wxTopLevelWindows.GetLast()->GetData());
    probe = std::make_unique<WindowProbe>(frame);
    EXPECT_TRUE(probe->OpcodesLoaded());
}

TEST_F(StartupTest, ASannyBuilderFolderChosenAtStartGivesTheMissingGamesOpcodes) {
    const std::string sanny = MakeSannyFolder(dir);
    std::filesystem::remove(dir.File("SASCM.ini"));
    dir.Write("cfg", "2");
    DialogScript::Get().ExpectQuestion(wxID_NO);
    DialogScript::Get().ExpectFolder(sanny);
    ASSERT_TRUE(static_cast<MorvaneApp*>(wxTheApp)->OnInit());
    frame = dynamic_cast<MainFrame*>(wxTopLevelWindows.GetLast()->GetData());
    probe = std::make_unique<WindowProbe>(frame);
    EXPECT_EQ(WorkingFolder(), dir.Path());  // it holds INI files of other games
    EXPECT_EQ(ToStd(frame->GetStatusBar()->GetStatusText(1)),
              "Opcodes: Sanny Builder, SASCM.ini + 3 files, 34 commands; 2,714 more from the built-in table");
    EXPECT_NE(probe->Table().Find(0x0E3D), nullptr);  // CLEO+, from SASCM.CLEO+.ini
    // The games whose INI file is here read it.
    probe->Choose(probe->GameChoice(), GameNumber(kGameViceCity));
    EXPECT_EQ(ToStd(frame->GetStatusBar()->GetStatusText(1)).rfind("Opcodes: VICESCM.ini, ", 0), 0u);

    // File > Opcode Files... changes the choice at any time.
    probe->Choose(probe->GameChoice(), GameNumber(kGameSanAndreas));
    DialogScript::Get().ExpectQuestion(wxID_YES);
    probe->Menu(probe->OpcodeFilesMenuId());
    EXPECT_EQ(ToStd(frame->GetStatusBar()->GetStatusText(1)), "Opcodes: built-in (game and CLEO 4)");
    EXPECT_EQ(DialogScript::Get().buttons.back(), "Use Built-in Tables|Choose Sanny Builder Folder...|Cancel");
}

TEST_F(StartupTest, AFolderWithoutSannyBuildersFilesIsAskedForAgain) {
    std::filesystem::remove(dir.File("SASCM.ini"));
    std::filesystem::create_directory(dir.File("empty"));
    DialogScript::Get().ExpectQuestion(wxID_NO);
    DialogScript::Get().ExpectFolder(dir.File("empty"));
    DialogScript::Get().ExpectMessage();
    DialogScript::Get().ExpectFolder(MakeSannyFolder(dir));
    ASSERT_TRUE(static_cast<MorvaneApp*>(wxTheApp)->OnInit());
    frame = dynamic_cast<MainFrame*>(wxTopLevelWindows.GetLast()->GetData());
    probe = std::make_unique<WindowProbe>(frame);
    EXPECT_NE(DialogScript::Get().messages.at(1).find("holds no opcode files of Sanny Builder"), std::string::npos)
        << DialogScript::Get().messages.at(1);
}

TEST_F(StartupTest, StartedElsewhereItWorksInTheDataFolderWithItsSettings) {
    MoveIniFilesToDataFolder();
    dir.Write("xdg/morvane/cfg", "2");
    const std::size_t before = TopLevelWindows();
    ASSERT_TRUE(static_cast<MorvaneApp*>(wxTheApp)->OnInit());
    EXPECT_TRUE(DialogScript::Get().messages.empty());
    ASSERT_EQ(TopLevelWindows(), before + 1);
    frame = dynamic_cast<MainFrame*>(wxTopLevelWindows.GetLast()->GetData());
    ASSERT_NE(frame, nullptr);
    probe = std::make_unique<WindowProbe>(frame);
    EXPECT_EQ(WorkingFolder(), DataFolder());
    EXPECT_EQ(probe->SelectedGame(), kGameSanAndreas);  // its cfg was read
    EXPECT_TRUE(probe->OpcodesLoaded());
    EXPECT_TRUE(probe->OpenButton()->IsEnabled());

    probe->Choose(probe->GameChoice(), GameNumber(kGameViceCity));
    probe->CloseWindow();
    EXPECT_FALSE(StillExists(frame));
    frame = nullptr;
    probe.reset();
    EXPECT_EQ(ReadBytes(DataFolder() + "/cfg"), std::vector<uint8_t>{'1'});
    EXPECT_FALSE(std::filesystem::exists(dir.File("cfg")));
}

TEST_F(StartupTest, IncompleteDataFolderRefusesAndTheMessageNamesBothFolders) {
    MoveIniFilesToDataFolder("SASCM.ini");  // one file here, two there
    const std::size_t before = TopLevelWindows();
    DialogScript::Get().ExpectQuestion(wxID_CANCEL);
    EXPECT_FALSE(static_cast<MorvaneApp*>(wxTheApp)->OnInit());
    ASSERT_EQ(DialogScript::Get().messages.size(), 1u);
    EXPECT_EQ(DialogScript::Get().messages[0], MissingMessage());
    EXPECT_EQ(TopLevelWindows(), before);
    EXPECT_EQ(WorkingFolder(), dir.Path());
    EXPECT_FALSE(std::filesystem::exists(DataFolder() + "/cfg"));
}

TEST_F(StartupTest, EachIniFileIsRequired) {
    for (const char* missing : {"SCM.ini", "SASCM.ini"}) {
        std::filesystem::rename(dir.File(missing), dir.File("away"));
        DialogScript::Get().ExpectQuestion(wxID_CANCEL);
        EXPECT_FALSE(static_cast<MorvaneApp*>(wxTheApp)->OnInit()) << missing;
        std::filesystem::rename(dir.File("away"), dir.File(missing));
    }
    EXPECT_EQ(DialogScript::Get().messages.size(), 2u);
}

TEST_F(StartupTest, WithTheIniFilesTheWindowIsShownWithItsIcon) {
    const std::size_t before = TopLevelWindows();
    ASSERT_TRUE(static_cast<MorvaneApp*>(wxTheApp)->OnInit());
    ASSERT_EQ(TopLevelWindows(), before + 1);
    auto* shown = dynamic_cast<MainFrame*>(wxTopLevelWindows.GetLast()->GetData());
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(shown->IsShown());
    EXPECT_EQ(ToStd(shown->GetTitle()), "Morvane v" MORVANE_VERSION_SHORT);
    EXPECT_TRUE(shown->GetIcon().IsOk());
    frame = shown;
    probe = std::make_unique<WindowProbe>(frame);
    EXPECT_TRUE(probe->OpenButton()->IsEnabled());
}

TEST_F(StartupTest, SavedGameIsReadFromTheSettingsFile) {
    const struct {
        const char* text;
        GameId game;
    } cases[] = {
        {"0", kGameGta3},
        {"1", kGameViceCity},
        {"2", kGameSanAndreas},
        {"5", kGameSanAndreasMobile},
        {"6", kGameGta3},
        {"0x2", kGameSanAndreas},
        {"102", kGameSanAndreas},
        {"10", kGameGta3},
        {" \t\n\r\n1", kGameViceCity},
        {"2 junk after", kGameSanAndreas},
        {"", kGameGta3},
        {"zz", kGameGta3},
    };
    for (const auto& c : cases) {
        dir.Write("cfg", std::string(c.text));
        WindowProbe& w = Window();
        EXPECT_EQ(w.SelectedGame(), c.game) << "cfg: \"" << c.text << "\"";
        EXPECT_EQ(w.GameChoice()->GetSelection(), GameNumber(c.game)) << c.text;
        EXPECT_TRUE(w.OpcodesLoaded());
        // The table is that game's: only SASCM.ini knows the CLEO+ key test.
        EXPECT_EQ(w.Table().Game(), c.game) << c.text;
        EXPECT_EQ(w.Table().Find(0x0E3D) != nullptr, PcEditionOf(c.game) == kGameSanAndreas) << c.text;
        DestroyWindow();
    }
}

TEST_F(StartupTest, MissingSettingsFileMeansGta3Silently) {
    WindowProbe& w = Window();
    EXPECT_EQ(w.SelectedGame(), kGameGta3);
    EXPECT_EQ(ToStd(w.GameChoice()->GetStringSelection()), "GTA III");
    EXPECT_TRUE(w.OpenButton()->IsEnabled());
    EXPECT_TRUE(DialogScript::Get().messages.empty());
}

TEST_F(StartupTest, ClosingWritesTheChosenGameAsOneByte) {
    WindowProbe& w = Window();
    w.Choose(w.GameChoice(), GameNumber(kGameViceCity));
    w.CloseWindow();
    EXPECT_FALSE(StillExists(frame));
    frame = nullptr;  // destroyed by the close
    probe.reset();
    EXPECT_EQ(ReadBytes(dir.File("cfg")), std::vector<uint8_t>{'1'});

    WindowProbe& again = Window();
    EXPECT_EQ(again.SelectedGame(), kGameViceCity);
}

// A settings file that is no regular file (a folder, a FIFO that would make
// a reader wait for ever) is said at start and left as it is at the close,
// which still closes.
TEST_F(StartupTest, ASettingsFileThatIsNoFileIsSaidAndLeftAsItIs) {
    for (const char* kind : {"folder", "FIFO"}) {
        SCOPED_TRACE(kind);
        std::filesystem::remove_all(dir.File("cfg"));
        if (std::string(kind) == "folder")
            std::filesystem::create_directory(dir.File("cfg"));
        else
            ASSERT_EQ(mkfifo(dir.File("cfg").c_str(), 0644), 0);
        DialogScript::Get().ExpectMessage();
        WindowProbe& w = Window();
        EXPECT_EQ(DialogScript::Get().messages.back(),
                  std::string("The settings file cfg cannot be read (") +
                      (std::string(kind) == "folder" ? "is a folder" : "is a FIFO, not a file") +
                      "). GTA III is chosen, and the file is left as it is.");
        EXPECT_EQ(w.SelectedGame(), kGameGta3);
        w.CloseWindow();
        EXPECT_FALSE(StillExists(frame));
        frame = nullptr;
        probe.reset();
        const auto status = std::filesystem::status(dir.File("cfg"));
        EXPECT_EQ(status.type(), std::string(kind) == "folder" ? std::filesystem::file_type::directory
                                                               : std::filesystem::file_type::fifo);
    }
}

TEST_F(StartupTest, ChoosingAGameReloadsItsTable) {
    WindowProbe& w = Window();
    w.Choose(w.GameChoice(), GameNumber(kGameSanAndreas));
    EXPECT_EQ(w.SelectedGame(), kGameSanAndreas);
    EXPECT_TRUE(w.OpcodesLoaded());
    EXPECT_NE(w.Table().Find(kKeyOpcodeSanAndreas), nullptr);

    // A table that cannot be read disables Open File.
    std::filesystem::remove(dir.File("VICESCM.ini"));
    w.Choose(w.GameChoice(), GameNumber(kGameViceCity));
    EXPECT_FALSE(w.OpcodesLoaded());
    EXPECT_FALSE(w.OpenButton()->IsEnabled());

    // Opcodes of today's libraries, up to 0x2xxx, load with the rest.
    dir.Write("SCM.ini", "[x]\n0001=1\n0C00=1\n2080=1\n");
    w.Choose(w.GameChoice(), GameNumber(kGameGta3));
    EXPECT_TRUE(w.OpcodesLoaded());
    EXPECT_TRUE(w.OpenButton()->IsEnabled());
    EXPECT_NE(w.Table().Find(0x2080), nullptr);

    w.Choose(w.GameChoice(), GameNumber(kGameSanAndreas));
    EXPECT_TRUE(w.OpenButton()->IsEnabled());
}

TEST_F(StartupTest, SavedGameWithOpcodesBeyondTheOldRangeLoadsAndSkipsOnlyUnusableLines) {
    dir.Write("cfg", "2");
    dir.Write("SASCM.ini", "[x]\nFFFFF=1\n0C01=1\n8000=1\n");
    WindowProbe& w = Window();
    EXPECT_EQ(w.SelectedGame(), kGameSanAndreas);
    EXPECT_TRUE(w.OpcodesLoaded());
    EXPECT_TRUE(w.OpenButton()->IsEnabled());
    EXPECT_NE(w.Table().Find(0x0C01), nullptr);
    EXPECT_EQ(w.Table().Find(0x8000), nullptr);
    EXPECT_TRUE(DialogScript::Get().messages.empty());
}

TEST_F(StartupTest, ControlsStartInTheNoFileState) {
    WindowProbe& w = Window();
    EXPECT_EQ(w.Enabled(), "1001000");
    // Over the empty list, how to fill it, whole in the window as first made.
    EXPECT_EQ(ToStd(w.Heading()->GetLabel()), "Open a script (File \u25B8 Open File..., Ctrl+O) to list its key tests");
    EXPECT_GE(w.Heading()->GetSize().x, w.Heading()->GetBestSize().x);
    EXPECT_TRUE(w.List()->IsEnabled());
    EXPECT_EQ(w.List()->GetItemCount(), 0);
    EXPECT_TRUE(w.Path()->GetValue().empty());
    EXPECT_FALSE(w.Path()->IsEditable());
    EXPECT_FALSE(w.Gauge()->IsShown());  // until a script is read
    // Controls inside a box belong to the box, the others to the panel.
    for (wxWindow* control : w.AllControls()) {
        EXPECT_TRUE(control->IsShown());
        wxWindow* parent = control->GetParent();
        if (auto* box = dynamic_cast<wxStaticBox*>(parent)) parent = box->GetParent();
        EXPECT_EQ(parent, w.Panel()) << ToStd(control->GetLabel());
    }
    EXPECT_NE(dynamic_cast<wxStaticBox*>(w.OpenButton()->GetParent()), nullptr);
    EXPECT_NE(dynamic_cast<wxStaticBox*>(w.VkeyChoice()->GetParent()), nullptr);

    ASSERT_EQ(w.GameChoice()->GetCount(), 6u);
    EXPECT_EQ(ToStd(w.GameChoice()->GetString(0)), "GTA III");
    EXPECT_EQ(ToStd(w.GameChoice()->GetString(1)), "Vice City");
    EXPECT_EQ(ToStd(w.GameChoice()->GetString(2)), "San Andreas");
    ASSERT_EQ(w.PadChoice()->GetCount(), 2u);
    EXPECT_EQ(ToStd(w.PadChoice()->GetString(0)), "Pad 1");
    EXPECT_EQ(ToStd(w.PadChoice()->GetString(1)), "Pad 2");
    ASSERT_EQ(w.VkeyChoice()->GetCount(), 256u);
    // Each VKey with its code, those the table has no name for too.
    EXPECT_EQ(ToStd(w.VkeyChoice()->GetString(0)), "VKey 0x00");
    EXPECT_EQ(ToStd(w.VkeyChoice()->GetString(1)), "Left mouse button (0x01)");
    EXPECT_EQ(ToStd(w.VkeyChoice()->GetString(0xA0)), "Left Shift (0xA0)");
    EXPECT_EQ(ToStd(w.VkeyChoice()->GetString(0xE8)), "VKey 0xE8");
    ASSERT_EQ(w.GameKeyChoice()->GetCount(), 20u);
    EXPECT_EQ(ToStd(w.GameKeyChoice()->GetString(12)), "Start");
    EXPECT_EQ(ToStd(w.GameKeyChoice()->GetString(19)), "R3: Look Behind | Submission");

    const wxString credit = w.Credit()->GetLabel();
    EXPECT_EQ(credit.Freq('\n'), 1);
    EXPECT_TRUE(w.Credit()->GetWindowStyle() & wxALIGN_RIGHT);
}

namespace {

// Where a control is in the panel, boxes taken into account.
wxRect InPanel(wxWindow* control, wxWindow* panel) {
    wxRect rect = control->GetRect();
    for (wxWindow* parent = control->GetParent(); parent != nullptr && parent != panel; parent = parent->GetParent())
        rect.Offset(parent->GetPosition());
    return rect;
}

}  // namespace

TEST_F(StartupTest, TheListIsLeftOfTheBoxesThatEditIt) {
    WindowProbe& w = Window();
    w.f->Show();
    wxTheApp->Yield(true);
    wxWindow* panel = w.Panel();
    auto at = [&](wxWindow* control) { return InPanel(control, panel); };
    // The list, under its heading and the filter, beside everything else.
    EXPECT_LT(at(w.Heading()).GetBottom(), at(w.FilterText()).GetTop());
    EXPECT_LT(at(w.FilterText()).GetBottom(), at(w.List()).GetTop());
    for (wxWindow* right : {static_cast<wxWindow*>(w.OpenButton()), static_cast<wxWindow*>(w.VkeyChoice()),
                            static_cast<wxWindow*>(w.Context())})
        EXPECT_LT(at(w.List()).GetRight(), at(right).GetLeft());
    // Down the right: the file box's path and buttons (two a row), the game,
    // the key choices, the view around the test, the credit.
    const std::vector<wxWindow*> column = {w.Path(),       w.OpenButton(), w.CloseButton(),
                                           w.GameChoice(), w.PadChoice(),  w.GameKeyChoice(),
                                           w.VkeyChoice(), w.Context(),    w.Credit()};
    EXPECT_LT(at(w.OpenButton()).GetRight(), at(w.SaveButton()).GetLeft());
    EXPECT_LT(at(w.CloseButton()).GetRight(), at(w.KeyMapButton()).GetLeft());
    for (std::size_t i = 1; i < column.size(); ++i)
        EXPECT_LT(at(column[i - 1]).GetBottom(), at(column[i]).GetTop()) << ToStd(column[i]->GetName());
    // Each label stands left of its choice, on its row.
    for (const auto& [label, choice] :
         {std::make_pair("&Game", w.GameChoice()), std::make_pair("&Pad", w.PadChoice()),
          std::make_pair("Game &Key", w.GameKeyChoice()), std::make_pair("&VKey", w.VkeyChoice())}) {
        const wxRect text = at(wxWindow::FindWindowByLabel(label, w.f));
        EXPECT_LT(text.GetRight(), at(choice).GetLeft()) << label;
        EXPECT_TRUE(text.GetTop() <= at(choice).GetBottom() && at(choice).GetTop() <= text.GetBottom()) << label;
    }
    // Press key... beside the VKey choice; the credit at the right edge.
    EXPECT_LT(at(w.VkeyChoice()).GetRight(), at(w.PressKeyButton()).GetLeft());
    EXPECT_GE(at(w.Credit()).GetRight(), at(w.Context()).GetRight() - 10);
}

TEST_F(StartupTest, TheWindowGrowsButNeverBelowItsContent) {
    WindowProbe& w = Window();
    const long style = w.f->GetWindowStyle();
    EXPECT_TRUE(style & wxRESIZE_BORDER);
    EXPECT_TRUE(style & wxMAXIMIZE_BOX);
    const wxSize least = w.f->GetMinSize();
    // It fits a 1024x768 screen with a taskbar (40 pixels) and a title bar (30).
    EXPECT_LE(least.x, 1024);
    EXPECT_LE(least.y, 768 - 40 - 30);
    EXPECT_GE(w.f->GetSize().x, least.x);
    EXPECT_GE(w.f->GetSize().y, least.y);
    w.f->Show();
    wxTheApp->Yield(true);
    auto expectWhole = [&](const char* when) {
        const wxRect client(wxPoint(0, 0), w.Panel()->GetClientSize());
        for (wxWindow* control : w.AllControls()) {
            wxRect r = control->GetRect();
            if (control->GetParent() != w.Panel()) r.Offset(control->GetParent()->GetPosition());
            EXPECT_TRUE(client.Contains(r))
                << when << ": " << ToStd(control->GetLabel()) << " at " << r.x << "," << r.y << " " << r.width << "x"
                << r.height << " outside " << client.width << "x" << client.height;
            EXPECT_GE(r.width, control->GetBestSize().x / 2) << when << ": " << ToStd(control->GetLabel());
        }
    };
    expectWhole("laid out");
    w.Screenshot("main-window.png");

    // Larger: the list and the view around the test take the room.
    const wxSize listBefore = w.List()->GetSize();
    const wxSize contextBefore = w.Context()->GetSize();
    w.f->SetSize(w.f->GetSize() + wxSize(300, 200));
    w.f->Layout();
    EXPECT_GT(w.List()->GetSize().x, listBefore.x);
    EXPECT_GT(w.List()->GetSize().y, listBefore.y);
    EXPECT_GT(w.Context()->GetSize().x, contextBefore.x);
    EXPECT_GT(w.Context()->GetSize().y, contextBefore.y);
    expectWhole("larger");

    // Asked to be smaller than its content, it stays at its least size.
    w.f->SetSize(wxSize(200, 150));
    EXPECT_GE(w.f->GetSize().x, least.x);
    EXPECT_GE(w.f->GetSize().y, least.y);
}

// The window tests fail on what GTK says is a misuse of it, logged either way.
TEST(ToolkitComplaints, FailTheTestThatCausedThem) {
#ifdef __WXGTK__
    EXPECT_NONFATAL_FAILURE(g_log("Gtk", G_LOG_LEVEL_CRITICAL, "a widget used wrongly"),
                            "Gtk-CRITICAL: a widget used wrongly");
    EXPECT_NONFATAL_FAILURE(g_log_structured("Gtk", G_LOG_LEVEL_WARNING, "MESSAGE", "a gadget drawn wrongly"),
                            "Gtk-WARNING: a gadget drawn wrongly");
#endif
}

// The filter shown with its text in a shown window draws without complaint.
TEST_F(StartupTest, TheShownWindowDrawsItsFilterWithoutComplaint) {
    dir.Write("cfg", "2");
    std::filesystem::copy_file(std::string(MORVANE_SOURCE_DIR) + "/demo/sa_keys.cs", dir.File("sa_keys.cs"));
    WindowProbe& w = Window();
    w.f->Show();
    w.Open(dir.File("sa_keys.cs"));
    for (const char* text : {"F2", "", "0x"}) {
        w.Filter(text);
        for (int i = 0; i < 5; ++i) {
            wxTheApp->Yield(true);
            wxMilliSleep(10);
        }
    }
}

// A button and the menu item of the same command say the same words, and
// each command's menu item shows its shortcut.
TEST_F(StartupTest, MenusAndButtonsNameTheirCommandsAlike) {
    WindowProbe& w = Window();
    const wxMenuBar* menus = w.f->GetMenuBar();
    const std::pair<wxButton*, int> kSame[] = {{w.OpenButton(), wxID_OPEN},
                                               {w.SaveButton(), wxID_SAVEAS},
                                               {w.CloseButton(), wxID_CLOSE},
                                               {w.KeyMapButton(), w.KeyMapMenuId()},
                                               {w.PressKeyButton(), w.PressKeyMenuId()},
                                               {w.ChangeAllButton(), w.ChangeAllMenuId()}};
    for (const auto& [button, id] : kSame)
        EXPECT_EQ(ToStd(button->GetLabelText()), ToStd(menus->FindItem(id)->GetItemLabelText()));
    for (const int id :
         {static_cast<int>(wxID_OPEN), static_cast<int>(wxID_SAVE), static_cast<int>(wxID_SAVEAS),
          static_cast<int>(wxID_CLOSE), w.KeyMapMenuId(), static_cast<int>(wxID_EXIT), static_cast<int>(wxID_UNDO),
          static_cast<int>(wxID_REDO), w.PressKeyMenuId(), w.ChangeAllMenuId()}) {
        const std::unique_ptr<wxAcceleratorEntry> shortcut(menus->FindItem(id)->GetAccel());
        EXPECT_NE(shortcut, nullptr) << ToStd(menus->FindItem(id)->GetItemLabelText());
    }
}

TEST_F(StartupTest, SizeAndPlaceAreRememberedInTheUsersConfiguration) {
    WindowProbe& first = Window();
    first.f->Show();
    const wxSize larger = first.f->GetSize() + wxSize(120, 80);
    first.f->SetSize(larger);
    first.CloseWindow();
    frame = nullptr;
    probe.reset();
    for (int i = 0; i < 3; ++i) wxTheApp->ProcessIdle();

    WindowProbe& second = Window();
    EXPECT_EQ(second.f->GetSize(), larger);
    // Kept in wxWidgets' own store, not in the game folder (cfg stays one byte).
    EXPECT_EQ(ReadBytes(dir.File("cfg")).size(), 1u);
    EXPECT_TRUE(wxConfigBase::Get()->HasEntry("/Window/Width"));
}

TEST_F(StartupTest, HandlersAnswerTheirOwnControls) {
    dir.Write("cfg", "1");
    WindowProbe& w = Window();
    // Bound: each control's event reaches its handler.
    w.Choose(w.GameChoice(), GameNumber(kGameSanAndreas));
    EXPECT_EQ(w.SelectedGame(), kGameSanAndreas);
    DialogScript::Get().ExpectCancelledFile();
    w.Click(w.OpenButton());
    EXPECT_EQ(DialogScript::Get().fileDialogs.size(), 1u);
    // The wrong event for a control reaches nothing.
    wxCommandEvent wrong(wxEVT_CHOICE, w.OpenButton()->GetId());
    wrong.SetEventObject(w.OpenButton());
    w.OpenButton()->ProcessWindowEvent(wrong);
    EXPECT_EQ(w.SelectedGame(), kGameSanAndreas);
}

// What the window does first when it is destroyed: after UnbindAll, or once
// the bindings end, no event reaches a handler.
TEST(EventBindings, AfterUnbindingNoEventReachesAHandler) {
    auto* frame = new wxFrame(nullptr, wxID_ANY, "bindings");
    auto* button = new wxButton(frame, wxID_ANY, "button");
    struct Counter {
        int clicks = 0;
        void OnClick(wxCommandEvent& /*event*/) { ++clicks; }
    } counter;
    auto click = [&] {
        wxCommandEvent event(wxEVT_BUTTON, button->GetId());
        event.SetEventObject(button);
        button->ProcessWindowEvent(event);
    };
    {
        EventBindings bindings;
        bindings.Bind(button, wxEVT_BUTTON, &Counter::OnClick, &counter);
        click();
        EXPECT_EQ(counter.clicks, 1);
        bindings.UnbindAll();
        click();
        EXPECT_EQ(counter.clicks, 1);
        bindings.Bind(button, wxEVT_BUTTON, &Counter::OnClick, &counter);
        click();
        EXPECT_EQ(counter.clicks, 2);
    }
    click();
    EXPECT_EQ(counter.clicks, 2);
    delete frame;
}

TEST_F(StartupTest, AScriptNamedOnTheCommandLineOpensAtStart) {
    dir.Write("cfg", "2");
    std::filesystem::copy_file(std::string(MORVANE_SOURCE_DIR) + "/demo/sa_keys.cs", dir.File("sa_keys.cs"));
    wxArrayString arguments;
    arguments.Add("morvane");
    arguments.Add("sa_keys.cs");  // named from the folder Morvane starts in
    ASSERT_TRUE(static_cast<MorvaneApp*>(wxTheApp)->Start(arguments));
    auto* shown = dynamic_cast<MainFrame*>(wxTopLevelWindows.GetLast()->GetData());
    ASSERT_NE(shown, nullptr);
    frame = shown;
    probe = std::make_unique<WindowProbe>(frame);
    EXPECT_EQ(ToStd(probe->Path()->GetValue()), dir.File("sa_keys.cs"));
    EXPECT_EQ(probe->Tests().size(), 5u);
    EXPECT_EQ(ToStd(shown->GetTitle()), "sa_keys.cs - Morvane v" MORVANE_VERSION_SHORT);
}

TEST_F(StartupTest, ACommandLineScriptIsOpenedOnlyAfterTheIniChecks) {
    std::filesystem::remove(dir.File("SASCM.ini"));
    std::filesystem::copy_file(std::string(MORVANE_SOURCE_DIR) + "/demo/sa_keys.cs", dir.File("sa_keys.cs"));
    const std::size_t before = TopLevelWindows();
    DialogScript::Get().ExpectMessage();
    wxArrayString arguments;
    arguments.Add("morvane");
    arguments.Add(dir.File("sa_keys.cs"));
    EXPECT_FALSE(static_cast<MorvaneApp*>(wxTheApp)->Start(arguments));
    EXPECT_EQ(TopLevelWindows(), before);
    EXPECT_EQ(DialogScript::Get().messages.at(0).rfind("Couldn't find opcodes ini files.", 0), 0u);
}
