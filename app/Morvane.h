#pragma once

#include <vector>

#include "opcodes/GameId.h"
#include "script/KeyScan.h"
#include "script/ScriptImage.h"
#include "ui/GUIFrame.h"

namespace morvane::test {
class MorvaneProbe;
}

// The program's window: the controls of GUIFrame plus the opened script,
// its key occurrences and the selected game.
class Morvane : public GUIFrame {
public:
    explicit Morvane(wxWindow* parent);
    ~Morvane() override;

    // Sets up the three key choices for occurrence `index`.
    void UpdateChoices(int index);

protected:
    void OnClose(wxCloseEvent& event) override;
    void OnOccurrenceSelected(wxCommandEvent& event) override;
    void OnOpenFile(wxCommandEvent& event) override;
    void OnSaveFile(wxCommandEvent& event) override;
    void OnCloseFile(wxCommandEvent& event) override;
    void OnGameSelected(wxCommandEvent& event) override;
    void OnPadSelected(wxCommandEvent& event) override;
    void OnGameKeySelected(wxCommandEvent& event) override;
    void OnVKeySelected(wxCommandEvent& event) override;

    morvane::ScriptImage script;
    std::vector<morvane::KeyOccurrence> occurrences;
    morvane::ScanSummary scanSummary;
    morvane::GameId selectedGame;
    bool opcodesLoaded;

private:
    // While a file is read and scanned the event loop runs now and then; a
    // close asked for then waits until the scan is over.
    bool busy = false;
    bool closeRequested = false;

    void FillKeyChoices();
    void FitToContent();
    void EnableCommands(bool enable);
    void ShowNoFileState();
    // The occurrence of the list's selected line, or nullptr without one.
    morvane::KeyOccurrence* SelectedOccurrence();
    // The list's text for an occurrence: its key's name, marked when it lies
    // after an instruction the opcode file does not describe.
    wxString LineText(const morvane::KeyOccurrence& occurrence) const;

    friend class morvane::test::MorvaneProbe;  // the window tests look inside
};
