#pragma once

#include <wx/string.h>
#include <wx/window.h>

#include <optional>

#include "opcodes/OpcodeSources.h"

// Where the opcodes of the games whose INI file the work folder lacks come
// from: Morvane's built-in tables or a Sanny Builder folder, as the user
// chose, kept in the user's configuration (wxConfig).

morvane::OpcodeChoice ReadOpcodeChoice();
void RememberOpcodeChoice(const morvane::OpcodeChoice& choice);

// Whether a choice still holds: the built-in tables, or a Sanny Builder
// folder that is still there.
bool ChoiceHolds(const morvane::OpcodeChoice& choice);

// Asks, with `message` above the buttons "Use Built-in Tables", "Choose Sanny
// Builder Folder..." and `cancelLabel` (the default, so that Return answers
// it); a folder is chosen in a folder dialog that starts where Sanny
// Builder's installers put it, and is asked for again while it holds no
// opcode files. Nothing when the user cancels.
std::optional<morvane::OpcodeChoice> AskForOpcodeFiles(wxWindow* parent, const wxString& message,
                                                       const wxString& cancelLabel);
