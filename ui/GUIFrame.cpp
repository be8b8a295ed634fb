#include "ui/GUIFrame.h"

#include <wx/sizer.h>
#include <wx/statbox.h>

namespace {

constexpr int kBorder = 5;
constexpr int kGameGridRows = 2;
constexpr int kGameGridColumns = 2;
constexpr int kKeyGridRows = 3;
constexpr int kKeyGridColumns = 2;
constexpr int kKeyGridColumnGap = 50;
constexpr int kGaugeRange = 100;
constexpr int kNoWrap = -1;

const char* const kCredit = "Morvane - key remapper\nfor compiled game scripts";

}  // namespace

// The nine user events the window reacts to, in the order they are connected:
// each on its own source object, any id, no user data.
std::array<GUIFrame::Connection, 9> GUIFrame::Connections() {
    return {{
        {this, wxEVT_CLOSE_WINDOW, wxCloseEventHandler(GUIFrame::OnClose), nullptr},
        {occurrenceList, wxEVT_COMMAND_LISTBOX_SELECTED, wxCommandEventHandler(GUIFrame::OnOccurrenceSelected), this},
        {openButton, wxEVT_COMMAND_BUTTON_CLICKED, wxCommandEventHandler(GUIFrame::OnOpenFile), this},
        {saveButton, wxEVT_COMMAND_BUTTON_CLICKED, wxCommandEventHandler(GUIFrame::OnSaveFile), this},
        {closeButton, wxEVT_COMMAND_BUTTON_CLICKED, wxCommandEventHandler(GUIFrame::OnCloseFile), this},
        {gameChoice, wxEVT_COMMAND_CHOICE_SELECTED, wxCommandEventHandler(GUIFrame::OnGameSelected), this},
        {padChoice, wxEVT_COMMAND_CHOICE_SELECTED, wxCommandEventHandler(GUIFrame::OnPadSelected), this},
        {gameKeyChoice, wxEVT_COMMAND_CHOICE_SELECTED, wxCommandEventHandler(GUIFrame::OnGameKeySelected), this},
        {vkeyChoice, wxEVT_COMMAND_CHOICE_SELECTED, wxCommandEventHandler(GUIFrame::OnVKeySelected), this},
    }};
}

GUIFrame::GUIFrame(wxWindow* parent, wxWindowID id, const wxString& title, const wxPoint& pos, const wxSize& size,
                   long style)
    : wxFrame(parent, id, title, pos, size, style) {
    SetSizeHints(wxDefaultSize, wxDefaultSize);

    wxBoxSizer* frameSizer = new wxBoxSizer(wxHORIZONTAL);
    mainPanel = new wxPanel(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL);
    wxBoxSizer* panelSizer = new wxBoxSizer(wxHORIZONTAL);
    wxBoxSizer* listColumnSizer = new wxBoxSizer(wxVERTICAL);

    occurrencesHeading = new wxStaticText(mainPanel, wxID_ANY, "Occurrences found:", wxDefaultPosition, wxDefaultSize, 0);
    occurrencesHeading->Wrap(kNoWrap);
    listColumnSizer->Add(occurrencesHeading, 0, wxALL, kBorder);

    occurrenceList = new wxListBox(mainPanel, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0, nullptr, wxLB_SINGLE);
    listColumnSizer->Add(occurrenceList, 1, wxALL, kBorder);
    panelSizer->Add(listColumnSizer, 0, wxALL | wxEXPAND, kBorder);

    wxBoxSizer* controlColumnSizer = new wxBoxSizer(wxVERTICAL);
    wxStaticBoxSizer* fileSizer = new wxStaticBoxSizer(new wxStaticBox(mainPanel, wxID_ANY, "File"), wxVERTICAL);

    pathText = new wxTextCtrl(mainPanel, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, wxTE_READONLY);
    fileSizer->Add(pathText, 0, wxALL | wxEXPAND, kBorder);

    openButton = new wxButton(mainPanel, wxID_ANY, "Open File", wxDefaultPosition, wxDefaultSize, 0);
    openButton->Enable(false);
    fileSizer->Add(openButton, 0, wxALL | wxEXPAND, kBorder);

    saveButton = new wxButton(mainPanel, wxID_ANY, "Save File", wxDefaultPosition, wxDefaultSize, 0);
    saveButton->Enable(false);
    fileSizer->Add(saveButton, 0, wxALL | wxEXPAND, kBorder);

    closeButton = new wxButton(mainPanel, wxID_ANY, "Close File", wxDefaultPosition, wxDefaultSize, 0);
    closeButton->Enable(false);
    fileSizer->Add(closeButton, 0, wxALL | wxEXPAND, kBorder);

    wxGridSizer* gameGridSizer = new wxGridSizer(kGameGridRows, kGameGridColumns, 0, 0);
    gameLabel = new wxStaticText(mainPanel, wxID_ANY, "Game", wxDefaultPosition, wxDefaultSize, 0);
    gameLabel->Wrap(kNoWrap);
    gameGridSizer->Add(gameLabel, 0, wxALL, kBorder);

    const wxString games[] = {"GTA III", "Vice City", "San Andreas"};
    gameChoice = new wxChoice(mainPanel, wxID_ANY, wxDefaultPosition, wxDefaultSize, WXSIZEOF(games), games, 0);
    gameChoice->SetSelection(0);
    // The choice is aligned right and bottom and also expanded. The toolkit's
    // debug check rejects that combination when it is added, so the item is
    // added expanded and then given its alignment.
    wxSizerItem* gameChoiceItem = gameGridSizer->Add(gameChoice, 0, wxALL | wxEXPAND, kBorder);
    gameChoiceItem->SetFlag(wxALL | wxALIGN_RIGHT | wxALIGN_BOTTOM | wxEXPAND);

    fileSizer->Add(gameGridSizer, 1, wxEXPAND, kBorder);
    controlColumnSizer->Add(fileSizer, 0, wxALL | wxEXPAND, kBorder);

    wxStaticBoxSizer* keySizer =
        new wxStaticBoxSizer(new wxStaticBox(mainPanel, wxID_ANY, "Key configuration"), wxVERTICAL);
    wxGridSizer* keyGridSizer = new wxGridSizer(kKeyGridRows, kKeyGridColumns, 0, kKeyGridColumnGap);

    auto addKeyRow = [&](wxStaticText*& label, const char* text, wxChoice*& choice) {
        label = new wxStaticText(mainPanel, wxID_ANY, text, wxDefaultPosition, wxDefaultSize, 0);
        label->Wrap(kNoWrap);
        keyGridSizer->Add(label, 0, wxALL, kBorder);
        choice = new wxChoice(mainPanel, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0, nullptr, 0);
        choice->SetSelection(0);
        choice->Enable(false);
        keyGridSizer->Add(choice, 0, wxALL | wxALIGN_RIGHT, kBorder);
    };
    addKeyRow(padLabel, "Pad", padChoice);
    addKeyRow(gameKeyLabel, "Game Key", gameKeyChoice);
    addKeyRow(vkeyLabel, "VKey", vkeyChoice);

    keySizer->Add(keyGridSizer, 0, wxALL | wxEXPAND, kBorder);
    controlColumnSizer->Add(keySizer, 0, wxALL | wxEXPAND, kBorder);

    progressGauge = new wxGauge(mainPanel, wxID_ANY, kGaugeRange, wxDefaultPosition, wxDefaultSize, wxGA_HORIZONTAL);
    controlColumnSizer->Add(progressGauge, 0, wxALL | wxEXPAND, kBorder);

    creditText = new wxStaticText(mainPanel, wxID_ANY, kCredit, wxDefaultPosition, wxDefaultSize, wxALIGN_RIGHT);
    creditText->Wrap(kNoWrap);
    controlColumnSizer->Add(creditText, 0, wxALL | wxALIGN_RIGHT, kBorder);

    panelSizer->Add(controlColumnSizer, 1, wxEXPAND, kBorder);

    mainPanel->SetSizer(panelSizer);
    mainPanel->Layout();
    panelSizer->Fit(mainPanel);
    frameSizer->Add(mainPanel, 1, wxEXPAND, kBorder);
    SetSizer(frameSizer);
    Layout();

    for (const Connection& c : Connections()) c.source->Connect(wxID_ANY, wxID_ANY, c.type, c.handler, nullptr, c.sink);
}

GUIFrame::~GUIFrame() {
    DisconnectHandlers();
}

// Every connection is removed while all controls still exist, so no handler
// runs on a window that is being taken apart.
void GUIFrame::DisconnectHandlers() {
    for (const Connection& c : Connections()) c.source->Disconnect(wxID_ANY, wxID_ANY, c.type, c.handler, nullptr, c.sink);
}
