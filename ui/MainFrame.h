#pragma once

#include <vector>

#include "opcodes/GameId.h"
#include "opcodes/OpcodeTable.h"
#include "script/KeyScan.h"
#include "script/ScriptImage.h"
#include "ui/MainFrameLayout.h"

namespace morvane::test {
class WindowProbe;
}

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

private:
    // Sets up the three key choices for occurrence `index`.
    void UpdateChoices(int index);

    void OnClose(wxCloseEvent& event);
    void OnOccurrenceSelected(wxCommandEvent& event);
    void OnOpenFile(wxCommandEvent& event);
    void OnSaveFile(wxCommandEvent& event);
    void OnCloseFile(wxCommandEvent& event);
    void OnGameSelected(wxCommandEvent& event);
    void OnPadSelected(wxCommandEvent& event);
    void OnGameKeySelected(wxCommandEvent& event);
    void OnVKeySelected(wxCommandEvent& event);

    void BindHandlers();
    void UnbindHandlers();
    void FillKeyChoices();
    void FitToContent();
    void EnableCommands(bool enable);
    void ShowNoFileState();
    void LoadGameTable();
    void ShowMessage(const wxString& text);
    // The occurrence of the list's selected line, or nullptr without one.
    morvane::KeyOccurrence* SelectedOccurrence();
    // The list's text for an occurrence: its key's name, marked when it lies
    // after an instruction the opcode file does not describe.
    wxString LineText(const morvane::KeyOccurrence& occurrence) const;

    morvane::ScriptImage script;
    std::vector<morvane::KeyOccurrence> occurrences;
    morvane::ScanSummary scanSummary;
    morvane::GameId selectedGame = morvane::kGameGta3;
    morvane::OpcodeTable opcodeTable;  // the selected game's
    bool opcodesLoaded = false;

    friend class morvane::test::WindowProbe;  // the window tests look inside
};
