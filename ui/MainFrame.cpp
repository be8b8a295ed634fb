#include "ui/MainFrame.h"

#include <wx/config.h>
#include <wx/display.h>
#include <wx/dnd.h>
#include <wx/ffile.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>

#include <algorithm>

#include "MorvaneVersion.h"
#include "keys/KeyNames.h"
#include "opcodes/IniLoader.h"
#include "settings/Settings.h"
#include "ui/KeyMapWindow.h"

using namespace morvane;

namespace {

const wxSize kWindowSize(422, 429);
const char* const kProgramTitle = "Morvane v" MORVANE_VERSION_SHORT;
// Room beside a list line for the scroll bar and the item padding.
constexpr int kListMargin = 40;
// The longest line the list shows besides the key's name.
const wchar_t* const kLongestLineTail = L"* \u00B7 Pad 2 \u00B7 0x3FFFFF \u00B7 7FFF (?)";

// Where the window's size and place are kept between runs (the user's
// configuration, not the game folder).
const char* const kGeometryGroup = "/Window";
const char* const kGeometryX = "/Window/X";
const char* const kGeometryY = "/Window/Y";
const char* const kGeometryWidth = "/Window/Width";
const char* const kGeometryHeight = "/Window/Height";
const char* const kGeometryMaximized = "/Window/Maximized";

// How many files the recent-files list keeps (Ctrl+1 to Ctrl+9).
constexpr int kRecentFiles = 9;
const char* const kRecentGroup = "/RecentFiles";

// A script dropped on the window opens as if chosen in Open File.
class ScriptDropTarget : public wxFileDropTarget {
public:
    explicit ScriptDropTarget(MainFrame* frame) : frame_(frame) {}
    bool OnDropFiles(wxCoord, wxCoord, const wxArrayString& files) override {
        return !files.empty() && frame_->OpenFromOutside(files[0]);
    }

private:
    MainFrame* frame_;
};

}  // namespace

MainFrame::MainFrame(wxWindow* parent)
    : MainFrameLayout(parent, kProgramTitle, kWindowSize, wxDEFAULT_FRAME_STYLE), recentFiles(kRecentFiles) {
    selectedGame = LoadSavedGame();
    gameChoice->SetSelection(GameNumber(selectedGame));
    for (int pad = 0; pad <= kHighestPad; ++pad) padChoice->Insert(kPadNames[pad], static_cast<unsigned>(pad));
    FillKeyChoices();
    FitToContent();
    RestoreGeometry();
    LoadGameTable();
    ShowNoFileState();
    EnableCommands(false);
    openButton->Enable(opcodesLoaded);
    openItem->Enable(opcodesLoaded);
    gameChoice->Enable(true);

    recentFiles.UseMenu(recentMenu);
    wxConfigBase* config = wxConfigBase::Get();
    config->SetPath(kRecentGroup);
    recentFiles.Load(*config);
    config->SetPath("/");
    std::vector<wxAcceleratorEntry> keys;
    for (int i = 0; i < kRecentFiles; ++i) keys.emplace_back(wxACCEL_CTRL, '1' + i, wxID_FILE1 + i);
    SetAcceleratorTable(wxAcceleratorTable(static_cast<int>(keys.size()), keys.data()));
    SetDropTarget(new ScriptDropTarget(this));
    UpdateEditCommands();
    BindHandlers();
}

// Every binding is removed while all controls still exist, so no handler
// runs on a window that is being taken apart.
MainFrame::~MainFrame() { UnbindHandlers(); }

void MainFrame::BindHandlers() {
    Bind(wxEVT_CLOSE_WINDOW, &MainFrame::OnClose, this);
    occurrenceList->Bind(wxEVT_LISTBOX, &MainFrame::OnOccurrenceSelected, this);
    openButton->Bind(wxEVT_BUTTON, &MainFrame::OnOpenFile, this);
    saveButton->Bind(wxEVT_BUTTON, &MainFrame::OnSaveAs, this);
    closeButton->Bind(wxEVT_BUTTON, &MainFrame::OnCloseFile, this);
    gameChoice->Bind(wxEVT_CHOICE, &MainFrame::OnGameSelected, this);
    padChoice->Bind(wxEVT_CHOICE, &MainFrame::OnPadSelected, this);
    gameKeyChoice->Bind(wxEVT_CHOICE, &MainFrame::OnGameKeySelected, this);
    vkeyChoice->Bind(wxEVT_CHOICE, &MainFrame::OnVKeySelected, this);
    Bind(wxEVT_MENU, &MainFrame::OnOpenFile, this, wxID_OPEN);
    Bind(wxEVT_MENU, &MainFrame::OnSaveFile, this, wxID_SAVE);
    Bind(wxEVT_MENU, &MainFrame::OnSaveAs, this, wxID_SAVEAS);
    Bind(wxEVT_MENU, &MainFrame::OnCloseFile, this, wxID_CLOSE);
    Bind(wxEVT_MENU, &MainFrame::OnQuit, this, wxID_EXIT);
    Bind(wxEVT_MENU, &MainFrame::OnUndo, this, wxID_UNDO);
    Bind(wxEVT_MENU, &MainFrame::OnRedo, this, wxID_REDO);
    Bind(wxEVT_MENU, &MainFrame::OnPressKey, this, pressKeyItem->GetId());
    Bind(wxEVT_MENU, &MainFrame::OnChangeAll, this, changeAllItem->GetId());
    Bind(wxEVT_MENU, &MainFrame::OnRecentFile, this, wxID_FILE1, wxID_FILE1 + kRecentFiles - 1);
    Bind(wxEVT_MENU, &MainFrame::OnKeyMap, this, keyMapItem->GetId());
    keyMapButton->Bind(wxEVT_BUTTON, &MainFrame::OnKeyMap, this);
    pressKeyButton->Bind(wxEVT_BUTTON, &MainFrame::OnPressKey, this);
    setCheatButton->Bind(wxEVT_BUTTON, &MainFrame::OnSetCheatCode, this);
    cheatText->Bind(wxEVT_TEXT_ENTER, &MainFrame::OnSetCheatCode, this);
    changeAllButton->Bind(wxEVT_BUTTON, &MainFrame::OnChangeAll, this);
    for (const auto& type : {wxEVT_LEFT_DOWN, wxEVT_RIGHT_DOWN, wxEVT_MIDDLE_DOWN, wxEVT_AUX1_DOWN, wxEVT_AUX2_DOWN})
        pressKeyButton->Bind(type, &MainFrame::OnPressKeyMouse, this);
    Bind(wxEVT_CHAR_HOOK, &MainFrame::OnCharHook, this);
    filterText->Bind(wxEVT_TEXT, &MainFrame::OnFilter, this);
    kindFilter->Bind(wxEVT_CHOICE, &MainFrame::OnFilter, this);
}

void MainFrame::UnbindHandlers() {
    Unbind(wxEVT_CLOSE_WINDOW, &MainFrame::OnClose, this);
    occurrenceList->Unbind(wxEVT_LISTBOX, &MainFrame::OnOccurrenceSelected, this);
    openButton->Unbind(wxEVT_BUTTON, &MainFrame::OnOpenFile, this);
    saveButton->Unbind(wxEVT_BUTTON, &MainFrame::OnSaveAs, this);
    closeButton->Unbind(wxEVT_BUTTON, &MainFrame::OnCloseFile, this);
    gameChoice->Unbind(wxEVT_CHOICE, &MainFrame::OnGameSelected, this);
    padChoice->Unbind(wxEVT_CHOICE, &MainFrame::OnPadSelected, this);
    gameKeyChoice->Unbind(wxEVT_CHOICE, &MainFrame::OnGameKeySelected, this);
    vkeyChoice->Unbind(wxEVT_CHOICE, &MainFrame::OnVKeySelected, this);
    Unbind(wxEVT_MENU, &MainFrame::OnOpenFile, this, wxID_OPEN);
    Unbind(wxEVT_MENU, &MainFrame::OnSaveFile, this, wxID_SAVE);
    Unbind(wxEVT_MENU, &MainFrame::OnSaveAs, this, wxID_SAVEAS);
    Unbind(wxEVT_MENU, &MainFrame::OnCloseFile, this, wxID_CLOSE);
    Unbind(wxEVT_MENU, &MainFrame::OnQuit, this, wxID_EXIT);
    Unbind(wxEVT_MENU, &MainFrame::OnUndo, this, wxID_UNDO);
    Unbind(wxEVT_MENU, &MainFrame::OnRedo, this, wxID_REDO);
    Unbind(wxEVT_MENU, &MainFrame::OnPressKey, this, pressKeyItem->GetId());
    Unbind(wxEVT_MENU, &MainFrame::OnChangeAll, this, changeAllItem->GetId());
    Unbind(wxEVT_MENU, &MainFrame::OnRecentFile, this, wxID_FILE1, wxID_FILE1 + kRecentFiles - 1);
    Unbind(wxEVT_MENU, &MainFrame::OnKeyMap, this, keyMapItem->GetId());
    keyMapButton->Unbind(wxEVT_BUTTON, &MainFrame::OnKeyMap, this);
    pressKeyButton->Unbind(wxEVT_BUTTON, &MainFrame::OnPressKey, this);
    setCheatButton->Unbind(wxEVT_BUTTON, &MainFrame::OnSetCheatCode, this);
    cheatText->Unbind(wxEVT_TEXT_ENTER, &MainFrame::OnSetCheatCode, this);
    changeAllButton->Unbind(wxEVT_BUTTON, &MainFrame::OnChangeAll, this);
    for (const auto& type : {wxEVT_LEFT_DOWN, wxEVT_RIGHT_DOWN, wxEVT_MIDDLE_DOWN, wxEVT_AUX1_DOWN, wxEVT_AUX2_DOWN})
        pressKeyButton->Unbind(type, &MainFrame::OnPressKeyMouse, this);
    Unbind(wxEVT_CHAR_HOOK, &MainFrame::OnCharHook, this);
    filterText->Unbind(wxEVT_TEXT, &MainFrame::OnFilter, this);
    kindFilter->Unbind(wxEVT_CHOICE, &MainFrame::OnFilter, this);
}

void MainFrame::RememberRecentFile(const wxString& path) {
    wxLogNull quiet;  // as for the window's size: best effort, no message
    recentFiles.AddFileToHistory(path);
    wxConfigBase* config = wxConfigBase::Get();
    config->SetPath(kRecentGroup);
    recentFiles.Save(*config);
    config->SetPath("/");
    config->Write("/Files/LastFolder", wxFileName(path).GetPath());
    config->Flush();
}

void MainFrame::OnRecentFile(wxCommandEvent& event) {
    const std::size_t index = static_cast<std::size_t>(event.GetId() - wxID_FILE1);
    if (index >= recentFiles.GetCount()) return;
    const wxString path = recentFiles.GetHistoryFile(index);
    if (!wxFileName::FileExists(path)) {
        ShowMessage(wxString::Format("%s is no longer there.", path));
        recentFiles.RemoveFileFromHistory(index);
        return;
    }
    OpenFromOutside(path);
}

// The window is never smaller than what its controls need (GTK draws them
// larger than the layout was first made for), and the list is wide enough
// for its longest line.
void MainFrame::FitToContent() {
    int widest = 0;
    for (int code = 0; code < kVKeyCount; ++code)
        widest = std::max(widest, occurrenceList->GetTextExtent(wxString::FromUTF8(VKeyName(code))).x);
    for (int key = 0; key < kGameKeyCount; ++key)
        widest = std::max(widest, occurrenceList->GetTextExtent(wxString::FromUTF8(GameKeyName(key))).x);
    widest += occurrenceList->GetTextExtent(kLongestLineTail).x;
    occurrenceList->SetMinSize(wxSize(widest + kListMargin, wxDefaultCoord));
    const wxSize needed = GetSizer()->ComputeFittingWindowSize(this);
    SetMinSize(needed);
    SetSize(wxSize(std::max(kWindowSize.x, needed.x), std::max(kWindowSize.y, needed.y)));
    Layout();
}

void MainFrame::RestoreGeometry() {
    wxConfigBase* config = wxConfigBase::Get();
    long width = 0;
    long height = 0;
    if (!config->Read(kGeometryWidth, &width) || !config->Read(kGeometryHeight, &height)) return;
    const wxSize least = GetMinSize();
    SetSize(wxSize(std::max(static_cast<int>(width), least.x), std::max(static_cast<int>(height), least.y)));
    long x = 0;
    long y = 0;
    // A place on a screen that is no longer there is forgotten.
    if (config->Read(kGeometryX, &x) && config->Read(kGeometryY, &y) &&
        wxDisplay::GetFromPoint(wxPoint(static_cast<int>(x), static_cast<int>(y))) != wxNOT_FOUND)
        Move(static_cast<int>(x), static_cast<int>(y));
    if (config->ReadBool(kGeometryMaximized, false)) Maximize();
}

// The window's own settings are kept when they can be: a configuration that
// cannot be written costs only what it would have remembered, never a message.
void MainFrame::SaveGeometry() {
    wxLogNull quiet;
    wxConfigBase* config = wxConfigBase::Get();
    const wxRect rect = GetRect();
    config->Write(kGeometryMaximized, IsMaximized());
    if (!IsMaximized()) {
        config->Write(kGeometryX, rect.x);
        config->Write(kGeometryY, rect.y);
        config->Write(kGeometryWidth, rect.width);
        config->Write(kGeometryHeight, rect.height);
    }
    config->Flush();
}

void MainFrame::FillKeyChoices() {
    for (int code = 0; code < kVKeyCount; ++code)
        vkeyChoice->Insert(wxString::FromUTF8(VKeyName(code)), static_cast<unsigned>(code));
    for (int key = 0; key < kGameKeyCount; ++key)
        gameKeyChoice->Insert(wxString::FromUTF8(GameKeyName(key)), static_cast<unsigned>(key));
}

// The selected game's opcode table; Open File and Key map are enabled only
// when it loaded.
void MainFrame::LoadGameTable() {
    opcodesLoaded = LoadOpcodeTable(OpcodeIniFileName(selectedGame), selectedGame, opcodeTable);
    openButton->Enable(opcodesLoaded);
    openItem->Enable(opcodesLoaded);
    keyMapButton->Enable(opcodesLoaded);
    keyMapItem->Enable(opcodesLoaded);
}

// The key map window, made for the opened script's folder (the working
// folder when none is open); when it is already open, brought to the front.
void MainFrame::OnKeyMap(wxCommandEvent& /*event*/) {
    if (!keyMapWindow) {
        const wxString folder = openedPath.empty() ? wxGetCwd() : wxFileName(openedPath).GetPath();
        keyMapWindow = new KeyMapWindow(this, folder);
    }
    keyMapWindow->Show();
    keyMapWindow->Raise();
}

void MainFrame::SelectGame(GameId game) {
    selectedGame = game;
    gameChoice->SetSelection(GameNumber(game));
    LoadGameTable();
}

void MainFrame::ShowMessage(const wxString& text) { wxMessageBox(text, wxMessageBoxCaptionStr, wxOK | wxCENTRE, this); }

void MainFrame::UpdateTitle() {
    if (openedPath.empty()) {
        SetTitle(kProgramTitle);
        return;
    }
    const wxString name = wxFileName(CurrentPath()).GetFullName();
    SetTitle((IsModified() ? "*" : "") + name + " - " + kProgramTitle);
}

void MainFrame::OnClose(wxCloseEvent& event) {
    if (!ConfirmDiscard() && event.CanVeto()) {
        event.Veto();
        return;
    }
    SaveGeometry();
    wxFFile settings;
    if (settings.Open(kSettingsFileName, "wb")) {
        const std::string text = FormatSavedGame(selectedGame);
        settings.Write(text.data(), text.size());
        settings.Close();
    }
    Destroy();
}

void MainFrame::OnQuit(wxCommandEvent& /*event*/) { Close(); }

void MainFrame::OnGameSelected(wxCommandEvent& event) {
    selectedGame = GameFromNumber(event.GetInt()).value_or(kGameGta3);
    LoadGameTable();
}
