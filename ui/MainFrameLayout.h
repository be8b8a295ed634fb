#pragma once

#include <vector>

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/frame.h>
#include <wx/gauge.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/srchctrl.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>

#include "ui/TestList.h"

// The main window's controls, menus and their layout, and nothing else: the
// frame that derives from it holds the program's state and reacts to events.
// Each control has a name (wxWindow::GetName) by which tests find it.
class MainFrameLayout : public wxFrame {
public:
    MainFrameLayout(wxWindow* parent, const wxString& title, long style);

protected:
    // The view around a test: this many instructions before it and after it.
    static constexpr int kContextBefore = 4;
    static constexpr int kContextAfter = 8;
    static constexpr int kContextLines = kContextBefore + 1 + kContextAfter;
    // The height the view around a test needs beyond its least to show all
    // its lines.
    int ContextRoomWanted() const;

    wxMenuBar* menuBar;
    wxMenu* fileMenu;
    wxMenuItem* openItem;
    wxMenuItem* saveItem;
    wxMenuItem* saveAsItem;
    wxMenuItem* closeItem;
    wxMenuItem* keyMapItem;
    wxMenuItem* opcodeFilesItem;
    wxMenuItem* quitItem;
    wxMenu* recentMenu;
    wxMenu* editMenu;
    wxMenuItem* undoItem;
    wxMenuItem* redoItem;
    wxMenuItem* pressKeyItem;
    wxMenuItem* changeAllItem;
    wxMenu* viewMenu;
    wxMenu* languageMenu;
    // System Language, then each of kLanguages in its order.
    std::vector<wxMenuItem*> languageItems;
    wxStatusBar* statusBar;

    wxPanel* mainPanel;
    wxStaticText* testsHeading;
    wxStaticText* readingNote;  // while the open script was not read whole: why
    wxSearchCtrl* filterText;
    wxChoice* kindFilter;
    TestList* testList;
    wxStaticText* emptyListText;  // in the list's place when the filter keeps no test
    wxTextCtrl* pathText;
    wxButton* openButton;
    wxButton* saveAsButton;  // asks where to save, as Save As does
    wxButton* closeButton;
    wxButton* keyMapButton;
    wxStaticText* gameLabel;
    wxChoice* gameChoice;
    wxStaticText* padLabel;
    wxChoice* padChoice;
    wxStaticText* gameKeyLabel;
    wxChoice* gameKeyChoice;
    // A touch test's zone of the screen, or a widget test's widget.
    wxStaticText* touchLabel;
    wxChoice* touchChoice;
    wxStaticText* vkeyLabel;
    wxChoice* vkeyChoice;
    wxButton* pressKeyButton;
    // In the button's place while Press Key waits: takes the focus, so that
    // every key (Enter, Alt, F10) comes to it and to nothing else.
    wxPanel* keyPrompt;
    wxStaticText* keyPromptText;
    wxButton* changeAllButton;
    // In place of the key choices while a cheat test is selected.
    wxSizer* keyChoicesSizer;
    wxSizer* cheatSizer;
    wxStaticText* cheatLabel;
    wxTextCtrl* cheatText;
    wxButton* setCheatButton;
    // Under the code while it is refused: why.
    wxStaticText* cheatProblem;
    wxTextCtrl* contextView;
    wxGauge* progressGauge;  // shown only while a script is read
    wxStaticText* creditText;

private:
    void MakeMenus();
    wxSizer* MakeListColumn();
    wxSizer* MakeFileBox();
    wxSizer* MakeKeyBox();
    wxSizer* MakeContextBox();
    wxSize ContextViewSize(int lines) const;
};
