#include "ui/MainFrameLayout.h"

#include <wx/sizer.h>
#include <wx/statbox.h>

namespace {

constexpr int kBorder = 5;
constexpr int kGameGridRows = 1;
constexpr int kGameGridColumns = 2;
constexpr int kKeyGridRows = 3;
constexpr int kKeyGridColumns = 2;
constexpr int kKeyGridColumnGap = 50;
constexpr int kGaugeRange = 100;
constexpr int kNoWrap = -1;
// The list and the column beside it share the extra width evenly (a box
// sizer keeps that ratio in its least size too).
constexpr int kListColumnShare = 1;
constexpr int kControlColumnShare = 1;
// Room for about this many decoded instructions of this many characters.
constexpr int kContextLines = 10;
constexpr int kContextColumns = 44;

const char* const kCredit = "Morvane - key remapper\nfor compiled game scripts";

wxSizerFlags Bordered() { return wxSizerFlags().Border(wxALL, kBorder); }

}  // namespace

MainFrameLayout::MainFrameLayout(wxWindow* parent, const wxString& title, const wxSize& size, long style)
    : wxFrame(parent, wxID_ANY, title, wxDefaultPosition, size, style) {
    fileMenu = new wxMenu;
    openItem = fileMenu->Append(wxID_OPEN, "&Open...\tCtrl+O");
    saveItem = fileMenu->Append(wxID_SAVE, "&Save\tCtrl+S");
    saveAsItem = fileMenu->Append(wxID_SAVEAS, "Save &As...\tCtrl+Shift+S");
    closeItem = fileMenu->Append(wxID_CLOSE, "&Close\tCtrl+W");
    keyMapItem = fileMenu->Append(wxID_ANY, "Key &Map...\tCtrl+M");
    recentMenu = new wxMenu;
    fileMenu->AppendSubMenu(recentMenu, "Open &Recent");
    fileMenu->AppendSeparator();
    quitItem = fileMenu->Append(wxID_EXIT, "&Quit\tCtrl+Q");
    editMenu = new wxMenu;
    undoItem = editMenu->Append(wxID_UNDO, "&Undo\tCtrl+Z");
    redoItem = editMenu->Append(wxID_REDO, "&Redo\tCtrl+Y");
    editMenu->AppendSeparator();
    pressKeyItem = editMenu->Append(wxID_ANY, "&Press Key...\tCtrl+K");
    changeAllItem = editMenu->Append(wxID_ANY, "Change &All...\tCtrl+H");
    menuBar = new wxMenuBar;
    menuBar->Append(fileMenu, "&File");
    menuBar->Append(editMenu, "&Edit");
    SetMenuBar(menuBar);
    statusBar = CreateStatusBar();

    auto* frameSizer = new wxBoxSizer(wxHORIZONTAL);
    mainPanel = new wxPanel(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL);
    auto* panelSizer = new wxBoxSizer(wxHORIZONTAL);

    // Left: the list of key tests under its heading.
    auto* listColumnSizer = new wxBoxSizer(wxVERTICAL);
    occurrencesHeading = new wxStaticText(mainPanel, wxID_ANY, "Occurrences found:");
    occurrencesHeading->Wrap(kNoWrap);
    listColumnSizer->Add(occurrencesHeading, Bordered().Expand());
    // Above the list: what to keep of it.
    auto* filterSizer = new wxBoxSizer(wxHORIZONTAL);
    filterText = new wxSearchCtrl(mainPanel, wxID_ANY);
    filterText->SetDescriptiveText("Filter: key, offset or opcode");
    filterSizer->Add(filterText, wxSizerFlags(1).Expand());
    const wxString kinds[] = {"All tests", "VKey tests", "Button tests", "Cheat codes"};
    kindFilter = new wxChoice(mainPanel, wxID_ANY, wxDefaultPosition, wxDefaultSize, WXSIZEOF(kinds), kinds);
    kindFilter->SetSelection(0);
    filterSizer->Add(kindFilter, wxSizerFlags().Border(wxLEFT, kBorder));
    listColumnSizer->Add(filterSizer, Bordered().Expand());
    occurrenceList = new wxListBox(mainPanel, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0, nullptr, wxLB_SINGLE);
    listColumnSizer->Add(occurrenceList, Bordered().Proportion(1).Expand());
    panelSizer->Add(listColumnSizer, Bordered().Proportion(kListColumnShare).Expand());

    // Right: the file box, the key box, what surrounds the selected test,
    // the progress gauge and the credit. The key box comes before the file
    // box in the tab order: list, key choices, buttons.
    auto* controlColumnSizer = new wxBoxSizer(wxVERTICAL);
    auto* fileSizer = new wxStaticBoxSizer(wxVERTICAL, mainPanel, "File");
    wxStaticBox* fileBox = fileSizer->GetStaticBox();
    auto* keySizer = new wxStaticBoxSizer(wxVERTICAL, mainPanel, "Key configuration");
    wxStaticBox* keyBox = keySizer->GetStaticBox();
    keyBox->MoveAfterInTabOrder(occurrenceList);

    pathText = new wxTextCtrl(fileBox, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, wxTE_READONLY);
    fileSizer->Add(pathText, Bordered().Expand());
    openButton = new wxButton(fileBox, wxID_ANY, "&Open File");
    openButton->Enable(false);
    fileSizer->Add(openButton, Bordered().Expand());
    saveButton = new wxButton(fileBox, wxID_ANY, "&Save File");
    saveButton->Enable(false);
    fileSizer->Add(saveButton, Bordered().Expand());
    closeButton = new wxButton(fileBox, wxID_ANY, "&Close File");
    closeButton->Enable(false);
    fileSizer->Add(closeButton, Bordered().Expand());
    // Which keys the scripts of a whole folder test.
    keyMapButton = new wxButton(fileBox, wxID_ANY, "Key &map...");
    keyMapButton->Enable(false);
    fileSizer->Add(keyMapButton, Bordered().Expand());

    // Label and choice in rows whose columns take only the room they need.
    auto* gameGridSizer = new wxFlexGridSizer(kGameGridRows, kGameGridColumns, 0, 0);
    gameGridSizer->AddGrowableCol(1);
    gameLabel = new wxStaticText(fileBox, wxID_ANY, "&Game");
    gameLabel->Wrap(kNoWrap);
    gameGridSizer->Add(gameLabel, Bordered().CenterVertical());
    const wxString games[] = {"GTA III", "Vice City", "San Andreas"};
    gameChoice = new wxChoice(fileBox, wxID_ANY, wxDefaultPosition, wxDefaultSize, WXSIZEOF(games), games);
    gameChoice->SetSelection(0);
    gameGridSizer->Add(gameChoice, Bordered().Expand());
    fileSizer->Add(gameGridSizer, wxSizerFlags().Expand());

    auto* keyGridSizer = new wxFlexGridSizer(kKeyGridRows, kKeyGridColumns, 0, kKeyGridColumnGap);
    keyGridSizer->AddGrowableCol(1);
    auto addKeyRow = [&](wxStaticText*& label, const char* text, wxChoice*& choice, wxWindow* beside) {
        label = new wxStaticText(keyBox, wxID_ANY, text);
        label->Wrap(kNoWrap);
        keyGridSizer->Add(label, Bordered().CenterVertical());
        choice = new wxChoice(keyBox, wxID_ANY);
        choice->Enable(false);
        auto* cell = new wxBoxSizer(wxHORIZONTAL);
        cell->Add(choice, wxSizerFlags().CenterVertical());
        if (beside != nullptr) cell->Add(beside, wxSizerFlags().CenterVertical().Border(wxLEFT, kBorder));
        keyGridSizer->Add(cell, Bordered().Right());
    };
    addKeyRow(padLabel, "&Pad", padChoice, nullptr);
    addKeyRow(gameKeyLabel, "Game &Key", gameKeyChoice, nullptr);
    // Beside the VKey choice: take the next key pressed instead.
    pressKeyButton = new wxButton(keyBox, wxID_ANY, "P&ress key...");
    pressKeyButton->Enable(false);
    addKeyRow(vkeyLabel, "&VKey", vkeyChoice, pressKeyButton);
    pressKeyButton->MoveAfterInTabOrder(vkeyChoice);  // made before the choice, reached after it
    keyChoicesSizer = keyGridSizer;
    keySizer->Add(keyGridSizer, Bordered().Expand());
    // A cheat test's typed code; shown instead of the key choices.
    auto* cheatRow = new wxBoxSizer(wxHORIZONTAL);
    cheatLabel = new wxStaticText(keyBox, wxID_ANY, "C&ode");
    cheatRow->Add(cheatLabel, Bordered().CenterVertical());
    cheatText = new wxTextCtrl(keyBox, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, wxTE_PROCESS_ENTER);
    cheatRow->Add(cheatText, Bordered().Proportion(1).CenterVertical());
    setCheatButton = new wxButton(keyBox, wxID_ANY, "S&et code");
    cheatRow->Add(setCheatButton, Bordered().CenterVertical());
    cheatSizer = cheatRow;
    keySizer->Add(cheatRow, wxSizerFlags().Expand());
    keySizer->Hide(cheatRow, true);
    changeAllButton = new wxButton(keyBox, wxID_ANY, "C&hange all...");
    changeAllButton->Enable(false);
    keySizer->Add(changeAllButton, Bordered().Right());
    controlColumnSizer->Add(fileSizer, Bordered().Expand());
    controlColumnSizer->Add(keySizer, Bordered().Expand());

    auto* contextSizer = new wxStaticBoxSizer(wxVERTICAL, mainPanel, "Around the selected test");
    contextView = new wxTextCtrl(contextSizer->GetStaticBox(), wxID_ANY, wxEmptyString, wxDefaultPosition,
                                 wxDefaultSize, wxTE_MULTILINE | wxTE_READONLY | wxTE_RICH2 | wxTE_DONTWRAP);
    contextView->SetFont(wxFont(wxFontInfo().Family(wxFONTFAMILY_TELETYPE)));
    const wxSize character = contextView->GetTextExtent("M");
    contextView->SetMinSize(wxSize(character.x * kContextColumns, character.y * kContextLines));
    contextSizer->Add(contextView, Bordered().Proportion(1).Expand());
    controlColumnSizer->Add(contextSizer, Bordered().Proportion(1).Expand());

    progressGauge = new wxGauge(mainPanel, wxID_ANY, kGaugeRange);
    controlColumnSizer->Add(progressGauge, Bordered().Expand());
    creditText = new wxStaticText(mainPanel, wxID_ANY, kCredit, wxDefaultPosition, wxDefaultSize, wxALIGN_RIGHT);
    creditText->Wrap(kNoWrap);
    controlColumnSizer->Add(creditText, Bordered().Right());
    panelSizer->Add(controlColumnSizer, wxSizerFlags(kControlColumnShare).Expand());

    mainPanel->SetSizer(panelSizer);
    frameSizer->Add(mainPanel, wxSizerFlags(1).Expand());
    SetSizer(frameSizer);
}
