#pragma once

#include <wx/app.h>

// Starts the program: refuses to run without the three opcode INI files in
// the working directory, then shows the one window.
class MorvaneApp : public wxApp {
public:
    bool OnInit() override;
};
