#pragma once

#include <wx/app.h>

// Starts the program: works in the folder that holds the three opcode INI
// files (the working directory, else the user's data folder, see
// settings/WorkFolder.h); without them it asks once where the missing games'
// opcodes come from (the built-in tables, Sanny Builder's folder, or Quit);
// then shows the one window, which opens the script named on the command
// line, if any.
class MorvaneApp : public wxApp {
public:
    bool OnInit() override;
    int OnExit() override;
    // The same with the given arguments (the first is the program's name).
    bool Start(const wxArrayString& arguments);
};
