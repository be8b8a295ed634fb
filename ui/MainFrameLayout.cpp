#include "ui/MainFrameLayout.h"

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

wxSizerFlags Bordered() { return wxSizerFlags().Border(wxALL, kBorder); }

}  // namespace

MainFrameLayout::MainFrameLayout(wxWindow* parent, const wxString& title, const wxSize& size, long style)
    : wxFrame(parent, wxID_ANY, title, wxDefaultPosition, size, style) {
    SetSizeHints(wxDefaultSize, wxDefaultSize);

    auto* frameSizer = new wxBoxSizer(wxHORIZONTAL);
    mainPanel = new wxPanel(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL);
    auto* panelSizer = new wxBoxSizer(wxHORIZONTAL);

    // Left: the list of key tests under its heading.
    auto* listColumnSizer = new wxBoxSizer(wxVERTICAL);
    occurrencesHeading = new wxStaticText(mainPanel, wxID_ANY, "Occurrences found:");
    occurrencesHeading->Wrap(kNoWrap);
    listColumnSizer->Add(occurrencesHeading, Bordered());
    occurrenceList = new wxListBox(mainPanel, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0, nullptr, wxLB_SINGLE);
    listColumnSizer->Add(occurrenceList, Bordered().Proportion(1));
    panelSizer->Add(listColumnSizer, Bordered().Expand());

    // Right: the file box, the key box, the progress gauge and the credit.
    auto* controlColumnSizer = new wxBoxSizer(wxVERTICAL);
    auto* fileSizer = new wxStaticBoxSizer(wxVERTICAL, mainPanel, "File");
    wxStaticBox* fileBox = fileSizer->GetStaticBox();

    pathText = new wxTextCtrl(fileBox, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, wxTE_READONLY);
    fileSizer->Add(pathText, Bordered().Expand());
    openButton = new wxButton(fileBox, wxID_ANY, "Open File");
    openButton->Enable(false);
    fileSizer->Add(openButton, Bordered().Expand());
    saveButton = new wxButton(fileBox, wxID_ANY, "Save File");
    saveButton->Enable(false);
    fileSizer->Add(saveButton, Bordered().Expand());
    closeButton = new wxButton(fileBox, wxID_ANY, "Close File");
    closeButton->Enable(false);
    fileSizer->Add(closeButton, Bordered().Expand());

    auto* gameGridSizer = new wxGridSizer(kGameGridRows, kGameGridColumns, 0, 0);
    gameLabel = new wxStaticText(fileBox, wxID_ANY, "Game");
    gameLabel->Wrap(kNoWrap);
    gameGridSizer->Add(gameLabel, Bordered());
    const wxString games[] = {"GTA III", "Vice City", "San Andreas"};
    gameChoice = new wxChoice(fileBox, wxID_ANY, wxDefaultPosition, wxDefaultSize, WXSIZEOF(games), games);
    gameChoice->SetSelection(0);
    // The choice is aligned right and bottom and also expanded. The toolkit's
    // debug check rejects that combination when it is added, so the item is
    // added expanded and then given its alignment.
    wxSizerItem* gameChoiceItem = gameGridSizer->Add(gameChoice, Bordered().Expand());
    gameChoiceItem->SetFlag(wxALL | wxALIGN_RIGHT | wxALIGN_BOTTOM | wxEXPAND);
    fileSizer->Add(gameGridSizer, wxSizerFlags(1).Expand());
    controlColumnSizer->Add(fileSizer, Bordered().Expand());

    auto* keySizer = new wxStaticBoxSizer(wxVERTICAL, mainPanel, "Key configuration");
    wxStaticBox* keyBox = keySizer->GetStaticBox();
    auto* keyGridSizer = new wxGridSizer(kKeyGridRows, kKeyGridColumns, 0, kKeyGridColumnGap);
    auto addKeyRow = [&](wxStaticText*& label, const char* text, wxChoice*& choice) {
        label = new wxStaticText(keyBox, wxID_ANY, text);
        label->Wrap(kNoWrap);
        keyGridSizer->Add(label, Bordered());
        choice = new wxChoice(keyBox, wxID_ANY);
        choice->SetSelection(0);
        choice->Enable(false);
        keyGridSizer->Add(choice, Bordered().Right());
    };
    addKeyRow(padLabel, "Pad", padChoice);
    addKeyRow(gameKeyLabel, "Game Key", gameKeyChoice);
    addKeyRow(vkeyLabel, "VKey", vkeyChoice);
    keySizer->Add(keyGridSizer, Bordered().Expand());
    controlColumnSizer->Add(keySizer, Bordered().Expand());

    progressGauge = new wxGauge(mainPanel, wxID_ANY, kGaugeRange);
    controlColumnSizer->Add(progressGauge, Bordered().Expand());
    creditText = new wxStaticText(mainPanel, wxID_ANY, kCredit, wxDefaultPosition, wxDefaultSize, wxALIGN_RIGHT);
    creditText->Wrap(kNoWrap);
    controlColumnSizer->Add(creditText, Bordered().Right());
    panelSizer->Add(controlColumnSizer, wxSizerFlags(1).Expand());

    mainPanel->SetSizer(panelSizer);
    mainPanel->Layout();
    panelSizer->Fit(mainPanel);
    frameSizer->Add(mainPanel, wxSizerFlags(1).Expand());
    SetSizer(frameSizer);
    Layout();
}
