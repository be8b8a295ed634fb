#pragma once

// Driving the real window in tests: dialogs answered by script, user actions
// sent as the events a click causes, and a look at the window's state.

#include <gtest/gtest.h>

#include <wx/choice.h>
#include <wx/filepicker.h>
#include <wx/gauge.h>
#include <wx/treectrl.h>
#include <wx/weakref.h>
#include <wx/dialog.h>
#include <wx/dirdlg.h>
#include <wx/filedlg.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "ui/ChangeAllDialog.h"
#include "ui/KeyMapWindow.h"
#include "ui/KeyboardPicturePanel.h"
#include "ui/MainFrame.h"
#include "fixtures/TempDir.h"

namespace morvane::test {

// Where the test run keeps its screenshots ("" for none).
extern std::string gScreenshotFolder;

// Answers every modal dialog from a queue of scripted answers; a dialog that
// nobody expected fails the test and is cancelled, so nothing ever blocks.
class DialogScript : public wxModalDialogHook {
public:
    using Answer = std::function<int(wxDialog*)>;

    static DialogScript& Get();

    void Expect(Answer answer) { answers_.push_back(std::move(answer)); }
    // A message box, answered with OK; its text is recorded.
    void ExpectMessage();
    // A question (Save / Don't Save / Cancel, or Yes / No), answered with
    // wxID_YES, wxID_NO or wxID_CANCEL; its text and button labels are recorded.
    void ExpectQuestion(int answer);
    // A file dialog answered with OK for `path` (which must exist, or lie in an existing folder).
    void ExpectFile(const std::string& path, std::function<void()> afterChoosing = nullptr);
    void ExpectCancelledFile();
    // A folder dialog answered with OK for `folder` (which must exist).
    void ExpectFolder(const std::string& folder);

    std::size_t Pending() const { return answers_.size(); }
    void Reset() {
        answers_.clear();
        messages.clear();
        captions.clear();
        buttons.clear();
        fileDialogs.clear();
    }

    struct FileDialogSeen {
        std::string title;
        std::string wildcard;
        long style;
        std::string directory;
        std::string name;
        int filterIndex;
    };
    std::vector<std::string> messages;
    std::vector<std::string> captions;
    std::vector<std::string> buttons;  // of each question: its labels, "|"-separated
    std::vector<FileDialogSeen> fileDialogs;

protected:
    int Enter(wxDialog* dialog) override;

private:
    std::deque<Answer> answers_;
};

// The window as a test sees it: its controls found by their names, its
// state through what it shows and through its edit session, and what a user
// can do to it. Every control returned has first had its enabled state
// updated, as the toolkit does when the window goes idle.
class WindowProbe {
public:
    explicit WindowProbe(MainFrame* frame) : f(frame) {}

    MainFrame* f;

    TestList* List() const { return Find<TestList>("testList"); }
    wxStaticText* EmptyListText() const { return Find<wxStaticText>("emptyListText"); }
    wxPanel* KeyPrompt() const { return Find<wxPanel>("keyPrompt"); }
    wxStaticText* Heading() const { return Find<wxStaticText>("testsHeading"); }
    wxStaticText* ReadingNote() const { return Find<wxStaticText>("readingNote"); }
    wxTextCtrl* Context() const { return Find<wxTextCtrl>("contextView"); }
    wxSearchCtrl* FilterText() const { return Find<wxSearchCtrl>("filterText"); }
    wxChoice* KindFilter() const { return Find<wxChoice>("kindFilter"); }
    wxButton* PressKeyButton() const { return Find<wxButton>("pressKeyButton"); }
    wxButton* ChangeAllButton() const { return Find<wxButton>("changeAllButton"); }
    wxTextCtrl* CheatText() const { return Find<wxTextCtrl>("cheatText"); }
    wxButton* SetCheatButton() const { return Find<wxButton>("setCheatButton"); }
    wxStaticText* CheatProblem() const { return Find<wxStaticText>("cheatProblem"); }
    int PressKeyMenuId() const { return MenuId("&Edit", "&Press Key..."); }
    int ChangeAllMenuId() const { return MenuId("&Edit", "Change &All..."); }
    int KeyMapMenuId() const { return MenuId("&File", "Key &Map..."); }
    int CloseMenuId() const { return MenuId("&File", "&Close File"); }
    int OpcodeFilesMenuId() const { return MenuId("&File", "Opcode &Files..."); }
    // A menu item, its enabled state updated.
    wxMenuItem* MenuItem(int id) const;
    wxTextCtrl* Path() const { return Find<wxTextCtrl>("pathText"); }
    wxButton* OpenButton() const { return Find<wxButton>("openButton"); }
    wxButton* SaveButton() const { return Find<wxButton>("saveAsButton"); }
    wxButton* CloseButton() const { return Find<wxButton>("closeButton"); }
    wxChoice* GameChoice() const { return Find<wxChoice>("gameChoice"); }
    wxChoice* PadChoice() const { return Find<wxChoice>("padChoice"); }
    wxChoice* GameKeyChoice() const { return Find<wxChoice>("gameKeyChoice"); }
    wxChoice* TouchChoice() const { return Find<wxChoice>("touchChoice"); }
    wxChoice* VkeyChoice() const { return Find<wxChoice>("vkeyChoice"); }
    wxGauge* Gauge() const { return Find<wxGauge>("progressGauge"); }
    wxPanel* Panel() const { return Find<wxPanel>("mainPanel"); }
    wxStaticText* Credit() const { return Find<wxStaticText>("creditText"); }
    wxButton* KeyMapButton() const { return Find<wxButton>("keyMapButton"); }
    std::vector<wxWindow*> AllControls() const;

    const EditSession& Session() const { return f->Session(); }
    const ScriptImage& Script() const { return f->Session().Image(); }
    const std::vector<KeyTest>& Tests() const { return f->Session().Tests(); }
    const ScanSummary& Summary() const { return f->Session().Summary(); }
    GameId SelectedGame() const { return f->SelectedGame(); }
    bool OpcodesLoaded() const { return f->LoadedOpcodeTable() != nullptr; }
    const OpcodeTable& Table() const { return *f->LoadedOpcodeTable(); }

    // What a user can do; each fails the test when the control is disabled.
    void Click(wxButton* button) const;
    void Choose(wxChoice* choice, int item) const;
    void SelectLine(int line) const;
    void CloseWindow() const;

    // The list's rows as shown, each its cells that are not empty joined
    // by " · " ("F2 (0x71) · 0x53 · 0AB0 · *"), and the
    // key column's texts alone; the selected row, or -1.
    std::vector<std::string> Lines() const;
    std::vector<std::string> Names() const;
    long SelectedRow() const { return List()->SelectedRow(); }
    // A click on a column's title.
    void ClickColumn(int column) const;
    // Enabled state of open, save, close, game, pad, game key and vkey, in that order.
    std::string Enabled() const;

    // Opens a file through the dialog, answering messages when `messages` > 0.
    void Open(const std::string& file, int messages = 0) const;
    void Save(const std::string& file, int messages = 0) const;
    // A command of the window's menu, as its menu item or its key sends it.
    void Menu(int id) const;
    // A key pressed while the window has the focus: the key code the
    // toolkit reports, the system's own code and flags, the modifiers held.
    void PressKey(int keyCode, unsigned rawKeyCode = 0, unsigned rawFlags = 0, int modifiers = 0) const;
    // Its release, where the focus is while Press Key waits.
    void ReleaseKey(int keyCode) const;
    // Typing into the filter, and choosing which kind of test it keeps.
    void Filter(const std::string& text, int kind = 0) const;
    // Change all after its dialog, as "changed N, refused M".
    std::string ChangeAllReport(const RemapRule& rule) const {
        const RemapResult result = f->ChangeAllKeys(rule);
        return "changed " + std::to_string(result.Count(RemapAnswer::Changed)) + ", refused " +
               std::to_string(result.Count(RemapAnswer::Refused));
    }

    bool Screenshot(const std::string& name) const;

    // The key map window, null while it is not open, and its controls.
    KeyMapWindow* keyMap() const { return f->KeyMap(); }
    wxDirPickerCtrl* keyMapFolder() const { return FindIn<wxDirPickerCtrl>(keyMap(), "keyMapFolder"); }
    wxButton* mapAgainButton() const { return FindIn<wxButton>(keyMap(), "mapAgainButton"); }
    wxStaticText* keyMapSummary() const { return FindIn<wxStaticText>(keyMap(), "keyMapSummary"); }
    KeyboardPicturePanel* keyPicture() const { return FindIn<KeyboardPicturePanel>(keyMap(), "keyPicture"); }
    wxTreeCtrl* conflictList() const { return FindIn<wxTreeCtrl>(keyMap(), "conflictList"); }
    // The list beside the picture: each heading, and under it its scripts
    // indented by two spaces.
    std::vector<std::string> ConflictLines() const;
    // A double-click on the line that reads `line` (as ConflictLines gives it).
    void ActivateConflictLine(const std::string& line) const;
    // A folder chosen in the key map's folder picker.
    void PickKeyMapFolder(const std::string& folder) const;

private:
    // What the toolkit does when the window goes idle: every control and
    // menu item asks the window whether it is enabled.
    void UpdateUi() const { f->UpdateWindowUI(wxUPDATE_UI_RECURSE); }
    template <typename Control>
    Control* Find(const char* name) const {
        UpdateUi();
        return FindIn<Control>(f, name);
    }
    template <typename Control>
    static Control* FindIn(wxWindow* parent, const char* name) {
        if (parent == nullptr) return nullptr;
        auto* control = dynamic_cast<Control*>(wxWindow::FindWindowByName(name, parent));
        EXPECT_NE(control, nullptr) << "no control named " << name;
        return control;
    }
    int MenuId(const char* menu, const char* item) const;
};

// Driving Change All's dialog while its modal hook holds it.
class ChangeAllDialogProbe {
public:
    explicit ChangeAllDialogProbe(ChangeAllDialog* dialog) : d(dialog) {}
    // Types `text` into the find field, in place of what it held.
    void Type(const std::string& text) const;
    // A key pressed, wherever the focus is.
    void Key(int keyCode) const;
    void Click(wxButton* button) const;
    std::vector<std::string> Shown() const;
    std::string Hint() const;
    wxButton* Ok() const { return dynamic_cast<wxButton*>(d->FindWindow(wxID_OK)); }
    wxButton* PressKey() const { return dynamic_cast<wxButton*>(wxWindow::FindWindowByName("changeAllPressKey", d)); }

private:
    ChangeAllDialog* d;
};

// Saves what a window shows as a PNG in the screenshot folder; false when
// there is none.
bool ScreenshotOf(wxWindow* window, const std::string& name);
// The same with the menu bar: the window's whole area of the screen.
bool ScreenshotWithMenus(wxWindow* window, const std::string& name);

// A fresh working folder with the demo's opcode INI files, made the current
// directory for the test, and a window built in it on demand.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Builds the window (after the test has prepared the folder).
    WindowProbe& Window();
    void DestroyWindow();

    std::string DemoFile(const std::string& name) const;
    std::string Copy(const std::string& demoName, const std::string& as = std::string()) const;

    TempDir dir;
    std::string previousDirectory;
    MainFrame* frame = nullptr;
    std::unique_ptr<WindowProbe> probe;
};

std::string ToStd(const wxString& text);
std::vector<uint8_t> DemoBytes(const std::string& name);

}  // namespace morvane::test
