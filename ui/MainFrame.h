#pragma once

#include <wx/filehistory.h>
#include <wx/weakref.h>

#include <cstddef>
#include <vector>

#include "keys/ChangeAll.h"
#include "opcodes/GameId.h"
#include "opcodes/OpcodeTable.h"
#include "script/KeyScan.h"
#include "script/ScriptImage.h"
#include "ui/MainFrameLayout.h"

namespace morvane::test {
class WindowProbe;
}
class KeyMapWindow;

// The program's window: the controls of its layout, the opened script, its
// key tests, the selected game and that game's opcode table, and the
// handlers of every command.
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
    morvane::ChangeReport ChangeAllKeys(const morvane::KeyChange& change);
    // The game chosen, and its opcode table (null when its file could not
    // be read), for the key map.
    morvane::GameId SelectedGame() const { return selectedGame; }
    const morvane::OpcodeTable* LoadedOpcodeTable() const { return opcodesLoaded ? &opcodeTable : nullptr; }

private:
    // Sets up the three key choices for occurrence `index`.
    void UpdateChoices(int index);

    void OnClose(wxCloseEvent& event);
    void OnOccurrenceSelected(wxCommandEvent& event);
    void OnOpenFile(wxCommandEvent& event);
    void OnSaveFile(wxCommandEvent& event);
    void OnSaveAs(wxCommandEvent& event);
    void OnCloseFile(wxCommandEvent& event);
    void OnQuit(wxCommandEvent& event);
    void OnGameSelected(wxCommandEvent& event);
    void OnPadSelected(wxCommandEvent& event);
    void OnGameKeySelected(wxCommandEvent& event);
    void OnVKeySelected(wxCommandEvent& event);
    void OnPressKey(wxCommandEvent& event);
    void OnSetCheatCode(wxCommandEvent& event);
    void ShowKeyEditor(bool cheat);
    void OnCharHook(wxKeyEvent& event);
    void OnPressKeyMouse(wxMouseEvent& event);
    void OnChangeAll(wxCommandEvent& event);
    void OnUndo(wxCommandEvent& event);
    void OnRedo(wxCommandEvent& event);
    void OnFilter(wxCommandEvent& event);
    void OnRecentFile(wxCommandEvent& event);
    void OnKeyMap(wxCommandEvent& event);

    void BindHandlers();
    void UnbindHandlers();
    void FillKeyChoices();
    void FitToContent();
    void RestoreGeometry();
    void SaveGeometry();
    void EnableCommands(bool enable);
    void ShowNoFileState();
    void CloseScript();
    void LoadGameTable();
    void SelectGame(morvane::GameId game);
    void ShowMessage(const wxString& text);

    // Unsaved edits: whether there are any, and the question before they
    // would be lost. True when the caller may go on (saved, or dropped on
    // purpose); false when the user cancelled or the save failed.
    bool IsModified() const;
    bool ConfirmDiscard();
    // Saving: to the file last saved to (asking the first time), or asking.
    bool Save();
    bool SaveAs();
    wxString CurrentPath() const;
    // A code typed into the cheat field and not yet set is set now; false
    // (with the reason shown) when it does not fit.
    bool ApplyPendingCheatCode();
    bool SaveTo(const wxString& path);

    // What the window says about the opened script.
    void UpdateTitle();
    void UpdateHeading();
    void RefreshLine(std::size_t index);
    void ShowContext(int index);
    // Offers another game when the script reads much better with it; true
    // when the user switched and the script was opened again.
    bool OfferBetterGame(const wxString& path);
    // The list's text for occurrence `index`: its key's name, its pad, where
    // it is, its opcode when unusual; marked when changed and not saved, and
    // when it lies after an instruction the opcode file does not describe.
    wxString LineText(std::size_t index) const;
    // The occurrence of the list's selected line, or nullptr without one.
    morvane::KeyOccurrence* SelectedOccurrence();
    // The list shows the tests the filter keeps: line -> test, and back.
    static constexpr std::size_t kNoTest = static_cast<std::size_t>(-1);
    std::size_t TestAtLine(int line) const;
    int LineOfTest(std::size_t index) const;
    void FillList(std::size_t select);
    bool FilterKeeps(std::size_t index) const;
    // Edits: each one first remembers the tests as they were.
    void RememberForUndo();
    void AfterEdit();
    void SetSelectedVKey(int32_t vkey);
    void StopWaitingForKey(const wxString& status);
    void UpdateEditCommands();
    void RememberRecentFile(const wxString& path);

    morvane::ScriptImage script;
    std::vector<morvane::KeyOccurrence> occurrences;
    std::vector<morvane::KeyOccurrence> savedOccurrences;  // as the file on disk has them
    morvane::ScanSummary scanSummary;
    morvane::GameId selectedGame = morvane::kGameGta3;
    morvane::OpcodeTable opcodeTable;  // the selected game's
    bool opcodesLoaded = false;
    bool mainScript = false;                // the opened script's header was stepped over
    wxString openedPath;                    // the script as opened
    wxString savedPath;                     // the file last saved to, for Save without asking
    std::vector<std::size_t> visibleTests;  // line i of the list shows test visibleTests[i]
    std::size_t editedTest = kNoTest;       // the test the key choices (or the code field) show
    std::vector<std::vector<morvane::KeyOccurrence>> undoSteps;
    std::vector<std::vector<morvane::KeyOccurrence>> redoSteps;
    bool waitingForKey = false;  // Press key: the next key pressed is taken
    wxFileHistory recentFiles;
    wxWeakRef<KeyMapWindow> keyMapWindow;  // while it is open

    friend class morvane::test::WindowProbe;  // the window tests look inside
};
