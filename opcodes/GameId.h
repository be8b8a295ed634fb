#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace morvane {

// The game whose byte code and opcode table are in use. Its number is also
// the item index of the window's game choice and the value kept in the
// settings file.
enum class GameId : int32_t { Gta3 = 0, ViceCity = 1, SanAndreas = 2 };

constexpr GameId kGameGta3 = GameId::Gta3;
constexpr GameId kGameViceCity = GameId::ViceCity;
constexpr GameId kGameSanAndreas = GameId::SanAndreas;
constexpr int kGameCount = 3;
constexpr std::array<GameId, kGameCount> kAllGames = {kGameGta3, kGameViceCity, kGameSanAndreas};

constexpr int GameNumber(GameId game) { return static_cast<int>(game); }

// The game of a number, or nothing for a number that names none.
constexpr std::optional<GameId> GameFromNumber(int64_t number) {
    if (number < 0 || number >= kGameCount) return std::nullopt;
    return static_cast<GameId>(number);
}

// The game's name as players write it ("GTA III", "Vice City", "San
// Andreas"), and its short name on the command line ("gta3", "vc", "sa").
constexpr std::array<const char*, kGameCount> kGameNames = {"GTA III", "Vice City", "San Andreas"};
constexpr std::array<const char*, kGameCount> kGameShortNames = {"gta3", "vc", "sa"};

constexpr const char* GameName(GameId game) { return kGameNames[static_cast<std::size_t>(GameNumber(game))]; }
constexpr const char* GameShortName(GameId game) { return kGameShortNames[static_cast<std::size_t>(GameNumber(game))]; }

// The game of a short name, or nothing.
constexpr std::optional<GameId> GameFromShortName(std::string_view name) {
    for (const GameId game : kAllGames)
        if (name == GameShortName(game)) return game;
    return std::nullopt;
}

}  // namespace morvane
