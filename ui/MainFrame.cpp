#include "ui/MainFrame.h"

#include <algorithm>

#include "keys/Hotkeys.h"

#include <wx/config.h>
#include <wx/display.h>
#include <wx/dnd.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>

#include <algorithm>
#include <functional>

#include "MorvaneVersion.h"
#include "keys/KeyNames.h"
#include "opcodes/IniLoader.h"
#include "opcodes/OpcodeJson.h"
#include "i18n/Language.h"
#include "io/SafeWrite.h"
#include "settings/Settings.h"
#include "ui/FileSystemPath.h"
#include "ui/KeyMapWindow.h"
#include "ui/OpcodeFiles.h"
#include "ui/WindowLanguage.h"
#include "ui/WxTr.h"

using namespace morvane;

namespace {

// The size the window is first made at, in pixels at 96 dots an inch,
// when the screen has room for it; never less than its controls need.
const wxSize kWindowSize(900, 640);

// The window's title while no script is open, and after the script's name.
wxString ProgramTitle() {
    // TRANSLATORS: the window's title: the program's name and its version ("Morvane v1.4").
    return WxText(Fill(Tr("Morvane v{version}"), {{"version", MORVANE_VERSION_SHORT}}));
}

// Where the window's size and place are kept between runs (the user's
// configuration, not the game folder).
const char* const kGeometryX = "/Window/X";
const char* const kGeometryY = "/Window/Y";
const char* const kGeometryWidth = "/Window/Width";
const char* const kGeometryHeight = "/Window/Height";
const char* const kGeometryMaximized = "/Window/Maximized";

// How many pixels the controls beside the list may lack on a narrow screen
// before the list gives up its room instead (the choices' slack).
constexpr int kTolerableShortfall = 16;

// The status bar's field that says where the opcodes come from.
constexpr int kOpcodesField = 1;

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
    : MainFrameLayout(parent, ProgramTitle(), wxDEFAULT_FRAME_STYLE), recentFiles(kRecentFiles) {
    const Result<std::optional<GameId>> saved = ReadSavedGame();
    const std::string settingsProblem = saved.Cause();
    selectedGame = saved ? saved->value_or(kGameGta3) : kGameGta3;
    keepSettingsFile = !saved;
    gameChoice->SetSelection(GameNumber(selectedGame));
    for (int pad = 0; pad <= kHighestPad; ++pad)
        padChoice->Insert(WxText(TrC("key", kPadNames[pad])), static_cast<unsigned>(pad));
    FillKeyChoices();
    testList->SetCellText([this](long row, long column) {
        const std::optional<std::size_t> test = rows.TestAt(row);
        return test ? wxString::FromUTF8(TestCell(session, *test, static_cast<TestColumn>(column))) : wxString();
    });
    // The other tests of the selected test's hotkey, and those whose key the
    // same variable keeps.
    testList->SetRowMarked([this](long row) {
        const std::optional<std::size_t> test = rows.TestAt(row);
        const std::size_t selected = SelectedTest();
        if (!test || selected == kNoTest || *test == selected) return false;
        const std::vector<std::size_t> hotkey = HotkeyOf(session.Tests(), selected);
        const std::vector<std::size_t> sharing = session.SharingKey(selected);
        return std::find(hotkey.begin(), hotkey.end(), *test) != hotkey.end() ||
               std::find(sharing.begin(), sharing.end(), *test) != sharing.end();
    });
    UpdateHeading();  // the window is wide enough for the hint it first shows
    FitToContent();
    RestoreGeometry();
    LoadGameTable();
    ShowNoFileState();

    recentFiles.UseMenu(recentMenu);
    wxConfigBase* config = wxConfigBase::Get();
    config->SetPath(kRecentGroup);
    recentFiles.Load(*config);
    config->SetPath("/");
    LabelRecentFiles();
    CheckChosenLanguage();
    SetDropTarget(new ScriptDropTarget(this));
    BindHandlers();
    UpdateWindowUI(wxUPDATE_UI_RECURSE);
    if (settingsProblem.empty()) return;
    const std::string text =
        // TRANSLATORS: {file} is the settings file's name, {cause} why it cannot be
        // read ("is a folder"); {game} is the game chosen instead ("GTA III").
        Fill(Tr("The settings file {file} cannot be read ({cause}). {game} is chosen, and the "
                "file is left as it is."),
             {{"file", kSettingsFileName}, {"cause", settingsProblem}, {"game", GameName(kGameGta3)}});
    ShowMessage(WxText(text));
}

// Every binding is removed while all controls still exist, so no handler
// runs on a window that is being taken apart.
MainFrame::~MainFrame() {
    bindings.UnbindAll();
    testList->SetCellText(nullptr);  // the list may draw once more; the tests are gone by then
    testList->SetRowMarked(nullptr);
}

void MainFrame::BindHandlers() {
    EventBindings& b = bindings;
    b.Bind(this, wxEVT_CLOSE_WINDOW, &MainFrame::OnClose, this);
    b.Bind(testList, wxEVT_LIST_ITEM_SELECTED, &MainFrame::OnTestSelected, this);
    b.Bind(testList, wxEVT_LIST_COL_CLICK, &MainFrame::OnColumnClick, this);
    b.Bind(openButton, wxEVT_BUTTON, &MainFrame::OnOpenFile, this);
    b.Bind(saveAsButton, wxEVT_BUTTON, &MainFrame::OnSaveAs, this);
    b.Bind(closeButton, wxEVT_BUTTON, &MainFrame::OnCloseFile, this);
    b.Bind(keyMapButton, wxEVT_BUTTON, &MainFrame::OnKeyMap, this);
    b.Bind(gameChoice, wxEVT_CHOICE, &MainFrame::OnGameSelected, this);
    b.Bind(padChoice, wxEVT_CHOICE, &MainFrame::OnPadSelected, this);
    b.Bind(gameKeyChoice, wxEVT_CHOICE, &MainFrame::OnGameKeySelected, this);
    b.Bind(touchChoice, wxEVT_CHOICE, &MainFrame::OnTouchSelected, this);
    b.Bind(vkeyChoice, wxEVT_CHOICE, &MainFrame::OnVKeySelected, this);
    b.Bind(pressKeyButton, wxEVT_BUTTON, &MainFrame::OnPressKey, this);
    for (const auto& type : {wxEVT_LEFT_DOWN, wxEVT_RIGHT_DOWN, wxEVT_MIDDLE_DOWN, wxEVT_AUX1_DOWN, wxEVT_AUX2_DOWN}) {
        b.Bind(keyPrompt, type, &MainFrame::OnPressKeyMouse, this);
        b.Bind(keyPromptText, type, &MainFrame::OnPressKeyMouse, this);
    }
    b.Bind(keyPrompt, wxEVT_KEY_DOWN, &MainFrame::OnKeyPromptKeyDown, this);
    b.Bind(keyPrompt, wxEVT_KEY_UP, &MainFrame::OnKeyPromptKeyUp, this);
    b.Bind(keyPrompt, wxEVT_KILL_FOCUS, &MainFrame::OnKeyPromptLostFocus, this);
    b.Bind(setCheatButton, wxEVT_BUTTON, &MainFrame::OnSetCheatCode, this);
    b.Bind(cheatText, wxEVT_TEXT_ENTER, &MainFrame::OnSetCheatCode, this);
    b.Bind(cheatText, wxEVT_TEXT, &MainFrame::OnCheatCodeTyped, this);
    b.Bind(changeAllButton, wxEVT_BUTTON, &MainFrame::OnChangeAll, this);
    b.Bind(filterText, wxEVT_TEXT, &MainFrame::OnFilter, this);
    b.Bind(kindFilter, wxEVT_CHOICE, &MainFrame::OnFilter, this);
    b.Bind(this, wxEVT_CHAR_HOOK, &MainFrame::OnCharHook, this);

    b.Bind(this, wxEVT_MENU, &MainFrame::OnOpenFile, this, wxID_OPEN);
    b.Bind(this, wxEVT_MENU, &MainFrame::OnSaveFile, this, wxID_SAVE);
    b.Bind(this, wxEVT_MENU, &MainFrame::OnSaveAs, this, wxID_SAVEAS);
    b.Bind(this, wxEVT_MENU, &MainFrame::OnCloseFile, this, wxID_CLOSE);
    b.Bind(this, wxEVT_MENU, &MainFrame::OnQuit, this, wxID_EXIT);
    b.Bind(this, wxEVT_MENU, &MainFrame::OnUndo, this, wxID_UNDO);
    b.Bind(this, wxEVT_MENU, &MainFrame::OnRedo, this, wxID_REDO);
    b.Bind(this, wxEVT_MENU, &MainFrame::OnPressKey, this, pressKeyItem->GetId());
    b.Bind(this, wxEVT_MENU, &MainFrame::OnChangeAll, this, changeAllItem->GetId());
    b.Bind(this, wxEVT_MENU, &MainFrame::OnKeyMap, this, keyMapItem->GetId());
    b.Bind(this, wxEVT_MENU, &MainFrame::OnOpcodeFiles, this, opcodeFilesItem->GetId());
    b.Bind(this, wxEVT_MENU, &MainFrame::OnRecentFile, this, wxID_FILE1, wxID_FILE1 + kRecentFiles - 1);
    for (wxMenuItem* item : languageItems) b.Bind(this, wxEVT_MENU, &MainFrame::OnLanguage, this, item->GetId());

    // Which commands are enabled.
    for (const int id : {openButton->GetId(), static_cast<int>(wxID_OPEN), keyMapButton->GetId(), keyMapItem->GetId()})
        b.Bind(this, wxEVT_UPDATE_UI, &MainFrame::OnUpdateNeedsTable, this, id);
    for (const int id : {saveAsButton->GetId(), closeButton->GetId(), static_cast<int>(wxID_SAVE),
                         static_cast<int>(wxID_SAVEAS), static_cast<int>(wxID_CLOSE)})
        b.Bind(this, wxEVT_UPDATE_UI, &MainFrame::OnUpdateNeedsScript, this, id);
    b.Bind(this, wxEVT_UPDATE_UI, &MainFrame::OnUpdateNeedsNoScript, this, gameChoice->GetId());
    b.Bind(this, wxEVT_UPDATE_UI, &MainFrame::OnUpdateUndo, this, wxID_UNDO);
    b.Bind(this, wxEVT_UPDATE_UI, &MainFrame::OnUpdateRedo, this, wxID_REDO);
    for (const int id : {padChoice->GetId(), gameKeyChoice->GetId()})
        b.Bind(this, wxEVT_UPDATE_UI, &MainFrame::OnUpdateButtonTest, this, id);
    b.Bind(this, wxEVT_UPDATE_UI, &MainFrame::OnUpdateTouchTest, this, touchChoice->GetId());
    for (const int id : {vkeyChoice->GetId(), pressKeyButton->GetId(), pressKeyItem->GetId()})
        b.Bind(this, wxEVT_UPDATE_UI, &MainFrame::OnUpdateVKeyTest, this, id);
    for (const int id : {changeAllButton->GetId(), changeAllItem->GetId()})
        b.Bind(this, wxEVT_UPDATE_UI, &MainFrame::OnUpdateKeyTest, this, id);
    for (const int id : {cheatText->GetId(), setCheatButton->GetId()})
        b.Bind(this, wxEVT_UPDATE_UI, &MainFrame::OnUpdateCheatTest, this, id);
}

// The item of View > Language that names the language chosen.
void MainFrame::CheckChosenLanguage() {
    const std::string chosen = ChosenLanguage();
    languageItems.front()->Check(chosen.empty());
    for (std::size_t i = 0; i < kLanguages.size(); ++i)
        if (chosen == kLanguages[i].code) languageItems[i + 1]->Check();
}

// A language chosen is remembered; the window speaks it from its next start.
void MainFrame::OnLanguage(wxCommandEvent& event) {
    std::string code;
    for (std::size_t i = 1; i < languageItems.size(); ++i)
        if (languageItems[i]->GetId() == event.GetId()) code = kLanguages[i - 1].code;
    if (code == ChosenLanguage()) return;
    RememberLanguage(code);
    const std::string spoken = code.empty() ? SystemLanguage() : code;
    if (spoken == CurrentLanguage()) return;
    std::string name = spoken;
    for (const Language& language : kLanguages)
        if (spoken == language.code) name = language.name;
    // TRANSLATORS: {language} is the language's own name ("Deutsch", "Русский").
    ShowMessage(WxText(Fill(Tr("Morvane will speak {language} from its next start."), {{"language", name}})));
}

void MainFrame::OnUpdateNeedsTable(wxUpdateUIEvent& event) { event.Enable(opcodeTable != nullptr); }
void MainFrame::OnUpdateNeedsScript(wxUpdateUIEvent& event) { event.Enable(session.IsOpen()); }
void MainFrame::OnUpdateNeedsNoScript(wxUpdateUIEvent& event) { event.Enable(!session.IsOpen()); }
void MainFrame::OnUpdateUndo(wxUpdateUIEvent& event) { event.Enable(session.CanUndo()); }
void MainFrame::OnUpdateRedo(wxUpdateUIEvent& event) { event.Enable(session.CanRedo()); }

void MainFrame::OnUpdateButtonTest(wxUpdateUIEvent& event) {
    const std::size_t test = SelectedTest();
    event.Enable(test != kNoTest && session.Tests()[test].IsButton());
}

void MainFrame::OnUpdateTouchTest(wxUpdateUIEvent& event) {
    const std::size_t test = SelectedTest();
    event.Enable(test != kNoTest && session.Tests()[test].IsTouch());
}

void MainFrame::OnUpdateVKeyTest(wxUpdateUIEvent& event) {
    const std::size_t test = SelectedTest();
    // A key a variable keeps whose value cannot be told is left alone.
    event.Enable(test != kNoTest && session.Tests()[test].IsVKey() && session.Tests()[test].Changeable());
}

void MainFrame::OnUpdateKeyTest(wxUpdateUIEvent& event) {
    const std::size_t test = SelectedTest();
    // Change All takes a VKey or a pad button; a touch test has its own choice.
    event.Enable(test != kNoTest && !session.Tests()[test].IsCheat() && !session.Tests()[test].IsTouch() &&
                 session.Tests()[test].Changeable());
}

void MainFrame::OnUpdateCheatTest(wxUpdateUIEvent& event) {
    const std::size_t test = SelectedTest();
    event.Enable(test != kNoTest && session.Tests()[test].IsCheat());
}

void MainFrame::RememberRecentFile(const wxString& path) {
    wxLogNull quiet;  // as for the window's size: best effort, no message
    recentFiles.AddFileToHistory(path);
    LabelRecentFiles();
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
        // TRANSLATORS: {file} is the path of a recent file that was moved or deleted.
        ShowMessage(WxText(Fill(Tr("{file} is no longer there."), {{"file", path.utf8_string()}})));
        recentFiles.RemoveFileFromHistory(index);
        LabelRecentFiles();
        return;
    }
    OpenFromOutside(path);
}

// The window is never smaller than what its controls need (GTK draws them
// larger than the layout was first made for), and the list is wide enough
// for its columns; it is first made larger when the screen has room.
void MainFrame::FitToContent() {
    testList->SetMinSize(wxSize(testList->ColumnsWidth(), wxDefaultCoord));
    const wxRect screen =
        wxDisplay(wxDisplay::GetFromWindow(this) == wxNOT_FOUND ? 0u
                                                                : static_cast<unsigned>(wxDisplay::GetFromWindow(this)))
            .GetClientArea();
    // The list and the column beside it share the width; on a screen too
    // narrow for both, each gives up room in proportion to its width. Where
    // that would cut the column's controls by more than a few pixels (their
    // longer words in some languages), the column keeps the width it needs
    // and the list, which scrolls, takes what is left.
    wxSizerItemList& columns = mainPanel->GetSizer()->GetChildren();
    const int listWidth = columns.front()->CalcMin().x;
    const int controlsWidth = columns.back()->CalcMin().x;
    const int controlsShare = screen.width * controlsWidth / std::max(1, listWidth + controlsWidth);
    if (controlsWidth - controlsShare > FromDIP(kTolerableShortfall)) {
        columns.back()->SetProportion(0);
        const int aroundList = listWidth - testList->GetMinSize().x;
        testList->SetMinSize(
            wxSize(std::min(testList->ColumnsWidth(), screen.width - controlsWidth - aroundList), wxDefaultCoord));
    }
    const wxSize needed = GetSizer()->ComputeFittingWindowSize(this);
    SetMinSize(needed);
    // Tall enough for every line of the view around a test.
    const wxSize wanted(FromDIP(kWindowSize).x, std::max(FromDIP(kWindowSize).y, needed.y + ContextRoomWanted()));
    SetSize(wxSize(std::max(needed.x, std::min(wanted.x, screen.width)),
                   std::max(needed.y, std::min(wanted.y, screen.height))));
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

// The VKeys with their codes ("F2 (0x71)", "VKey 0xE8"): those the table
// has no name for told apart too.
void MainFrame::FillKeyChoices() {
    for (int code = 0; code < kVKeyCount; ++code)
        vkeyChoice->Insert(wxString::FromUTF8(VKeyEntryName(code)), static_cast<unsigned>(code));
    for (int key = 0; key < kGameKeyCount; ++key)
        gameKeyChoice->Insert(wxString::FromUTF8(GameKeyName(key)), static_cast<unsigned>(key));
}

// The selected game's opcode table: its INI file here, else where the user
// chose (see ui/OpcodeFiles.h); the status bar says which. Open File and Key
// map are enabled only when there is one.
void MainFrame::LoadGameTable() {
    Result<GameTable> read = morvane::LoadGameTable(selectedGame, std::string(), ReadOpcodeChoice());
    if (read) {
        auto loaded = std::make_shared<GameTable>(std::move(*read));
        gameTable = loaded;
        opcodeTable = std::shared_ptr<const OpcodeTable>(loaded, &loaded->table);
        // TRANSLATORS: in the status bar: where the opcodes come from ("SASCM.ini, 2,714 commands").
        SetStatusText(WxText(Fill(Tr("Opcodes: {source}"), {{"source", loaded->Description()}})), kOpcodesField);
    } else {
        gameTable.reset();
        opcodeTable.reset();
        // TRANSLATORS: in the status bar: no opcodes, and why ("SCM.ini: not found").
        SetStatusText(WxText(Fill(Tr("Opcodes: none ({cause})"), {{"cause", read.Cause()}})), kOpcodesField);
    }
}

// Where the opcodes of the games whose INI file is not here come from, at
// any time; the selected game's table is read again. An open script keeps
// the table it was read with.
void MainFrame::OnOpcodeFiles(wxCommandEvent& /*event*/) {
    // TRANSLATORS: {folder} is the folder Morvane works in, {ini} the selected
    // game's opcode file ("SASCM.ini").
    const std::string message = Fill(Tr("Opcode files are read from the folder Morvane works in:\n{folder}\n\nFor the "
                                        "games whose INI file ({ini}) is not there, Morvane can use its built-in "
                                        "opcode tables (the games' own opcodes and CLEO 4's), or read the opcode files "
                                        "of Sanny Builder's folder."),
                                     {{"folder", wxGetCwd().utf8_string()}, {"ini", OpcodeIniFileName(selectedGame)}});
    const std::optional<OpcodeChoice> choice = AskForOpcodeFiles(this, WxText(message), WxTr("&Cancel"));
    if (!choice) return;
    RememberOpcodeChoice(*choice);
    LoadGameTable();
}

// The key map window, made for the opened script's folder (the working
// folder when none is open); when it is already open, brought to the front.
void MainFrame::OnKeyMap(wxCommandEvent& /*event*/) {
    if (!keyMapWindow) {
        const wxString folder = session.IsOpen() ? wxFileName(WindowPath(session.OpenedPath())).GetPath() : wxGetCwd();
        KeyMapSource source{[this] { return selectedGame; }, [this] { return opcodeTable.get(); },
                            [this](const wxString& path) { return OpenFromOutside(path); }};
        keyMapWindow = new KeyMapWindow(this, std::move(source), folder);
    }
    keyMapWindow->Show();
    keyMapWindow->Raise();
}

void MainFrame::SelectGame(GameId game) {
    selectedGame = game;
    gameChoice->SetSelection(GameNumber(game));
    LoadGameTable();
}

// A message with its button in the window's language, not the toolkit's.
void MainFrame::ShowMessage(const wxString& text) {
    wxMessageDialog message(this, text, kProgramName, wxOK | wxCENTRE);
    message.SetOKLabel(WxTr("OK"));
    message.ShowModal();
}

void MainFrame::LabelRecentFiles() {
    for (std::size_t i = 0; i < recentFiles.GetCount(); ++i) {
        wxMenuItem* item = recentMenu->FindItem(wxID_FILE1 + static_cast<int>(i));
        if (item == nullptr) continue;
        const wxString label = item->GetItemLabel().BeforeFirst('\t');
        item->SetItemLabel(wxString::Format("%s\tCtrl+%d", label, static_cast<int>(i) + 1));
    }
}

bool MainFrame::RunShortcut(const wxKeyEvent& event) {
    int key = event.GetKeyCode();
    if (key >= 'a' && key <= 'z') key += 'A' - 'a';
    const std::function<int(wxMenu*)> find = [&](wxMenu* menu) -> int {
        for (wxMenuItem* item : menu->GetMenuItems()) {
            if (item->IsSubMenu()) {
                if (const int id = find(item->GetSubMenu()); id != wxID_NONE) return id;
                continue;
            }
            const std::unique_ptr<wxAcceleratorEntry> accelerator(item->GetAccel());
            if (accelerator && accelerator->GetKeyCode() == key &&
                accelerator->GetFlags() == (event.GetModifiers() & (wxMOD_ALT | wxMOD_CONTROL | wxMOD_SHIFT)))
                return item->GetId();
        }
        return wxID_NONE;
    };
    int id = wxID_NONE;
    for (std::size_t i = 0; i < menuBar->GetMenuCount() && id == wxID_NONE; ++i) id = find(menuBar->GetMenu(i));
    if (id == wxID_NONE) return false;
    // Enabled as the menu item would be at this moment.
    wxUpdateUIEvent update(id);
    update.SetEventObject(this);
    ProcessWindowEvent(update);
    if (update.GetSetEnabled() && !update.GetEnabled()) return true;  // the key is the shortcut, doing nothing now
    wxCommandEvent command(wxEVT_MENU, id);
    command.SetEventObject(this);
    ProcessWindowEvent(command);
    return true;
}

void MainFrame::UpdateTitle() {
    if (!session.IsOpen()) {
        SetTitle(ProgramTitle());
        return;
    }
    const wxString name = wxFileName(CurrentPath()).GetFullName();
    SetTitle((session.IsModified() ? "*" : "") + name + " - " + ProgramTitle());
}

void MainFrame::OnClose(wxCloseEvent& event) {
    if (!ConfirmDiscard() && event.CanVeto()) {
        event.Veto();
        return;
    }
    SaveGeometry();
    // Best effort, as for the window's size: a settings file that cannot be
    // written (or is no regular file) costs only the game remembered.
    // A settings file that could not be read at start is left as it is.
    const std::string text = FormatSavedGame(selectedGame);
    if (!keepSettingsFile)
        static_cast<void>(
            WriteFileSafely(kSettingsFileName, reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    Destroy();
}

void MainFrame::OnQuit(wxCommandEvent& /*event*/) { Close(); }

void MainFrame::OnGameSelected(wxCommandEvent& event) {
    selectedGame = GameFromNumber(event.GetInt()).value_or(kGameGta3);
    LoadGameTable();
}
