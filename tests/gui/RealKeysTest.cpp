// Keys as a user presses them: sent to the shown window through the X
// server (xdotool), not as events made in the test.

#include <wx/app.h>
#include <wx/statusbr.h>
#include <wx/utils.h>

#include <chrono>
#include <cstdlib>
#include <functional>

#include "gui/GuiSupport.h"
#include "keys/KeyNames.h"
#include "support/Printers.h"

using namespace morvane;
using namespace morvane::test;

namespace {

// Lets the window handle what the X server sends until `done` holds, for
// two seconds at most.
bool WaitUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        wxTheApp->Yield(true);
        wxMilliSleep(5);
    }
    return done();
}

}  // namespace

class RealKeysTest : public WindowTest {
protected:
    // The window shown with a demo script open, and given the keyboard focus.
    WindowProbe& ShowDemo(const std::string& demo) {
        dir.Write("cfg", "2");
        WindowProbe& w = Window();
        w.Open(Copy(demo));
        w.f->Show();
        w.f->Raise();
        for (int i = 0; i < 10; ++i) wxTheApp->Yield(true);
        const std::string title = ToStd(w.f->GetTitle());
        EXPECT_EQ(Run("xdotool search --sync --onlyvisible --name '^" + title.substr(0, title.find(' ')) +
                      "' windowfocus --sync"),
                  0);
        return w;
    }
    // Presses and releases keys as xdotool names them ("ctrl+w", or an X key code: "62").
    int Keys(const std::string& keys) { return Run("xdotool key --delay 20 " + keys); }
    static int Run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }
};

// Each side of Shift, Ctrl and Alt, both Windows keys, the Menu key and
// Enter, each taken as the key it is on a 16-bit parameter; the status bar
// names it, and the key's release reaches nothing else.
TEST_F(RealKeysTest, PressKeyTakesTheKeyPressedSideIncluded) {
    WindowProbe& w = ShowDemo("sa_keys.cs");
    w.SelectLine(1);  // Left Shift, a 16-bit parameter
    // By the X server's key codes (evdev's, as Xvfb has them): xdotool sends
    // a modifier named by its key symbol from the left key whichever side is
    // named.
    const struct {
        const char* key;
        int32_t vkey;
    } kKeys[] = {{"50", 0xA0},  {"62", 0xA1},  {"37", 0xA2},  {"105", 0xA3}, {"64", 0xA4}, {"108", 0xA5},
                 {"133", 0x5B}, {"134", 0x5C}, {"135", 0x5D}, {"36", 0x0D},  {"73", 0x76}};
    for (const auto& key : kKeys) {
        SCOPED_TRACE(key.key);
        w.Click(w.PressKeyButton());
        ASSERT_TRUE(w.KeyPrompt()->HasFocus() || WaitUntil([&] { return w.KeyPrompt()->HasFocus(); }));
        EXPECT_EQ(Keys(key.key), 0);
        EXPECT_TRUE(WaitUntil([&] { return w.PressKeyButton()->IsShown(); })) << "still waiting";
        EXPECT_EQ(w.Tests()[1].key, key.vkey);
        EXPECT_EQ(ToStd(w.f->GetStatusBar()->GetStatusText()), "Took " + VKeyEntryName(key.vkey));
    }
}

// Every menu command's shortcut works wherever the focus is: after Close
// File (whose button had it), in the cheat code's field, in the filter.
TEST_F(RealKeysTest, MenuShortcutsWorkWhateverHasTheFocus) {
    WindowProbe& w = ShowDemo("sa_cheats.cs");
    w.CheatText()->SetFocus();
    EXPECT_EQ(Keys("ctrl+m"), 0);
    EXPECT_TRUE(WaitUntil([&] { return w.keyMap() != nullptr; })) << "Ctrl+M in the code's field";
    w.keyMap()->Close();
    w.f->Raise();
    Run("xdotool search --sync --onlyvisible --name '^sa_cheats' windowfocus --sync");

    w.CloseButton()->SetFocus();
    EXPECT_EQ(Keys("ctrl+w"), 0);
    EXPECT_TRUE(WaitUntil([&] { return !w.Session().IsOpen(); })) << "Ctrl+W";
    EXPECT_EQ(Keys("ctrl+1"), 0);
    EXPECT_TRUE(WaitUntil([&] { return w.Session().IsOpen(); })) << "Ctrl+1 after Ctrl+W";

    w.FilterText()->SetFocus();
    w.SelectLine(3);                                                                      // F2, a key test
    DialogScript::Get().Expect([](wxDialog*) { return static_cast<int>(wxID_CANCEL); });  // Change All's list
    EXPECT_EQ(Keys("ctrl+h"), 0);
    EXPECT_TRUE(WaitUntil([] { return DialogScript::Get().Pending() == 0; })) << "Ctrl+H in the filter";
}

// The game chosen with the mouse from the list the choice opens, as a user
// chooses it, both ways; GTK has nothing to complain of (any complaint fails
// the test).
TEST_F(RealKeysTest, AGameChosenWithTheMouseLoadsItsTable) {
    dir.Write("cfg", "0");
    WindowProbe& w = Window();
    w.f->Show();
    w.f->Raise();
    for (int i = 0; i < 10; ++i) wxTheApp->Yield(true);
    for (const GameId game : {kGameSanAndreas, kGameGta3, kGameViceCity}) {
        const wxRect choice = w.GameChoice()->GetScreenRect();
        const wxPoint centre(choice.x + choice.width / 2, choice.y + choice.height / 2);
        EXPECT_EQ(Run("xdotool mousemove " + std::to_string(centre.x) + " " + std::to_string(centre.y) + " click 1"),
                  0);
        for (int i = 0; i < 20; ++i) {
            wxTheApp->Yield(true);
            wxMilliSleep(10);
        }
        // The open list: each game a row below the first, as tall as the choice.
        const int row = GameNumber(game) - GameNumber(w.SelectedGame());
        EXPECT_EQ(Run("xdotool mousemove " + std::to_string(centre.x) + " " +
                      std::to_string(centre.y + row * choice.height) + " click 1"),
                  0);
        EXPECT_TRUE(WaitUntil([&] { return w.SelectedGame() == game; })) << GameName(game);
        EXPECT_TRUE(w.OpcodesLoaded());
    }
}

// The VKey list opened with the mouse, each entry with its code, and a key
// chosen from it with the keyboard as a user does; photographed for README.
TEST_F(RealKeysTest, AVKeyIsChosenFromTheOpenList) {
    WindowProbe& w = ShowDemo("sa_keys.cs");
    w.SelectLine(1);  // Left Shift, a 16-bit parameter
    const wxRect choice = w.VkeyChoice()->GetScreenRect();
    EXPECT_EQ(Run("xdotool mousemove " + std::to_string(choice.x + choice.width / 2) + " " +
                  std::to_string(choice.y + choice.height / 2) + " click 1"),
              0);
    for (int i = 0; i < 30; ++i) {
        wxTheApp->Yield(true);
        wxMilliSleep(10);
    }
    if (!gScreenshotFolder.empty()) Run("import -window root '" + gScreenshotFolder + "/window-vkey-list.png'");
    EXPECT_EQ(Keys("Down Return"), 0);
    EXPECT_TRUE(WaitUntil([&] { return w.Tests()[1].key == 0xA1; })) << w.Tests()[1].key;
    EXPECT_EQ(w.Names()[1], "Right Shift (0xA1)");
}
