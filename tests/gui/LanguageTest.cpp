// The window in the player's language: the system's at start, or the one
// chosen in View > Language, remembered and spoken from the next start.

#include <gtest/gtest.h>

#include <wx/menu.h>
#include <wx/toplevel.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/MorvaneApp.h"
#include "gui/GuiSupport.h"
#include "i18n/Language.h"
#include "support/ScopedEnvironment.h"
#include "ui/MainFrame.h"
#include "ui/WindowLanguage.h"

namespace morvane::test {
namespace {

class WindowLanguageTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANGUAGE"}) environment.Unset(name);
        environment.Set(kCatalogFolderVariable, MORVANE_LOCALE_DIR);
        RememberLanguage("");
    }
    void TearDown() override {
        WindowTest::TearDown();
        RememberLanguage("");
        (void)UseLanguage(kEnglish, {});
    }

    // The window as Morvane starts it in the folder of the test, with a
    // script to open when one is named.
    void Start(const std::string& script = "") {
        DestroyWindow();
        for (int i = 0; i < 20; ++i) wxTheApp->Yield(true);  // gone from the screen too
        wxArrayString arguments;
        arguments.Add("morvane");
        if (!script.empty()) arguments.Add(script);
        ASSERT_TRUE(static_cast<MorvaneApp*>(wxTheApp)->Start(arguments));
        frame = dynamic_cast<MainFrame*>(wxTopLevelWindows.GetLast()->GetData());
        ASSERT_NE(frame, nullptr);
        probe = std::make_unique<WindowProbe>(frame);
    }
    std::vector<std::string> MenuTitles() const {
        std::vector<std::string> titles;
        for (std::size_t i = 0; i < frame->GetMenuBar()->GetMenuCount(); ++i)
            titles.push_back(frame->GetMenuBar()->GetMenuLabel(i).utf8_string());
        return titles;
    }
    // Chooses an item of View > Language by its label, as a click does.
    void ChooseLanguage(const std::string& label) {
        const int id =
            frame->GetMenuBar()->FindMenuItem(frame->GetMenuBar()->GetMenuLabelText(2), wxString::FromUTF8(label));
        ASSERT_NE(id, wxNOT_FOUND) << label;
        wxCommandEvent event(wxEVT_MENU, id);
        frame->ProcessWindowEvent(event);
    }

    ScopedEnvironment environment;
};

TEST_F(WindowLanguageTest, StartsInTheSystemsLanguage) {
    environment.Set("LANG", "ru_RU.UTF-8");
    dir.Write("cfg", "2");
    std::filesystem::copy_file(std::string(MORVANE_SOURCE_DIR) + "/demo/sa_keys.cs", dir.File("sa_keys.cs"));
    Start("sa_keys.cs");
    EXPECT_EQ(MenuTitles(), (std::vector<std::string>{"&Файл", "&Правка", "&Вид"}));
    EXPECT_EQ(probe->Heading()->GetLabel().utf8_string(), "Найдено 5 проверок клавиш");
    EXPECT_EQ(probe->List()->GetItemText(1, 0).utf8_string(), "Левый Shift (0xA0)");
    ScreenshotWithMenus(frame, "window-russian.png");

    environment.Set("LANG", "C");
    Start("sa_keys.cs");
    EXPECT_EQ(MenuTitles(), (std::vector<std::string>{"&File", "&Edit", "&View"}));
    EXPECT_EQ(probe->Heading()->GetLabel().utf8_string(), "5 key tests found");
    ScreenshotWithMenus(frame, "window-english.png");
}

TEST_F(WindowLanguageTest, ALanguageChosenInTheViewMenuIsSpokenFromTheNextStart) {
    environment.Set("LANG", "pl_PL.UTF-8");
    Start();
    DialogScript::Get().ExpectMessage();
    ChooseLanguage("Deutsch");
    EXPECT_EQ(ChosenLanguage(), "de");
    ASSERT_EQ(DialogScript::Get().messages.size(), 1u);
    EXPECT_EQ(DialogScript::Get().messages[0], "Morvane przejdzie na język Deutsch od następnego uruchomienia.");
    EXPECT_EQ(MenuTitles(), (std::vector<std::string>{"&Plik", "&Edycja", "&Widok"}));  // until the next start

    Start();
    EXPECT_EQ(MenuTitles(), (std::vector<std::string>{"&Datei", "&Bearbeiten", "&Ansicht"}));
    ChooseLanguage("Deutsch");  // chosen already: nothing to say
    EXPECT_EQ(DialogScript::Get().messages.size(), 1u);
    DialogScript::Get().ExpectMessage();
    ChooseLanguage("&Systemsprache");
    EXPECT_EQ(ChosenLanguage(), "");
    ASSERT_EQ(DialogScript::Get().messages.size(), 2u);
    EXPECT_EQ(DialogScript::Get().messages[1], "Morvane spricht ab dem nächsten Start Polski.");

    Start();
    EXPECT_EQ(MenuTitles(), (std::vector<std::string>{"&Plik", "&Edycja", "&Widok"}));
}

// Longer words must not push controls out of their boxes: in every
// language the window has the room its controls need, within a screen of
// 1024 pixels.
TEST_F(WindowLanguageTest, EveryLanguageFitsTheWindowOnA1024Screen) {
    constexpr int kFewPixels = 16;
    dir.Write("cfg", "2");
    std::filesystem::copy_file(std::string(MORVANE_SOURCE_DIR) + "/demo/sa_keys.cs", dir.File("sa_keys.cs"));
    for (const Language& language : kLanguages) {
        environment.Set("LANG", std::string(language.code) + ".UTF-8");
        Start("sa_keys.cs");
        // The boxes of the column beside the list: each as wide as its controls need.
        for (const char* inBox : {"openButton", "vkeyChoice"}) {
            wxWindow* control = frame->FindWindow(inBox);
            ASSERT_NE(control, nullptr) << inBox;
            wxSizer* box = control->GetParent()->GetContainingSizer();
            ASSERT_NE(box, nullptr) << inBox;
            // A few pixels short only trims the slack of the choices (English is 10 short).
            EXPECT_LE(box->GetMinSize().x, box->GetSize().x + frame->FromDIP(kFewPixels))
                << language.code << ": the box of " << inBox;
        }
    }
}

}  // namespace
}  // namespace morvane::test
