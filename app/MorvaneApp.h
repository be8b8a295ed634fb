#pragma once

#include <wx/app.h>

// Starts the program: works in the folder that holds the three opcode INI
// files (the working directory, else the user's data folder, see
// settings/WorkFolder.h), refuses to run without them, then shows the one window.
class MorvaneApp : public wxApp {
public:
    bool OnInit() override;
};
