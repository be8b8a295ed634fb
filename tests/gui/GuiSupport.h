#pragma once

// Driving the real window in tests: dialogs answered by script, user actions
// sent as the events a click causes, and a look at the window's state.

#include <gtest/gtest.h>

#include <wx/choice.h>
#include <wx/weakref.h>
#include <wx/dialog.h>
#include <wx/filedlg.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "ui/KeyMapWindow.h"
#include "ui/MainFrame.h"
#include "support/TempDir.h"

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

// Access to the window's insides for tests.
class WindowProbe {
public:
    explicit WindowProbe(MainFrame* frame) : f(frame) {}

    MainFrame* f;

    wxListBox* List() const { return f->occurrenceList; }
    wxStaticText* Heading() const { return f->occurrencesHeading; }
    wxTextCtrl* Context() const { return f->contextView; }
    wxSearchCtrl* FilterText() const { return f->filterText; }
    wxChoice* KindFilter() const { return f->kindFilter; }
    wxButton* PressKeyButton() const { return f->pressKeyButton; }
    wxButton* ChangeAllButton() const { return f->changeAllButton; }
    wxTextCtrl* CheatText() const { return f->cheatText; }
    wxButton* SetCheatButton() const { return f->setCheatButton; }
    int PressKeyMenuId() const { return f->pressKeyItem->GetId(); }
    int ChangeAllMenuId() const { return f->changeAllItem->GetId(); }
    wxTextCtrl* Path() const { return f->pathText; }
    wxButton* OpenButton() const { return f->openButton; }
    wxButton* SaveButton() const { return f->saveButton; }
    wxButton* CloseButton() const { return f->closeButton; }
    wxChoice* GameChoice() const { return f->gameChoice; }
    wxChoice* PadChoice() const { return f->padChoice; }
    wxChoice* GameKeyChoice() const { return f->gameKeyChoice; }
    wxChoice* VkeyChoice() const { return f->vkeyChoice; }
    wxGauge* Gauge() const { return f->progressGauge; }
    wxPanel* Panel() const { return f->mainPanel; }
    wxStaticText* Credit() const { return f->creditText; }
    wxButton* KeyMapButton() const { return f->keyMapButton; }
    int KeyMapMenuId() const { return f->keyMapItem->GetId(); }
    std::vector<wxWindow*> AllControls() const;

    ScriptImage& Script() const { return f->script; }
    std::vector<KeyOccurrence>& Occurrences() const { return f->occurrences; }
    const ScanSummary& Summary() const { return f->scanSummary; }
    GameId SelectedGame() const { return f->selectedGame; }
    bool OpcodesLoaded() const { return f->opcodesLoaded; }
    const OpcodeTable& Table() const { return f->opcodeTable; }
    void UnbindHandlers() const { f->UnbindHandlers(); }

    // What a user can do; each fails the test when the control is disabled.
    void Click(wxButton* button) const;
    void Choose(wxChoice* choice, int item) const;
    void SelectLine(int line) const;
    void CloseWindow() const;

    // The list's lines as shown, and the key names at their start.
    std::vector<std::string> Lines() const;
    std::vector<std::string> Names() const;
    // Enabled state of open, save, close, game, pad, game key and vkey, in that order.
    std::string Enabled() const;

    // Opens a file through the dialog, answering messages when `messages` > 0.
    void Open(const std::string& file, int messages = 0) const;
    void Save(const std::string& file, int messages = 0) const;
    // A command of the window's menu, as its menu item or its key sends it.
    void Menu(int id) const;
    // A key pressed while the window has the focus: the key code the
    // toolkit reports and the system's own code.
    void PressKey(int keyCode, unsigned rawKeyCode = 0) const;
    // Typing into the filter, and choosing which kind of test it keeps.
    void Filter(const std::string& text, int kind = 0) const;
    // Change all after its dialog, as "changed N, refused M".
    std::string ChangeAllReport(const KeyChange& change) const {
        const ChangeReport report = f->ChangeAllKeys(change);
        return "changed " + std::to_string(report.changed) + ", refused " + std::to_string(report.refused.size());
    }

    bool Screenshot(const std::string& name) const;

    // The key map window, null while it is not open, and its controls.
    KeyMapWindow* keyMap() const { return f->keyMapWindow; }
    wxDirPickerCtrl* keyMapFolder() const { return f->keyMapWindow->folderPicker_; }
    wxButton* mapAgainButton() const { return f->keyMapWindow->mapAgainButton_; }
    wxStaticText* keyMapSummary() const { return f->keyMapWindow->summary_; }
    KeyboardPicturePanel* keyPicture() const { return f->keyMapWindow->picture_; }
    wxTreeCtrl* conflictList() const { return f->keyMapWindow->conflicts_; }
    // The list beside the picture: each heading, and under it its scripts
    // indented by two spaces.
    std::vector<std::string> ConflictLines() const;
    // A double-click on the line that reads `line` (as ConflictLines gives it).
    void ActivateConflictLine(const std::string& line) const;
    // A folder chosen in the key map's folder picker.
    void PickKeyMapFolder(const std::string& folder) const;
};

// Saves what a window shows as a PNG in the screenshot folder; false when
// there is none.
bool ScreenshotOf(wxWindow* window, const std::string& name);

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
