#pragma once

#include <wx/button.h>
#include <wx/filepicker.h>
#include <wx/frame.h>
#include <wx/stattext.h>
#include <wx/treectrl.h>

#include "keymap/KeyMap.h"
#include "keymap/ScriptSearch.h"
#include "ui/KeyboardPicturePanel.h"

class MainFrame;

// Which keys the scripts of a folder test: the keyboard picture of the
// command line's --svg, and beside it the conflicts, each key with its
// scripts, then the scripts the map may be incomplete for. Double-clicking a
// script opens it in the main window, which asks first about unsaved edits.
// The main window owns it; the map is made with the main window's game and
// opcode table of the moment. Its controls have names (wxWindow::GetName) by
// which tests find them.
class KeyMapWindow : public wxFrame {
public:
    KeyMapWindow(MainFrame* owner, const wxString& folder);
    ~KeyMapWindow() override;

    // Maps the scripts in a folder and its subfolders and shows the map; false,
    // after a message naming the cause, when there is no opcode table for the
    // game or no such folder.
    bool ShowFolder(const wxString& folder);

private:
    void OnFolderChanged(wxFileDirPickerEvent& event);
    void OnMapAgain(wxCommandEvent& event);
    void OnItemActivated(wxTreeEvent& event);
    void FillList(const morvane::KeyMap& map, const morvane::ScriptSearch& search, const wxString& folder);
    void ShowMessage(const wxString& text);
    void FitListToNames();

    MainFrame* owner_;
    wxDirPickerCtrl* folderPicker_;
    wxButton* mapAgainButton_;
    wxStaticText* summary_;
    KeyboardPicturePanel* picture_;
    wxTreeCtrl* conflicts_;
};
