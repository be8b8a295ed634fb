// The key map window: the picture and the conflicts of a folder, and the
// scripts opened from it in the main window.

#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/graphics.h>
#include <wx/menu.h>
#include <wx/utils.h>

#include <filesystem>
#include <memory>

#include "fixtures/DemoScripts.h"
#include "gui/GuiSupport.h"

using namespace morvane;
using namespace morvane::test;

namespace {

// The demo folder's conflicts read with San Andreas rules, as
// `morvane-cli keys --game sa demo/` lists them, and the scripts whose walk
// met instructions that game does not know.
// Each demo script is a mod of its own; a pad's button is a shared control.
const std::vector<std::string> kDemoConflicts = {
    "K Key (0x4B): 2 mods",       "  sa_hotkeys.cs (1 test)",
    "  sa_libraries.cs (1 test)", "F2 (0x71): 3 mods",
    "  sa_cheats.cs (1 test)",    "  sa_hotkeys.cs (2 tests)",
    "  sa_keys.cs (1 test)",      "May test more (unknown instructions)",
    "  gta3_keys.cs (9 unknown)", "  vc_cheats.cs (14 unknown)",
    "  vc_cleo.cs (5 unknown)",   "  vc_keys.cs (5 unknown)",
};

const PictureKey* FindKey(const KeyboardPicture& picture, const std::string& heading) {
    for (const PictureKey& key : picture.keys)
        if (key.tooltip.rfind(heading + "\n", 0) == 0) return &key;
    return nullptr;
}

}  // namespace

class KeyMapTest : public WindowTest {
protected:
    // The demo's scripts in the working folder, the window with San Andreas.
    WindowProbe& DemoFolder() {
        for (const auto& [name, bytes] : demo::DemoScripts()) Copy(name);
        dir.Write("cfg", std::to_string(GameNumber(kGameSanAndreas)));
        return Window();
    }
};

TEST_F(KeyMapTest, OpensOnTheScriptsFolderWithThePictureAndTheConflictsBesideIt) {
    WindowProbe& w = DemoFolder();
    std::filesystem::create_directory(dir.File("mods"));
    std::filesystem::copy_file(DemoFile("sa_keys.cs"), dir.File("mods/sa_keys.cs"));
    w.Open(dir.File("sa_keys.cs"));
    EXPECT_EQ(w.keyMap(), nullptr);
    w.Click(w.KeyMapButton());
    ASSERT_NE(w.keyMap(), nullptr);
    EXPECT_TRUE(w.keyMap()->IsShown());
    EXPECT_EQ(w.keyMap()->GetParent(), w.f);
    EXPECT_EQ(ToStd(w.keyMapFolder()->GetPath()), dir.Path());

    // The demo folder and its subfolder: the second sa_keys.cs is the same
    // mod installed twice, counted once, its two copies under it.
    const std::vector<std::string> withSubfolder = {"K Key (0x4B): 2 mods",
                                                    "  sa_hotkeys.cs (1 test)",
                                                    "  sa_libraries.cs (1 test)",
                                                    "F2 (0x71): 3 mods",
                                                    "  sa_keys.cs",
                                                    "  sa_cheats.cs (1 test)",
                                                    "  sa_hotkeys.cs (2 tests)",
                                                    "May test more (unknown instructions)",
                                                    "  gta3_keys.cs (9 unknown)",
                                                    "  vc_cheats.cs (14 unknown)",
                                                    "  vc_cleo.cs (5 unknown)",
                                                    "  vc_keys.cs (5 unknown)"};
    EXPECT_EQ(w.ConflictLines(), withSubfolder);

    // Only the demo's files: the same list as the command line's.
    w.PickKeyMapFolder(dir.Path());
    std::filesystem::remove_all(dir.File("mods"));
    w.Click(w.mapAgainButton());
    EXPECT_EQ(w.ConflictLines(), kDemoConflicts);
    EXPECT_EQ(ToStd(w.keyMapSummary()->GetLabel()), "12 scripts of 12 mods mapped, 2 conflicts");
    EXPECT_EQ(ToStd(w.keyMap()->GetTitle()), "Key Map of " + std::filesystem::path(dir.Path()).filename().string());

    // The picture is the SVG's: F2 a conflict, left Shift too (Left Shift
    // in one script, either Shift in another), the cheat codes beside it.
    const KeyboardPicture& picture = w.keyPicture()->Picture();
    ASSERT_NE(FindKey(picture, "F2 (0x71)"), nullptr);
    EXPECT_EQ(FindKey(picture, "F2 (0x71)")->shade, KeyShade::Conflict);
    EXPECT_EQ(FindKey(picture, "Left Shift (0xA0), or Shift (0x10) for either side")->shade, KeyShade::Conflict);
    EXPECT_EQ(FindKey(picture, "M Key (0x4D)")->shade, KeyShade::One);  // in main.scm
    ASSERT_NE(FindKey(picture, "Cheat BOOM"), nullptr);
    EXPECT_EQ(picture.title, "Key map of " + std::filesystem::path(dir.Path()).filename().string());

    const wxRect screen(0, 0, 1024, 768);
    EXPECT_TRUE(screen.Contains(w.keyMap()->GetRect())) << w.keyMap()->GetSize().x << "x" << w.keyMap()->GetSize().y;

    // The demo folder itself, for the picture of the README.
    w.PickKeyMapFolder(DemoFile(""));
    EXPECT_EQ(w.ConflictLines(), kDemoConflicts);
    EXPECT_EQ(ToStd(w.keyMap()->GetTitle()), "Key Map of demo");
    ScreenshotOf(w.keyMap(), "key-map-window.png");

    // The button again brings the same window to the front.
    KeyMapWindow* first = w.keyMap();
    w.Menu(w.KeyMapMenuId());
    EXPECT_EQ(w.keyMap(), first);
}

TEST_F(KeyMapTest, DoubleClickingAScriptOpensItInTheMainWindowAfterAskingAboutEdits) {
    WindowProbe& w = DemoFolder();
    w.Open(dir.File("sa_keys.cs"));
    w.Choose(w.VkeyChoice(), 0x72);  // the Y key's test becomes F3: an unsaved edit
    w.Menu(w.KeyMapMenuId());
    ASSERT_NE(w.keyMap(), nullptr);

    // A heading opens nothing.
    w.ActivateConflictLine("F2 (0x71): 3 mods");
    EXPECT_EQ(ToStd(w.Path()->GetValue()), dir.File("sa_keys.cs"));

    // Cancelled: the edited script stays.
    DialogScript::Get().ExpectQuestion(wxID_CANCEL);
    w.ActivateConflictLine("  sa_hotkeys.cs (2 tests)");
    ASSERT_EQ(DialogScript::Get().messages.size(), 1u);
    EXPECT_NE(DialogScript::Get().messages[0].find("sa_keys.cs"), std::string::npos) << DialogScript::Get().messages[0];
    EXPECT_EQ(DialogScript::Get().buttons.at(0), "Save|Don't Save|Cancel");
    EXPECT_EQ(ToStd(w.Path()->GetValue()), dir.File("sa_keys.cs"));
    EXPECT_EQ(w.Tests().at(0).key, 0x72);

    // Dropped: the script double-clicked is opened and listed.
    DialogScript::Get().ExpectQuestion(wxID_NO);
    w.ActivateConflictLine("  sa_hotkeys.cs (2 tests)");
    EXPECT_EQ(ToStd(w.Path()->GetValue()), dir.File("sa_hotkeys.cs"));
    EXPECT_EQ(ToStd(w.f->GetTitle()).rfind("sa_hotkeys.cs - ", 0), 0u);
    EXPECT_FALSE(w.Tests().empty());
    EXPECT_EQ(ReadBytes(dir.File("sa_keys.cs")), DemoBytes("sa_keys.cs"));

    // Without edits no question: the script opens at once.
    w.ActivateConflictLine("  sa_keys.cs (1 test)");
    EXPECT_EQ(ToStd(w.Path()->GetValue()), dir.File("sa_keys.cs"));
}

TEST_F(KeyMapTest, NeedsTheGamesOpcodeTableAndNamesItsFileWhenItIsMissing) {
    WindowProbe& w = DemoFolder();
    // No script open: enabled all the same, and the map is of the working folder.
    EXPECT_TRUE(w.KeyMapButton()->IsEnabled());
    w.Click(w.KeyMapButton());
    ASSERT_NE(w.keyMap(), nullptr);
    EXPECT_EQ(w.ConflictLines(), kDemoConflicts);

    // Vice City's opcode file is gone: the button is disabled, and mapping
    // again in the open window says which file is missing.
    std::filesystem::remove(dir.File("VICESCM.ini"));
    w.Choose(w.GameChoice(), GameNumber(kGameViceCity));
    EXPECT_FALSE(w.KeyMapButton()->IsEnabled());
    EXPECT_FALSE(w.MenuItem(w.KeyMapMenuId())->IsEnabled());
    DialogScript::Get().ExpectMessage();
    w.Click(w.mapAgainButton());
    ASSERT_EQ(DialogScript::Get().messages.size(), 1u);
    EXPECT_EQ(DialogScript::Get().messages[0],
              "The key map cannot be made: the opcode file VICESCM.ini could not be read.");
    EXPECT_EQ(w.ConflictLines(), kDemoConflicts);  // the last map stays

    // GTA III: its rules read the demo differently, and the map follows the game.
    w.Choose(w.GameChoice(), GameNumber(kGameGta3));
    w.Click(w.mapAgainButton());
    EXPECT_NE(w.ConflictLines(), kDemoConflicts);

    // A folder that is not there.
    DialogScript::Get().ExpectMessage();
    EXPECT_FALSE(w.keyMap()->ShowFolder(wxString::FromUTF8(dir.File("gone"))));
    EXPECT_EQ(DialogScript::Get().messages.at(1), dir.File("gone") + " is not a folder.");
}

TEST_F(KeyMapTest, AFolderWithoutConflictsOrScriptsSaysSo) {
    WindowProbe& w = DemoFolder();
    w.Click(w.KeyMapButton());
    std::filesystem::create_directories(dir.File("one/empty"));
    std::filesystem::copy_file(DemoFile("sa_keys.cs"), dir.File("one/sa_keys.cs"));

    w.PickKeyMapFolder(dir.File("one"));
    EXPECT_EQ(w.ConflictLines(), (std::vector<std::string>{"None: no key is tested by two mods"}));
    EXPECT_EQ(ToStd(w.keyMapSummary()->GetLabel()), "1 script of 1 mod mapped, 0 conflicts");
    EXPECT_EQ(ToStd(w.keyMap()->GetTitle()), "Key Map of one");
    EXPECT_EQ(FindKey(w.keyPicture()->Picture(), "F2 (0x71)")->shade, KeyShade::One);

    w.PickKeyMapFolder(dir.File("one/empty"));
    EXPECT_EQ(ToStd(w.keyMapSummary()->GetLabel()), "No script in this folder or its subfolders.");
    for (const PictureKey& key : w.keyPicture()->Picture().keys) EXPECT_EQ(key.shade, KeyShade::Free);
}

TEST_F(KeyMapTest, ThePictureIsPaintedInTheMapsColoursWithTheScriptsInTooltips) {
    WindowProbe& w = DemoFolder();
    w.Click(w.KeyMapButton());
    w.keyMap()->Show();
    wxTheApp->Yield(true);
    const KeyboardPicture& picture = w.keyPicture()->Picture();

    // Painted on a bitmap at full size: each key's ground is its shade's fill.
    wxBitmap bitmap(static_cast<int>(picture.width), static_cast<int>(picture.height), 24);
    {
        wxMemoryDC memory(bitmap);
        const std::unique_ptr<wxGraphicsContext> context(wxGraphicsContext::Create(memory));
        ASSERT_TRUE(context);
        PaintKeyboardPicture(*context, picture);
    }
    const wxImage image = bitmap.ConvertToImage();
    auto pixel = [&](double x, double y) {
        const int px = static_cast<int>(x), py = static_cast<int>(y);
        return Rgb{image.GetRed(px, py), image.GetGreen(px, py), image.GetBlue(px, py)};
    };
    // Along the left of a key, clear of its label and its outline.
    auto colours = [&](const PictureKey& key) {
        std::vector<Rgb> seen;
        for (double y = key.box.y + 5; y < key.box.y + key.box.height - 5; ++y) seen.push_back(pixel(key.box.x + 5, y));
        return seen;
    };
    auto count = [](const std::vector<Rgb>& seen, const Rgb& colour) {
        return std::count(seen.begin(), seen.end(), colour);
    };
    const std::vector<Rgb> y = colours(*FindKey(picture, "Y Key (0x59)"));
    EXPECT_EQ(count(y, ColoursOf(KeyShade::One).fill), static_cast<long>(y.size()));
    const std::vector<Rgb> untested = colours(*FindKey(picture, "W Key (0x57)"));
    EXPECT_EQ(count(untested, ColoursOf(KeyShade::Free).fill), static_cast<long>(untested.size()));
    // A conflict: its fill, crossed by the darker lines of the hatch.
    const std::vector<Rgb> f2 = colours(*FindKey(picture, "F2 (0x71)"));
    const long vermilion = count(f2, ColoursOf(KeyShade::Conflict).fill);
    EXPECT_GT(vermilion, 0);
    EXPECT_LT(vermilion, static_cast<long>(f2.size()));
    for (const Rgb& colour : f2) EXPECT_LE(colour.red, ColoursOf(KeyShade::Conflict).fill.red);
    EXPECT_EQ(pixel(2, 2), kPictureBackground);

    // The mouse over a key: its scripts as the tooltip; between keys, none.
    KeyboardPicturePanel* panel = w.keyPicture();
    auto moveTo = [&](const wxPoint& at) {
        wxMouseEvent motion(wxEVT_MOTION);
        motion.SetPosition(at);
        motion.SetEventObject(panel);
        panel->ProcessWindowEvent(motion);
    };
    const PictureKey& f2Key = *FindKey(picture, "F2 (0x71)");
    const wxPoint f2Point = panel->PointOf(f2Key.box.x + f2Key.box.width / 2, f2Key.box.y + f2Key.box.height / 2);
    ASSERT_EQ(panel->KeyAtPoint(f2Point), &f2Key);
    moveTo(f2Point);
    const std::string tooltip = ToStd(panel->GetToolTipText());
    EXPECT_EQ(tooltip.rfind("F2 (0x71)\n3 scripts, a conflict:", 0), 0u) << tooltip;
    EXPECT_NE(tooltip.find("sa_hotkeys.cs (2 tests)"), std::string::npos) << tooltip;
    moveTo(panel->PointOf(f2Key.box.x + f2Key.box.width + 2, f2Key.box.y + 2));  // the gap to F3
    EXPECT_TRUE(panel->GetToolTipText().empty());
}

// On a screen of 1024 by 768 the picture keeps most of the window's width,
// with the conflicts below it, fits that width (no key cut off), and draws
// no text smaller than 9 pixels, wider than its room, or under a key's count;
// the conflicts' lines show whole. A wide window has the list beside it.
TEST_F(KeyMapTest, OnASmallScreenThePictureKeepsMostOfTheWidthAndEveryTextReadable) {
    WindowProbe& w = DemoFolder();
    w.Click(w.KeyMapButton());
    KeyMapWindow* window = w.keyMap();
    window->SetSize(1024, 768);
    window->Show();
    wxTheApp->Yield(true);
    KeyboardPicturePanel* panel = w.keyPicture();
    const KeyboardPicture& picture = panel->Picture();
    EXPECT_GE(panel->GetSize().x, KeyMapWindow::kLeastPictureShare * window->GetClientSize().x);
    EXPECT_LE(picture.width, panel->GetClientSize().x + 1);
    const wxRect pictureRect = panel->GetScreenRect();
    const wxRect listRect = w.conflictList()->GetScreenRect();
    EXPECT_GE(listRect.y, pictureRect.GetBottom());
    EXPECT_FALSE(pictureRect.Intersects(listRect));
    ScreenshotOf(window, "keymap-1024.png");

    wxBitmap bitmap(8, 8, 24);
    wxMemoryDC memory(bitmap);
    const std::unique_ptr<wxGraphicsContext> context(wxGraphicsContext::Create(memory));
    ASSERT_TRUE(context);
    const auto readable = [&](const PictureText& text, bool bold) {
        EXPECT_LE(DrawnTextWidth(*context, text, bold), text.maxWidth + 0.5) << text.text;
        EXPECT_GE(DrawnTextSize(*context, text, bold), KeyboardPicturePanel::kLeastTextSize - 0.01) << text.text;
    };
    for (const PictureKey& key : picture.keys) {
        for (const PictureText& label : key.labels) {
            readable(label, false);
            if (!key.hasCount) continue;
            // As drawn: centred on its anchor, from its ascent to its baseline.
            const double width = DrawnTextWidth(*context, label, false);
            const PictureBox drawn{label.x - width / 2, label.y - DrawnTextSize(*context, label, false) * kAscentShare,
                                   width, DrawnTextSize(*context, label, false) * kAscentShare, 0};
            EXPECT_FALSE(drawn.Overlaps(key.countBox)) << label.text;
        }
        if (key.hasCount) readable(key.count, true);
    }
    for (const PictureSwatch& swatch : picture.legend) readable(swatch.text, false);
    for (const PictureText& text : picture.texts) EXPECT_GE(DrawnTextSize(*context, text, false), 9 - 0.01);

    wxTreeCtrl* list = w.conflictList();
    for (const std::string& line : w.ConflictLines())
        EXPECT_LT(list->GetTextExtent(wxString::FromUTF8(line)).x, list->GetClientSize().x) << line;

    window->SetSize(1900, 900);
    // GTK gives the new size a moment later.
    const auto besideIt = [&] { return w.conflictList()->GetScreenRect().x > panel->GetScreenRect().GetRight(); };
    for (int i = 0; i < 200 && !(panel->GetSize().x > 1000 && besideIt()); ++i) {
        wxMilliSleep(5);
        wxTheApp->Yield(true);
    }
    EXPECT_TRUE(besideIt());
    EXPECT_GE(panel->GetSize().x, KeyMapWindow::kLeastPictureShare * window->GetClientSize().x);
}

TEST_F(KeyMapTest, ClosesWithTheMainWindowAndOpensAnewOnceClosed) {
    WindowProbe& w = DemoFolder();
    w.Click(w.KeyMapButton());
    KeyMapWindow* first = w.keyMap();
    ASSERT_NE(first, nullptr);
    first->Close();
    for (int i = 0; i < 3; ++i) wxTheApp->ProcessIdle();
    EXPECT_EQ(w.keyMap(), nullptr);
    w.Click(w.KeyMapButton());
    ASSERT_NE(w.keyMap(), nullptr);

    wxWeakRef<KeyMapWindow> second = w.keyMap();
    DestroyWindow();
    EXPECT_FALSE(second);
}
