#pragma once

#include <optional>
#include <string>

#include "opcodes/GameId.h"

namespace morvane {

// The settings file in the working directory: the game selected when the
// window was last closed.
constexpr const char* kSettingsFileName = "cfg";

// Reads the settings text: its first word in base 16, low 8 bits; a value
// above the last game, or no digits at all, gives GTA III.
GameId ParseSavedGame(const std::string& text);

// Reads the settings file; GTA III when it is missing or unreadable.
GameId LoadSavedGame();
// The same, or nothing when the file is missing or unreadable.
std::optional<GameId> ReadSavedGame();

// The file's content for a game: its decimal digits, no line end.
std::string FormatSavedGame(GameId game);

}  // namespace morvane
