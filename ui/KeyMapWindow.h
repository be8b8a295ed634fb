#pragma once

#include <wx/button.h>
#include <wx/filepicker.h>
#include <wx/frame.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/treectrl.h>

#include <functional>

#include "keymap/KeyMap.h"
#include "keymap/ScriptSearch.h"
#include "ui/KeyboardPicturePanel.h"

// What the key map needs of the window that opens it, asked each time the
// map is made: the game chosen and its opcode table (null when its file
// could not be read), and a way to open a script there (false when it was
// not opened).
struct KeyMapSource {
    std::function<morvane::GameId()> game;
    std::function<const morvane::OpcodeTable*()> table;
    std::function<bool(const wxString& path)> openScript;
};

// Which keys the scripts of a folder test: the keyboard picture of the
// command line's --svg, and beside it (below it, in a window too narrow for
// both) the conflicts, each key with its
// scripts, then the scripts the map may be incomplete for. Double-clicking a
// script opens it in the main window, which asks first about unsaved edits.
// Its parent owns it; the map is made with the game and opcode table its
// source gives at the moment. Its controls have names (wxWindow::GetName) by
// which tests find them.
class KeyMapWindow : public wxFrame {
public:
    static constexpr double kLeastPictureShare = 0.6;

    KeyMapWindow(wxWindow* parent, KeyMapSource source, const wxString& folder);
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
    // The conflicts beside the picture while the picture keeps its least
    // width and kLeastPictureShare of the window's, else below it.
    void ArrangeMap();
    void OnSize(wxSizeEvent& event);

    wxWindow* parent_;
    KeyMapSource source_;
    wxDirPickerCtrl* folderPicker_;
    wxButton* mapAgainButton_;
    wxStaticText* summary_;
    KeyboardPicturePanel* picture_;
    wxTreeCtrl* conflicts_;
    wxBoxSizer* mapRow_;
    int listWidth_ = 0;  // the width the conflicts' names ask for
};
