#pragma once

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/listbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <cstdint>

#include "session/KeyChoices.h"

// Change All's question: which key every test of a key gets. A field finds
// keys by name as it is typed; the arrow keys, Page Up/Down and Home/End
// move through the list wherever the focus is (Home and End are left to the
// focused control while the field holds text); Enter takes the key selected. Press Key,
// offered for VKeys, selects the next key pressed. OK is enabled while a
// key other than the tests' own is selected.
class ChangeAllDialog : public wxDialog {
public:
    ChangeAllDialog(wxWindow* parent, const wxString& question, morvane::KeyChoices choices, int32_t current,
                    bool canPress);

    // The key selected, or -1 for none.
    int32_t ChosenKey() const;

private:
    void ShowChoices();
    void Select(int row);
    void UpdateOk();
    void StopWaiting(const wxString& hint);
    int PageRows() const;
    void OnFindText(wxCommandEvent& event);
    void OnListSelected(wxCommandEvent& event);
    void OnListActivated(wxCommandEvent& event);
    void OnPressKey(wxCommandEvent& event);
    void OnCharHook(wxKeyEvent& event);

    morvane::KeyChoices choices;
    const int32_t current;
    bool waiting = false;
    wxTextCtrl* findText = nullptr;
    wxListBox* keyList = nullptr;
    wxButton* pressKeyButton = nullptr;
    wxStaticText* hintText = nullptr;
    wxButton* okButton = nullptr;
};
