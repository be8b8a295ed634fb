#pragma once

#include <array>

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/frame.h>
#include <wx/gauge.h>
#include <wx/listbox.h>
#include <wx/panel.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

// The main window's controls and layout. It holds no program state: each
// handler only lets the event go on; the program's frame overrides them.
class GUIFrame : public wxFrame {
public:
    GUIFrame(wxWindow* parent, wxWindowID id, const wxString& title, const wxPoint& pos, const wxSize& size,
             long style);
    ~GUIFrame() override;

protected:
    void DisconnectHandlers();

    struct Connection {
        wxEvtHandler* source;
        wxEventType type;
        wxObjectEventFunction handler;
        wxEvtHandler* sink;
    };
    std::array<Connection, 9> Connections();

    wxPanel* mainPanel;
    wxStaticText* occurrencesHeading;
    wxListBox* occurrenceList;
    wxTextCtrl* pathText;
    wxButton* openButton;
    wxButton* saveButton;
    wxButton* closeButton;
    wxStaticText* gameLabel;
    wxChoice* gameChoice;
    wxStaticText* padLabel;
    wxChoice* padChoice;
    wxStaticText* gameKeyLabel;
    wxChoice* gameKeyChoice;
    wxStaticText* vkeyLabel;
    wxChoice* vkeyChoice;
    wxGauge* progressGauge;
    wxStaticText* creditText;

    virtual void OnClose(wxCloseEvent& event) { event.Skip(); }
    virtual void OnOccurrenceSelected(wxCommandEvent& event) { event.Skip(); }
    virtual void OnOpenFile(wxCommandEvent& event) { event.Skip(); }
    virtual void OnSaveFile(wxCommandEvent& event) { event.Skip(); }
    virtual void OnCloseFile(wxCommandEvent& event) { event.Skip(); }
    virtual void OnGameSelected(wxCommandEvent& event) { event.Skip(); }
    virtual void OnPadSelected(wxCommandEvent& event) { event.Skip(); }
    virtual void OnGameKeySelected(wxCommandEvent& event) { event.Skip(); }
    virtual void OnVKeySelected(wxCommandEvent& event) { event.Skip(); }
};
