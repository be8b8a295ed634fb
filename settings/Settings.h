#pragma once

#include <optional>
#include <string>

#include "io/Result.h"
#include "opcodes/GameId.h"

namespace morvane {

// The settings file in the working directory: the game selected when the
// window was last closed.
constexpr const char* kSettingsFileName = "cfg";

// Reads the settings text: its first word in base 16, low 8 bits; a value
// above the last game, or no digits at all, gives GTA III.
GameId ParseSavedGame(const std::string& text);

// Reads a settings file: the game it holds, nothing when there is no file,
// or a failure when it is there but cannot be used ("is a FIFO, not a
// file"): only a regular file of a few bytes is read.
Result<std::optional<GameId>> ReadSavedGameFile(const std::string& path);
// The settings file of the working directory, read so.
Result<std::optional<GameId>> ReadSavedGame();

// The file's content for a game: its decimal digits, no line end.
std::string FormatSavedGame(GameId game);

}  // namespace morvane
