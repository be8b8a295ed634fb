#include "app/Morvane.h"

#include <wx/ffile.h>
#include <wx/sizer.h>

#include <algorithm>

#include "MorvaneVersion.h"
#include "settings/Settings.h"
#include "opcodes/IniLoader.h"
#include "keys/KeyNames.h"

using namespace morvane;

namespace {

const wxSize kWindowSize(422, 429);
constexpr long kWindowStyle = wxCAPTION | wxCLOSE_BOX | wxMINIMIZE_BOX | wxSYSTEM_MENU | wxTAB_TRAVERSAL;
const char* const kWindowTitle = "Morvane v" MORVANE_VERSION_SHORT;
// Room beside a list line for the scroll bar and the item padding.
constexpr int kListMargin = 40;

}  // namespace

Morvane::Morvane(wxWindow* parent)
    : GUIFrame(parent, wxID_ANY, kWindowTitle, wxDefaultPosition, kWindowSize, kWindowStyle),
      selectedGame(kGameGta3),
      opcodesLoaded(false) {
    selectedGame = LoadSavedGame();
    gameChoice->SetSelection(GameNumber(selectedGame));
    for (int pad = 0; pad <= kHighestPad; ++pad) padChoice->Insert(kPadNames[pad], static_cast<unsigned>(pad));
    FillKeyChoices();
    FitToContent();

    if (LoadOpcodeTable(OpcodeIniFileName(selectedGame), selectedGame, ProcessOpcodeTable())) {
        opcodesLoaded = true;
        openButton->Enable(true);
    }
}

Morvane::~Morvane() {
    occurrences.clear();
    script.Release();
}

// GTK draws its controls larger than the layout was made for: the window grows
// to what the sizers need so that no control is cut off, never below its
// fixed size, and the user still cannot resize it.
void Morvane::FitToContent() {
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

void Morvane::FillKeyChoices() {
    for (int code = 0; code < kVKeyCount; ++code)
        vkeyChoice->Insert(kKeyNameTable[code], static_cast<unsigned>(code));
    for (int key = 0; key < kGameKeyCount; ++key)
        gameKeyChoice->Insert(kKeyNameTable[kVKeyCount + key], static_cast<unsigned>(key));
}

void Morvane::OnClose(wxCloseEvent& event) {
    if (busy) {
        // Destroying the window now would pull it from under the scan.
        closeRequested = true;
        if (event.CanVeto()) event.Veto();
        return;
    }
    wxFFile settings;
    if (settings.Open(kSettingsFileName, "wb")) {
        const std::string text = FormatSavedGame(selectedGame);
        settings.Write(text.data(), text.size());
        settings.Close();
    }
    Destroy();
}

void Morvane::OnGameSelected(wxCommandEvent& event) {
    selectedGame = GameFromNumber(event.GetInt()).value_or(kGameGta3);
    opcodesLoaded = LoadOpcodeTable(OpcodeIniFileName(selectedGame), selectedGame, ProcessOpcodeTable());
    openButton->Enable(opcodesLoaded);
}
