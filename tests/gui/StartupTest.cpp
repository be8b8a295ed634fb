// Start-up, the settings file, the game choice and the window's layout.

#include <wx/app.h>
#include <wx/gauge.h>
#include <wx/listbox.h>
#include <wx/sizer.h>
#include <wx/config.h>
#include <wx/statbox.h>
#include <wx/textctrl.h>
#include <wx/toplevel.h>

#include <filesystem>
#include <sstream>

#include "MorvaneVersion.h"
#include "app/MorvaneApp.h"
#include "gui/GuiSupport.h"
#include "opcodes/OpcodeTable.h"
#include "settings/WorkFolder.h"
#include "support/Printers.h"
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

TEST_F(StartupTest, MissingIniFileRefusesToStartWithoutWindowOrSettings) {
    std::filesystem::remove(dir.File("VICESCM.ini"));
    const std::size_t before = TopLevelWindows();
    DialogScript::Get().ExpectMessage();
    EXPECT_FALSE(static_cast<MorvaneApp*>(wxTheApp)->OnInit());
    ASSERT_EQ(DialogScript::Get().messages.size(), 1u);
    EXPECT_EQ(DialogScript::Get().messages[0], MissingMessage());
    EXPECT_NE(DialogScript::Get().messages[0].find(dir.Path() + "\n(missing there: VICESCM.ini)"), std::string::npos);
    EXPECT_EQ(DialogScript::Get().captions[0], "Message");
    EXPECT_EQ(TopLevelWindows(), before);
    EXPECT_FALSE(std::filesystem::exists(dir.File("cfg")));
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
    DialogScript::Get().ExpectMessage();
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
        DialogScript::Get().ExpectMessage();
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
        {"3", kGameGta3},
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
        EXPECT_EQ(w.Table().Find(0x0E3D) != nullptr, c.game == kGameSanAndreas) << c.text;
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

TEST_F(StartupTest, ClosingStillDestroysTheWindowWhenSettingsCannotBeWritten) {
    std::filesystem::create_directory(dir.File("cfg"));
    WindowProbe& w = Window();
    w.CloseWindow();
    EXPECT_FALSE(StillExists(frame));
    frame = nullptr;
    probe.reset();
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("cfg")));
}

TEST_F(StartupTest, ChoosingAGameReloadsItsTable) {
    WindowProbe& w = Window();
    w.Choose(w.GameChoice(), GameNumber(kGameSanAndreas));
    EXPECT_EQ(w.SelectedGame(), kGameSanAndreas);
    EXPECT_TRUE(w.OpcodesLoaded());
    EXPECT_NE(w.Table().Find(kKeyOpcodeSanAndreas), nullptr);

    // A table that cannot be read keeps the old entries and disables Open File.
    std::filesystem::remove(dir.File("VICESCM.ini"));
    w.Choose(w.GameChoice(), GameNumber(kGameViceCity));
    EXPECT_FALSE(w.OpcodesLoaded());
    EXPECT_FALSE(w.OpenButton()->IsEnabled());
    EXPECT_NE(w.Table().Find(kKeyOpcodeSanAndreas), nullptr);

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
    EXPECT_TRUE(w.List()->IsEnabled());
    EXPECT_EQ(w.List()->GetCount(), 0u);
    EXPECT_TRUE(w.Path()->GetValue().empty());
    EXPECT_FALSE(w.Path()->IsEditable());
    EXPECT_EQ(w.Gauge()->GetRange(), 100);
    EXPECT_EQ(w.Gauge()->GetValue(), 0);
    // Controls inside a box belong to the box, the others to the panel.
    for (wxWindow* control : w.AllControls()) {
        EXPECT_TRUE(control->IsShown());
        wxWindow* parent = control->GetParent();
        if (auto* box = dynamic_cast<wxStaticBox*>(parent)) parent = box->GetParent();
        EXPECT_EQ(parent, w.Panel()) << ToStd(control->GetLabel());
    }
    EXPECT_NE(dynamic_cast<wxStaticBox*>(w.OpenButton()->GetParent()), nullptr);
    EXPECT_NE(dynamic_cast<wxStaticBox*>(w.VkeyChoice()->GetParent()), nullptr);

    ASSERT_EQ(w.GameChoice()->GetCount(), 3u);
    EXPECT_EQ(ToStd(w.GameChoice()->GetString(0)), "GTA III");
    EXPECT_EQ(ToStd(w.GameChoice()->GetString(1)), "Vice City");
    EXPECT_EQ(ToStd(w.GameChoice()->GetString(2)), "San Andreas");
    ASSERT_EQ(w.PadChoice()->GetCount(), 2u);
    EXPECT_EQ(ToStd(w.PadChoice()->GetString(0)), "Pad 1");
    EXPECT_EQ(ToStd(w.PadChoice()->GetString(1)), "Pad 2");
    ASSERT_EQ(w.VkeyChoice()->GetCount(), 256u);
    EXPECT_EQ(ToStd(w.VkeyChoice()->GetString(0)), "?");
    EXPECT_EQ(ToStd(w.VkeyChoice()->GetString(1)), "Left mouse button");
    EXPECT_EQ(ToStd(w.VkeyChoice()->GetString(0xA0)), "Left Shift");
    EXPECT_EQ(ToStd(w.VkeyChoice()->GetString(255)), "?");
    ASSERT_EQ(w.GameKeyChoice()->GetCount(), 20u);
    EXPECT_EQ(ToStd(w.GameKeyChoice()->GetString(12)), "Start");
    EXPECT_EQ(ToStd(w.GameKeyChoice()->GetString(19)), "R3: Look Behind | Submission");

    const wxString credit = w.Credit()->GetLabel();
    EXPECT_EQ(credit.Freq('\n'), 1);
    EXPECT_TRUE(w.Credit()->GetWindowStyle() & wxALIGN_RIGHT);
}

namespace {

std::string Describe(wxSizer* sizer);

std::string DescribeItem(wxSizerItem* item) {
    std::ostringstream out;
    if (item->IsWindow()) {
        wxWindow* w = item->GetWindow();
        if (auto* text = dynamic_cast<wxStaticText*>(w))
            out << "text(" << ToStd(text->GetLabel()) << ")";
        else if (dynamic_cast<wxListBox*>(w))
            out << "list";
        else if (dynamic_cast<wxTextCtrl*>(w))
            out << "path";
        else if (auto* button = dynamic_cast<wxButton*>(w))
            out << "button(" << ToStd(button->GetLabel()) << ")";
        else if (dynamic_cast<wxChoice*>(w))
            out << "choice";
        else if (dynamic_cast<wxGauge*>(w))
            out << "gauge";
        else if (w->GetSizer() != nullptr)
            out << "panel" << Describe(w->GetSizer());
        else
            out << "window";
    } else if (item->IsSizer()) {
        out << Describe(item->GetSizer());
    }
    out << ":" << item->GetProportion() << "/" << std::hex << item->GetFlag() << std::dec << "/" << item->GetBorder();
    return out.str();
}

std::string Describe(wxSizer* sizer) {
    std::ostringstream out;
    if (auto* box = dynamic_cast<wxStaticBoxSizer*>(sizer))
        out << "box(" << ToStd(box->GetStaticBox()->GetLabel()) << ")";
    else if (auto* grid = dynamic_cast<wxGridSizer*>(sizer))
        out << "grid" << grid->GetRows() << "x" << grid->GetCols() << "," << grid->GetVGap() << "," << grid->GetHGap();
    else if (auto* plain = dynamic_cast<wxBoxSizer*>(sizer))
        out << (plain->GetOrientation() == wxHORIZONTAL ? "h" : "v");
    out << "[";
    bool first = true;
    for (wxSizerItem* item : sizer->GetChildren()) {
        out << (first ? "" : " ") << DescribeItem(item);
        first = false;
    }
    out << "]";
    return out.str();
}

}  // namespace

TEST_F(StartupTest, LayoutTreeHasItsProportionsFlagsAndGaps) {
    WindowProbe& w = Window();
    // The list and the view around the selected test take the room a larger
    // window gives; labels sit centred beside their choices.
    const std::string expected =
        "h[panel"
        "h[v[text(Occurrences found:):0/20f0/5 h[window:1/2000/0 choice:0/10/5]:0/20f0/5 list:1/20f0/5]:1/20f0/5 "
        "v["
        "box(File)[path:0/20f0/5 button(&Open File):0/20f0/5 button(&Save File):0/20f0/5 button(&Close File):0/20f0/5 "
        "button(Key &map...):0/20f0/5 "
        "grid1x2,0,0[text(&Game):0/8f0/5 choice:0/20f0/5]:0/2000/0]:0/20f0/5 "
        "box(Key configuration)[grid3x2,0,50[text(&Pad):0/8f0/5 h[choice:0/800/0]:0/2f0/5 "
        "text(Game &Key):0/8f0/5 h[choice:0/800/0]:0/2f0/5 "
        "text(&VKey):0/8f0/5 h[choice:0/800/0 button(P&ress key...):0/810/5]:0/2f0/5]:0/20f0/5 "
        "h[text(C&ode):0/8f0/5 path:1/8f0/5 button(S&et code):0/8f0/5]:0/2000/0 "
        "button(C&hange all...):0/2f0/5]:0/20f0/5 "
        "box(Around the selected test)[path:1/20f0/5]:1/20f0/5 "
        "gauge:0/20f0/5 text(" +
        ToStd(w.Credit()->GetLabel()) +
        "):0/2f0/5"
        "]:1/2000/0]"
        ":1/2000/0]";
    EXPECT_EQ(Describe(w.f->GetSizer()), expected);
}

TEST_F(StartupTest, TheWindowGrowsButNeverBelowItsContent) {
    WindowProbe& w = Window();
    const long style = w.f->GetWindowStyle();
    EXPECT_TRUE(style & wxRESIZE_BORDER);
    EXPECT_TRUE(style & wxMAXIMIZE_BOX);
    const wxSize least = w.f->GetMinSize();
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

TEST_F(StartupTest, HandlersAnswerTheirOwnControlsAndAreUnboundBeforeDestruction) {
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

    // What the destructor does first: after it, no event reaches a handler.
    w.UnbindHandlers();
    w.Choose(w.GameChoice(), GameNumber(kGameGta3));
    EXPECT_EQ(w.SelectedGame(), kGameSanAndreas);
    w.Click(w.OpenButton());  // no dialog opens: an unexpected one would fail the test
    EXPECT_EQ(DialogScript::Get().fileDialogs.size(), 1u);
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
    EXPECT_EQ(probe->Occurrences().size(), 5u);
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
