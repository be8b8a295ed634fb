#pragma once

#include <wx/filehistory.h>
#include <wx/weakref.h>

#include <cstddef>
#include <memory>
#include <vector>

#include "keys/RemapRules.h"
#include "opcodes/GameId.h"
#include "opcodes/OpcodeSources.h"
#include "opcodes/OpcodeTable.h"
#include "session/EditSession.h"
#include "session/TestRows.h"
#include "ui/EventBindings.h"
#include "ui/MainFrameLayout.h"
#include "ui/ProgramName.h"

class KeyMapWindow;

// The program's window: it shows the edit session of the opened script (its
// key tests, the view around the selected one) and hands the user's commands
// to it; it keeps the selected game and that game's opcode table. Which
// commands are enabled it asks the session when the toolkit updates the
// window (wxEVT_UPDATE_UI).
class MainFrame : public MainFrameLayout {
public:
    explicit MainFrame(wxWindow* parent);
    ~MainFrame() override;

    // Opens a script as the Open File command does after its dialog: reads
    // and scans it, lists its key tests and selects the first.
    void OpenScript(const wxString& path);
    // Opens a script named from outside the window (the command line, a
    // drop, the recent files), asking first about unsaved edits; false when
    // it was not opened.
    bool OpenFromOutside(const wxString& path);
    // Gives every test of a key another key, as Change all does after its
    // dialog; one step to undo.
    morvane::RemapResult ChangeAllKeys(const morvane::RemapRule& rule);
    // The game chosen, and its opcode table (null when its file could not
    // be read), for the key map.
    morvane::GameId SelectedGame() const { return selectedGame; }
    const morvane::OpcodeTable* LoadedOpcodeTable() const { return opcodeTable.get(); }
    // The opened script and what was done to it.
    const morvane::EditSession& Session() const { return session; }
    // The key map window, null while it is not open.
    KeyMapWindow* KeyMap() const { return keyMapWindow; }

private:
    // Sets up the key choices (or the code field) for test `index`.
    void UpdateChoices(std::size_t index);

    void OnClose(wxCloseEvent& event);
    void OnTestSelected(wxListEvent& event);
    void OnColumnClick(wxListEvent& event);
    void OnOpenFile(wxCommandEvent& event);
    void OnSaveFile(wxCommandEvent& event);
    void OnSaveAs(wxCommandEvent& event);
    void OnCloseFile(wxCommandEvent& event);
    void OnQuit(wxCommandEvent& event);
    void OnGameSelected(wxCommandEvent& event);
    void OnPadSelected(wxCommandEvent& event);
    void OnGameKeySelected(wxCommandEvent& event);
    void OnTouchSelected(wxCommandEvent& event);
    void OnVKeySelected(wxCommandEvent& event);
    void OnPressKey(wxCommandEvent& event);
    void OnSetCheatCode(wxCommandEvent& event);
    void OnCheatCodeTyped(wxCommandEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void OnKeyPromptKeyDown(wxKeyEvent& event);
    void OnKeyPromptKeyUp(wxKeyEvent& event);
    void OnKeyPromptLostFocus(wxFocusEvent& event);
    void OnPressKeyMouse(wxMouseEvent& event);
    void OnChangeAll(wxCommandEvent& event);
    void OnUndo(wxCommandEvent& event);
    void OnRedo(wxCommandEvent& event);
    void OnFilter(wxCommandEvent& event);
    void OnRecentFile(wxCommandEvent& event);
    void OnKeyMap(wxCommandEvent& event);
    void OnOpcodeFiles(wxCommandEvent& event);
    void OnLanguage(wxCommandEvent& event);
    void CheckChosenLanguage();
    // Which commands are enabled, asked when the window is updated.
    void OnUpdateNeedsTable(wxUpdateUIEvent& event);
    void OnUpdateNeedsScript(wxUpdateUIEvent& event);
    void OnUpdateNeedsNoScript(wxUpdateUIEvent& event);
    void OnUpdateUndo(wxUpdateUIEvent& event);
    void OnUpdateRedo(wxUpdateUIEvent& event);
    void OnUpdateButtonTest(wxUpdateUIEvent& event);
    void OnUpdateTouchTest(wxUpdateUIEvent& event);
    // Fills the touch choice with the zones or the widgets a test can take
    // (nothing for any other test) and selects the test's.
    void ShowTouchChoice(const morvane::KeyTest* test);
    void OnUpdateVKeyTest(wxUpdateUIEvent& event);
    void OnUpdateKeyTest(wxUpdateUIEvent& event);
    void OnUpdateCheatTest(wxUpdateUIEvent& event);

    void BindHandlers();
    void FillKeyChoices();
    void FitToContent();
    void RestoreGeometry();
    void SaveGeometry();
    void ShowNoFileState();
    void ShowReadingNote();
    void CloseScript();
    void LoadGameTable();
    void SelectGame(morvane::GameId game);
    void ShowMessage(const wxString& text);
    void ShowKeyEditor(bool cheat);
    // A menu command whose shortcut the key event is, run as its menu item
    // runs it when it is enabled; false when the key is no shortcut.
    bool RunShortcut(const wxKeyEvent& event);
    // The recent files' menu items, each with its Ctrl+number.
    void LabelRecentFiles();

    // Unsaved edits: the question before they would be lost. True when the
    // caller may go on (saved, or dropped on purpose); false when the user
    // cancelled or the save failed.
    bool ConfirmDiscard();
    // Saving: to the file last saved to (asking the first time), or asking.
    bool Save();
    bool SaveAs();
    wxString CurrentPath() const;
    // A code typed into the cheat field and not yet set is set now; false
    // (with the reason shown) when it does not fit.
    bool ApplyPendingCheatCode();
    // The code field marked (its ground red, the cause under it) while the
    // code typed for test `refusedCheat` is refused; unmarked once it fits
    // or is no longer typed (set, undone).
    void ShowCheatRefusal();
    // Changed tests that may be data: the question before they are saved;
    // true when there are none or the user saves anyway.
    bool ConfirmDoubtfulSave();
    bool ConfirmSharedKeys();
    bool SaveTo(const wxString& path);

    // What the window says about the opened script.
    void UpdateTitle();
    void UpdateHeading();
    void ShowContext(std::size_t index);
    // Reads and scans a script with the selected game's table; false, with
    // the message shown, when it cannot be opened.
    bool ReadScript(const wxString& path, morvane::ScannedScript& read);
    void ShowGauge(bool show);
    // Offers another game when the script reads far better with it; true
    // when the user switched and the script was opened again.
    bool OfferBetterGame(const wxString& path, const morvane::ScannedScript& read);
    // The list shows the tests `rows` keeps, in its order.
    static constexpr std::size_t kNoTest = static_cast<std::size_t>(-1);
    // The test of the list's selected row, or kNoTest.
    std::size_t SelectedTest() const;
    void FillList(std::size_t select);
    // After an edit: the rows, the choices and the title follow it, and
    // what the status bar said about the script before it goes.
    void AfterEdit();
    // The selected test takes a VKey; false (with the reason shown) when
    // its parameter cannot hold it.
    bool SetSelectedVKey(int32_t vkey);
    // Press Key: the key of the event taken, or the wait ended; a VKey
    // taken, false (with the reason shown) when the test refused it.
    void TakeKey(const wxKeyEvent& event);
    bool TakeVKey(int32_t vkey);
    void StopWaitingForKey();
    void RememberRecentFile(const wxString& path);

    morvane::EditSession session;
    morvane::GameId selectedGame = morvane::kGameGta3;
    // The selected game's opcode table and where it came from; the table
    // null when there is none.
    std::shared_ptr<morvane::GameTable> gameTable;
    std::shared_ptr<const morvane::OpcodeTable> opcodeTable;
    morvane::TestRows rows;              // which tests the list shows, in which order
    std::size_t editedTest = kNoTest;    // the test the key choices (or the code field) show
    std::size_t refusedCheat = kNoTest;  // the cheat test whose typed code was refused
    // Press Key: waiting for the next key; then, once it is taken, for its
    // release, which nothing else may see (a released Alt opens the menu bar
    // on Windows).
    enum class KeyWait { None, ForPress, ForRelease };
    KeyWait keyWait = KeyWait::None;
    bool selectingRow = false;      // the window itself selects a row: no selection event is the user's
    bool keepSettingsFile = false;  // the settings file could not be read at start: it is left as it is
    wxFileHistory recentFiles;
    wxWeakRef<KeyMapWindow> keyMapWindow;  // while it is open
    EventBindings bindings;
};