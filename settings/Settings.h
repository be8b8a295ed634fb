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

// Reads a settings file; nothing when it is missing, or when it is there
// but cannot be used, with the cause in `problem` ("is a FIFO, not a file"):
// only a regular file of a few bytes is read.
std::optional<GameId> ReadSavedGameFile(const std::string& path, std::string& problem);
// The settings file of the working directory, read so.
std::optional<GameId> ReadSavedGame(std::string& problem);
// The same, GTA III when there is none.
GameId LoadSavedGame(std::string& problem);

// The file's content for a game: its decimal digits, no line end.
std::string FormatSavedGame(GameId game);

}  // namespace morvane
