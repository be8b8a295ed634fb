#include "ui/MainFrame.h"

#include <wx/ffile.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>

#include <algorithm>

#include "MorvaneVersion.h"
#include "keys/KeyNames.h"
#include "opcodes/IniLoader.h"
#include "settings/Settings.h"

using namespace morvane;

namespace {

const wxSize kWindowSize(422, 429);
constexpr long kWindowStyle = wxCAPTION | wxCLOSE_BOX | wxMINIMIZE_BOX | wxSYSTEM_MENU | wxTAB_TRAVERSAL;
const char* const kWindowTitle = "Morvane v" MORVANE_VERSION_SHORT;
// Room beside a list line for the scroll bar and the item padding.
constexpr int kListMargin = 40;

}  // namespace

MainFrame::MainFrame(wxWindow* parent) : MainFrameLayout(parent, kWindowTitle, kWindowSize, kWindowStyle) {
    selectedGame = LoadSavedGame();
    gameChoice->SetSelection(GameNumber(selectedGame));
    for (int pad = 0; pad <= kHighestPad; ++pad) padChoice->Insert(kPadNames[pad], static_cast<unsigned>(pad));
    FillKeyChoices();
    FitToContent();
    LoadGameTable();
    BindHandlers();
}

// Every binding is removed while all controls still exist, so no handler
// runs on a window that is being taken apart.
MainFrame::~MainFrame() { UnbindHandlers(); }

void MainFrame::BindHandlers() {
    Bind(wxEVT_CLOSE_WINDOW, &MainFrame::OnClose, this);
    occurrenceList->Bind(wxEVT_LISTBOX, &MainFrame::OnOccurrenceSelected, this);
    openButton->Bind(wxEVT_BUTTON, &MainFrame::OnOpenFile, this);
    saveButton->Bind(wxEVT_BUTTON, &MainFrame::OnSaveFile, this);
    closeButton->Bind(wxEVT_BUTTON, &MainFrame::OnCloseFile, this);
    gameChoice->Bind(wxEVT_CHOICE, &MainFrame::OnGameSelected, this);
    padChoice->Bind(wxEVT_CHOICE, &MainFrame::OnPadSelected, this);
    gameKeyChoice->Bind(wxEVT_CHOICE, &MainFrame::OnGameKeySelected, this);
    vkeyChoice->Bind(wxEVT_CHOICE, &MainFrame::OnVKeySelected, this);
}

void MainFrame::UnbindHandlers() {
    Unbind(wxEVT_CLOSE_WINDOW, &MainFrame::OnClose, this);
    occurrenceList->Unbind(wxEVT_LISTBOX, &MainFrame::OnOccurrenceSelected, this);
    openButton->Unbind(wxEVT_BUTTON, &MainFrame::OnOpenFile, this);
    saveButton->Unbind(wxEVT_BUTTON, &MainFrame::OnSaveFile, this);
    closeButton->Unbind(wxEVT_BUTTON, &MainFrame::OnCloseFile, this);
    gameChoice->Unbind(wxEVT_CHOICE, &MainFrame::OnGameSelected, this);
    padChoice->Unbind(wxEVT_CHOICE, &MainFrame::OnPadSelected, this);
    gameKeyChoice->Unbind(wxEVT_CHOICE, &MainFrame::OnGameKeySelected, this);
    vkeyChoice->Unbind(wxEVT_CHOICE, &MainFrame::OnVKeySelected, this);
}

// GTK draws its controls larger than the layout was made for: the window grows
// to what the sizers need so that no control is cut off, never below its
// fixed size, and the user still cannot resize it.
void MainFrame::FitToContent() {
    // An empty list box on GTK is only a few pixels wide: make room for the
    // longest key name, so that every line can be read.
    int widest = 0;
    for (const char* name : kKeyNameTable) widest = std::max(widest, occurrenceList->GetTextExtent(name).x);
    occurrenceList->SetMinSize(wxSize(widest + kListMargin, wxDefaultCoord));
    mainPanel->GetSizer()->SetSizeHints(mainPanel);
    const wxSize needed = GetSizer()->ComputeFittingWindowSize(this);
    SetSize(wxSize(std::max(kWindowSize.x, needed.x), std::max(kWindowSize.y, needed.y)));
    Layout();
}

void MainFrame::FillKeyChoices() {
    for (int code = 0; code < kVKeyCount; ++code) vkeyChoice->Insert(kKeyNameTable[code], static_cast<unsigned>(code));
    for (int key = 0; key < kGameKeyCount; ++key)
        gameKeyChoice->Insert(kKeyNameTable[kVKeyCount + key], static_cast<unsigned>(key));
}

// The selected game's opcode table; Open File is enabled only when it loaded.
void MainFrame::LoadGameTable() {
    opcodesLoaded = LoadOpcodeTable(OpcodeIniFileName(selectedGame), selectedGame, opcodeTable);
    openButton->Enable(opcodesLoaded);
}

void MainFrame::ShowMessage(const wxString& text) { wxMessageBox(text, wxMessageBoxCaptionStr, wxOK | wxCENTRE, this); }

void MainFrame::OnClose(wxCloseEvent& /*event*/) {
    wxFFile settings;
    if (settings.Open(kSettingsFileName, "wb")) {
        const std::string text = FormatSavedGame(selectedGame);
        settings.Write(text.data(), text.size());
        settings.Close();
    }
    Destroy();
}

void MainFrame::OnGameSelected(wxCommandEvent& event) {
    selectedGame = GameFromNumber(event.GetInt()).value_or(kGameGta3);
    LoadGameTable();
}
