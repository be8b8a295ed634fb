#include "ui/MainFrameLayout.h"

#include <wx/sizer.h>
#include <wx/settings.h>
#include <wx/statbox.h>

#include <algorithm>

#include "opcodes/GameId.h"
#include "i18n/Language.h"
#include "ui/WxTr.h"

namespace {

// Sizes in pixels at 96 dots an inch; the window scales them to its screen.
constexpr int kBorder = 5;
constexpr int kKeyGridColumnGap = 10;
constexpr int kGameGridRows = 1;
constexpr int kGameGridColumns = 2;
constexpr int kKeyGridRows = 4;
constexpr int kKeyGridColumns = 2;
constexpr int kGaugeRange = 100;
constexpr int kFileButtonColumns = 2;
constexpr int kNoWrap = -1;
// The colour of a note that part of a script was not read as code: a dark
// red that reads on light and dark themes' backgrounds alike.
constexpr unsigned char kWarningRed = 0xB0, kWarningGreen = 0x30, kWarningBlue = 0x20;
// The list and the column beside it share the extra width evenly (a box
// sizer keeps that ratio in its least size too).
constexpr int kListColumnShare = 1;
constexpr int kControlColumnShare = 1;
// The view around a test is never smaller than this many lines of this
// many characters; the window is first made tall enough for all of them.
constexpr int kLeastContextLines = 6;
constexpr int kContextColumns = 44;
// The widest a key choice is made: its longest names (game controls in some
// languages) are cut in the closed choice and whole in its open list, so
// the window still fits a screen of 1024 pixels.
constexpr int kWidestKeyChoice = 300;

// TRANSLATORS: the credit at the bottom right of the window; the line break
// keeps it narrow.
const char* const kCredit = N_("Morvane - key remapper\nfor compiled game scripts");

}  // namespace

MainFrameLayout::MainFrameLayout(wxWindow* parent, const wxString& title, long style)
    : wxFrame(parent, wxID_ANY, title, wxDefaultPosition, wxDefaultSize, style) {
    MakeMenus();
    // Messages, then where the game's opcodes come from.
    statusBar = CreateStatusBar(2);
    const int widths[] = {-1, -1};
    statusBar->SetStatusWidths(2, widths);
    mainPanel = new wxPanel(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL, "mainPanel");

    // Left: the list of key tests. Right: the file box, the key box, what
    // surrounds the selected test, the progress gauge and the credit. The
    // key box comes before the file box in the tab order: list, key choices,
    // buttons.
    auto* panelSizer = new wxBoxSizer(wxHORIZONTAL);
    const wxSizerFlags bordered = wxSizerFlags().Border(wxALL, FromDIP(kBorder));
    panelSizer->Add(MakeListColumn(), wxSizerFlags(bordered).Proportion(kListColumnShare).Expand());
    auto* controlColumnSizer = new wxBoxSizer(wxVERTICAL);
    wxSizer* fileBox = MakeFileBox();
    wxSizer* keyBox = MakeKeyBox();
    controlColumnSizer->Add(fileBox, wxSizerFlags(bordered).Expand());
    controlColumnSizer->Add(keyBox, wxSizerFlags(bordered).Expand());
    controlColumnSizer->Add(MakeContextBox(), wxSizerFlags(bordered).Proportion(1).Expand());
    progressGauge = new wxGauge(mainPanel, wxID_ANY, kGaugeRange, wxDefaultPosition, wxDefaultSize, wxGA_HORIZONTAL,
                                wxDefaultValidator, "progressGauge");
    controlColumnSizer->Add(progressGauge, wxSizerFlags(bordered).Expand());
    controlColumnSizer->Hide(progressGauge);  // shown while a script is read
    creditText = new wxStaticText(mainPanel, wxID_ANY, WxTr(kCredit), wxDefaultPosition, wxDefaultSize, wxALIGN_RIGHT,
                                  "creditText");
    creditText->Wrap(kNoWrap);
    controlColumnSizer->Add(creditText, wxSizerFlags(bordered).Right());
    panelSizer->Add(controlColumnSizer, wxSizerFlags(kControlColumnShare).Expand());
    mainPanel->SetSizer(panelSizer);

    auto* frameSizer = new wxBoxSizer(wxHORIZONTAL);
    frameSizer->Add(mainPanel, wxSizerFlags(1).Expand());
    SetSizer(frameSizer);
}

void MainFrameLayout::MakeMenus() {
    fileMenu = new wxMenu;
    // The shortcuts stay out of the texts: they are the same in every language.
    openItem = fileMenu->Append(wxID_OPEN, WxTr("&Open File...") + "\tCtrl+O");
    saveItem = fileMenu->Append(wxID_SAVE, WxTr("&Save File") + "\tCtrl+S");
    saveAsItem = fileMenu->Append(wxID_SAVEAS, WxTr("Save File &As...") + "\tCtrl+Shift+S");
    closeItem = fileMenu->Append(wxID_CLOSE, WxTr("&Close File") + "\tCtrl+W");
    fileMenu->AppendSeparator();
    // TRANSLATORS: the command that shows which keys the scripts of a folder test.
    keyMapItem = fileMenu->Append(wxID_ANY, WxTr("Key &Map...") + "\tCtrl+M");
    // TRANSLATORS: the command that chooses where the opcode tables come from.
    opcodeFilesItem = fileMenu->Append(wxID_ANY, WxTr("Opcode &Files..."));
    recentMenu = new wxMenu;
    fileMenu->AppendSubMenu(recentMenu, WxTr("Open &Recent"));
    fileMenu->AppendSeparator();
    quitItem = fileMenu->Append(wxID_EXIT, WxTr("&Quit") + "\tCtrl+Q");
    editMenu = new wxMenu;
    undoItem = editMenu->Append(wxID_UNDO, WxTr("&Undo") + "\tCtrl+Z");
    redoItem = editMenu->Append(wxID_REDO, WxTr("&Redo") + "\tCtrl+Y");
    editMenu->AppendSeparator();
    // TRANSLATORS: the command that gives the selected test the next key pressed.
    pressKeyItem = editMenu->Append(wxID_ANY, WxTr("&Press Key...") + "\tCtrl+K");
    // TRANSLATORS: the command that gives every test of a key another key.
    changeAllItem = editMenu->Append(wxID_ANY, WxTr("Change &All...") + "\tCtrl+H");
    viewMenu = new wxMenu;
    languageMenu = new wxMenu;
    // TRANSLATORS: the language the system asks for, whichever it is.
    languageItems.push_back(languageMenu->AppendRadioItem(wxID_ANY, WxTr("&System Language")));
    languageMenu->AppendSeparator();
    // Each language by its own name, as its speakers look for it.
    for (const morvane::Language& language : morvane::kLanguages)
        languageItems.push_back(languageMenu->AppendRadioItem(wxID_ANY, wxString::FromUTF8(language.name)));
    viewMenu->AppendSubMenu(languageMenu, WxTr("&Language"));
    menuBar = new wxMenuBar;
    // TRANSLATORS: the menu of the commands on files.
    menuBar->Append(fileMenu, WxTr("&File"));
    menuBar->Append(editMenu, WxTr("&Edit"));
    // TRANSLATORS: the menu of how the window looks and speaks.
    menuBar->Append(viewMenu, WxTr("&View"));
    SetMenuBar(menuBar);
}

// The list of key tests under its heading, with what to keep of it above.
wxSizer* MainFrameLayout::MakeListColumn() {
    const wxSizerFlags bordered = wxSizerFlags().Border(wxALL, FromDIP(kBorder));
    auto* column = new wxBoxSizer(wxVERTICAL);
    testsHeading =
        new wxStaticText(mainPanel, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, 0, "testsHeading");
    testsHeading->Wrap(kNoWrap);
    column->Add(testsHeading, wxSizerFlags(bordered).Expand());
    readingNote =
        new wxStaticText(mainPanel, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, 0, "readingNote");
    readingNote->SetForegroundColour(wxColour(kWarningRed, kWarningGreen, kWarningBlue));
    column->Add(readingNote, wxSizerFlags(bordered).Expand());
    column->Hide(readingNote);
    auto* filterSizer = new wxBoxSizer(wxHORIZONTAL);
    filterText = new wxSearchCtrl(mainPanel, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, 0,
                                  wxDefaultValidator, "filterText");
    // TRANSLATORS: shown in the empty search field above the list of key tests.
    filterText->SetDescriptiveText(WxTr("Filter: key, offset or opcode"));
    filterSizer->Add(filterText, wxSizerFlags(1).Expand());
    // The kinds of key tests the list shows.
    const wxString kinds[] = {
        // TRANSLATORS: the choice that lists key tests of every kind.
        WxTr("All tests"),
        // TRANSLATORS: the choice that lists only the tests of a VKey, a Windows key code.
        WxTr("VKey tests"),
        // TRANSLATORS: the choice that lists only the tests of a button of the game's pad.
        WxTr("Button tests"),
        // TRANSLATORS: the choice that lists only the tests of cheat codes typed.
        WxTr("Cheat codes"),
    };
    kindFilter = new wxChoice(mainPanel, wxID_ANY, wxDefaultPosition, wxDefaultSize, WXSIZEOF(kinds), kinds, 0,
                              wxDefaultValidator, "kindFilter");
    kindFilter->SetSelection(0);
    filterSizer->Add(kindFilter, wxSizerFlags().Border(wxLEFT, FromDIP(kBorder)));
    column->Add(filterSizer, wxSizerFlags(bordered).Expand());
    testList = new TestList(mainPanel, "testList");
    column->Add(testList, wxSizerFlags(bordered).Proportion(1).Expand());
    emptyListText = new wxStaticText(mainPanel, wxID_ANY, WxTr("No key test matches the filter."), wxDefaultPosition,
                                     wxDefaultSize, wxALIGN_CENTRE_HORIZONTAL, "emptyListText");
    column->Add(emptyListText, wxSizerFlags(bordered).Proportion(1).Expand());
    column->Hide(emptyListText);
    return column;
}

// The path of the script and the commands on files, then the game.
wxSizer* MainFrameLayout::MakeFileBox() {
    const wxSizerFlags bordered = wxSizerFlags().Border(wxALL, FromDIP(kBorder));
    // TRANSLATORS: the title of the box with the opened file's path and the
    // commands on files.
    auto* box = new wxStaticBoxSizer(wxVERTICAL, mainPanel, WxTr("File"));
    wxStaticBox* parent = box->GetStaticBox();
    pathText = new wxTextCtrl(parent, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, wxTE_READONLY,
                              wxDefaultValidator, "pathText");
    box->Add(pathText, wxSizerFlags(bordered).Expand());
    // Two buttons a row, as the menu's commands name them.
    auto* buttons = new wxGridSizer(kFileButtonColumns, 0, 0);
    auto addButton = [&](wxButton*& button, const wxString& label, const char* name) {
        button = new wxButton(parent, wxID_ANY, label, wxDefaultPosition, wxDefaultSize, 0, wxDefaultValidator, name);
        buttons->Add(button, wxSizerFlags(bordered).Expand());
    };
    addButton(openButton, WxTr("&Open File..."), "openButton");
    addButton(saveAsButton, WxTr("Save File &As..."), "saveAsButton");
    addButton(closeButton, WxTr("&Close File"), "closeButton");
    addButton(keyMapButton, WxTr("Key &Map..."), "keyMapButton");  // which keys the scripts of a whole folder test
    box->Add(buttons, wxSizerFlags().Expand());

    // Label and choice in a row whose columns take only the room they need.
    auto* gameGrid = new wxFlexGridSizer(kGameGridRows, kGameGridColumns, 0, 0);
    gameGrid->AddGrowableCol(1);
    // TRANSLATORS: the label of the choice of the game (GTA III, Vice City,
    // San Andreas) whose scripts are opened.
    gameLabel = new wxStaticText(parent, wxID_ANY, WxTr("&Game"), wxDefaultPosition, wxDefaultSize, 0, "gameLabel");
    gameLabel->Wrap(kNoWrap);
    gameGrid->Add(gameLabel, wxSizerFlags(bordered).CenterVertical());
    wxArrayString games;
    for (const morvane::GameInfo& info : morvane::kGames) games.Add(info.name);
    gameChoice =
        new wxChoice(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, games, 0, wxDefaultValidator, "gameChoice");
    gameChoice->SetSelection(0);
    gameGrid->Add(gameChoice, wxSizerFlags(bordered).Expand());
    box->Add(gameGrid, wxSizerFlags().Expand());
    return box;
}

// The pad, game key and VKey of the selected test, or its cheat code, and
// Change all.
wxSizer* MainFrameLayout::MakeKeyBox() {
    const wxSizerFlags bordered = wxSizerFlags().Border(wxALL, FromDIP(kBorder));
    // TRANSLATORS: the title of the box with the selected test's key.
    auto* box = new wxStaticBoxSizer(wxVERTICAL, mainPanel, WxTr("Key configuration"));
    wxStaticBox* parent = box->GetStaticBox();
    parent->MoveAfterInTabOrder(testList);

    auto* keyGrid = new wxFlexGridSizer(kKeyGridRows, kKeyGridColumns, 0, FromDIP(kKeyGridColumnGap));
    keyGrid->AddGrowableCol(1);
    auto addKeyRow = [&](wxStaticText*& label, const wxString& text, wxChoice*& choice, const char* name,
                         wxSizer* beside) {
        label = new wxStaticText(parent, wxID_ANY, text);
        label->Wrap(kNoWrap);
        keyGrid->Add(label, wxSizerFlags(bordered).CenterVertical());
        choice =
            new wxChoice(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0, nullptr, 0, wxDefaultValidator, name);
        choice->SetMaxSize(wxSize(FromDIP(kWidestKeyChoice), -1));
        auto* cell = new wxBoxSizer(wxHORIZONTAL);
        cell->Add(choice, wxSizerFlags().CenterVertical());
        if (beside != nullptr) cell->Add(beside, wxSizerFlags().CenterVertical().Border(wxLEFT, FromDIP(kBorder)));
        keyGrid->Add(cell, wxSizerFlags(bordered).Right());
    };
    // TRANSLATORS: the label of the choice of the game controller (Pad 1 or
    // Pad 2) whose button the selected test tests.
    addKeyRow(padLabel, WxTr("&Pad"), padChoice, "padChoice", nullptr);
    // TRANSLATORS: the label of the choice of the pad's button, named by what
    // it does in the game.
    addKeyRow(gameKeyLabel, WxTr("Game &Key"), gameKeyChoice, "gameKeyChoice", nullptr);
    // In place of the pad's two rows while a touch test is selected.
    // TRANSLATORS: the label of the choice of the zone of the touch screen, or
    // of the on-screen button, that the selected test of a mobile script tests.
    addKeyRow(touchLabel, WxTr("&Touch"), touchChoice, "touchChoice", nullptr);
    touchLabel->Hide();
    touchChoice->Hide();
    // Beside the VKey choice: take the next key pressed instead.
    auto* pressKeyCell = new wxBoxSizer(wxHORIZONTAL);
    // TRANSLATORS: the button that gives the selected test the next key pressed.
    pressKeyButton = new wxButton(parent, wxID_ANY, WxTr("P&ress Key..."), wxDefaultPosition, wxDefaultSize, 0,
                                  wxDefaultValidator, "pressKeyButton");
    pressKeyCell->Add(pressKeyButton, wxSizerFlags().CenterVertical());
    keyPrompt =
        new wxPanel(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxWANTS_CHARS | wxBORDER_SIMPLE, "keyPrompt");
    keyPromptText = new wxStaticText(keyPrompt, wxID_ANY, WxTr("Press a key (Esc cancels)"));
    auto* promptSizer = new wxBoxSizer(wxHORIZONTAL);
    promptSizer->Add(keyPromptText, wxSizerFlags().CenterVertical().Border(wxALL, FromDIP(kBorder)));
    keyPrompt->SetSizer(promptSizer);
    keyPrompt->SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_INFOBK));
    keyPromptText->SetForegroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_INFOTEXT));
    pressKeyCell->Add(keyPrompt, wxSizerFlags().CenterVertical());
    pressKeyCell->Hide(keyPrompt);
    // TRANSLATORS: the label of the choice of the Windows virtual-key code the
    // selected test tests; "VKey" is the word scripters use.
    addKeyRow(vkeyLabel, WxTr("&VKey"), vkeyChoice, "vkeyChoice", pressKeyCell);
    pressKeyButton->MoveAfterInTabOrder(vkeyChoice);  // made before the choice, reached after it
    keyChoicesSizer = keyGrid;
    box->Add(keyGrid, wxSizerFlags(bordered).Expand());

    // A cheat test's typed code; shown instead of the key choices.
    auto* cheatRow = new wxBoxSizer(wxHORIZONTAL);
    // TRANSLATORS: the label of the field of a cheat test's code, the letters
    // the player types.
    cheatLabel = new wxStaticText(parent, wxID_ANY, WxTr("C&ode"));
    cheatRow->Add(cheatLabel, wxSizerFlags(bordered).CenterVertical());
    cheatText = new wxTextCtrl(parent, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, wxTE_PROCESS_ENTER,
                               wxDefaultValidator, "cheatText");
    cheatRow->Add(cheatText, wxSizerFlags(bordered).Proportion(1).CenterVertical());
    // TRANSLATORS: the button that makes the code typed the cheat test's code.
    setCheatButton = new wxButton(parent, wxID_ANY, WxTr("S&et code"), wxDefaultPosition, wxDefaultSize, 0,
                                  wxDefaultValidator, "setCheatButton");
    cheatRow->Add(setCheatButton, wxSizerFlags(bordered).CenterVertical());
    auto* cheatColumn = new wxBoxSizer(wxVERTICAL);
    cheatColumn->Add(cheatRow, wxSizerFlags().Expand());
    cheatProblem =
        new wxStaticText(parent, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, 0, "cheatProblem");
    cheatColumn->Add(cheatProblem, wxSizerFlags(bordered).Expand());
    cheatSizer = cheatColumn;
    box->Add(cheatColumn, wxSizerFlags().Expand());
    box->Hide(cheatColumn, true);

    // TRANSLATORS: the button that gives every test of the selected test's key
    // another key.
    changeAllButton = new wxButton(parent, wxID_ANY, WxTr("C&hange All..."), wxDefaultPosition, wxDefaultSize, 0,
                                   wxDefaultValidator, "changeAllButton");
    box->Add(changeAllButton, wxSizerFlags(bordered).Right());
    return box;
}

// Lines of the view's font with the room of the scroll bar that long lines bring.
wxSize MainFrameLayout::ContextViewSize(int lines) const {
    const wxSize character = contextView->GetTextExtent("M");
    const int scrollBar = std::max(wxSystemSettings::GetMetric(wxSYS_HSCROLL_Y, contextView), 0);
    return wxSize(character.x * kContextColumns,
                  std::max(character.y, contextView->GetCharHeight()) * lines + scrollBar + FromDIP(kBorder));
}

int MainFrameLayout::ContextRoomWanted() const {
    return ContextViewSize(kContextLines).y - ContextViewSize(kLeastContextLines).y;
}

// The instructions around the selected test, in a fixed-width font.
wxSizer* MainFrameLayout::MakeContextBox() {
    // TRANSLATORS: the title of the box with the instructions before and after
    // the selected test.
    auto* box = new wxStaticBoxSizer(wxVERTICAL, mainPanel, WxTr("Around the selected test"));
    contextView =
        new wxTextCtrl(box->GetStaticBox(), wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                       wxTE_MULTILINE | wxTE_READONLY | wxTE_RICH2 | wxTE_DONTWRAP, wxDefaultValidator, "contextView");
    contextView->SetFont(wxFont(wxFontInfo().Family(wxFONTFAMILY_TELETYPE)));
    contextView->SetMinSize(ContextViewSize(kLeastContextLines));
    box->Add(contextView, wxSizerFlags().Border(wxALL, FromDIP(kBorder)).Proportion(1).Expand());
    return box;
}
