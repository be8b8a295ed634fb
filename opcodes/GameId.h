#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace morvane {

// The game whose byte code and opcode table are in use. Its number is also
// the item index of the window's game choice and the value kept in the
// settings file. The mobile editions (Android and iOS) read their PC
// edition's byte code, with opcodes of their own for the touch screen.
enum class GameId : int32_t {
    Gta3 = 0,
    ViceCity = 1,
    SanAndreas = 2,
    Gta3Mobile = 3,
    ViceCityMobile = 4,
    SanAndreasMobile = 5,
};

constexpr GameId kGameGta3 = GameId::Gta3;
constexpr GameId kGameViceCity = GameId::ViceCity;
constexpr GameId kGameSanAndreas = GameId::SanAndreas;
constexpr GameId kGameGta3Mobile = GameId::Gta3Mobile;
constexpr GameId kGameViceCityMobile = GameId::ViceCityMobile;
constexpr GameId kGameSanAndreasMobile = GameId::SanAndreasMobile;
constexpr int kGameCount = 6;
constexpr std::array<GameId, kGameCount> kAllGames = {kGameGta3,       kGameViceCity,       kGameSanAndreas,
                                                      kGameGta3Mobile, kGameViceCityMobile, kGameSanAndreasMobile};
// The PC editions: the games whose INI file the work folder holds.
constexpr int kPcGameCount = 3;
constexpr std::array<GameId, kPcGameCount> kPcGames = {kGameGta3, kGameViceCity, kGameSanAndreas};

constexpr int GameNumber(GameId game) { return static_cast<int>(game); }

// The game of a number, or nothing for a number that names none.
constexpr std::optional<GameId> GameFromNumber(int64_t number) {
    if (number < 0 || number >= kGameCount) return std::nullopt;
    return static_cast<GameId>(number);
}

// A set of games, bit n for the game of number n: which games a row of a
// list shared by the games holds for (the special opcodes, the built-in
// commands). A game's set holds its mobile edition too, which runs what the
// PC edition runs; the mobile sets are the mobile editions alone.
enum GameSet : uint8_t {
    kInGta3Mobile = 1 << 3,
    kInViceCityMobile = 1 << 4,
    kInSanAndreasMobile = 1 << 5,
    kInGta3 = 1 << 0 | kInGta3Mobile,
    kInViceCity = 1 << 1 | kInViceCityMobile,
    kInSanAndreas = 1 << 2 | kInSanAndreasMobile,
    kInOlderGames = kInGta3 | kInViceCity,
    kInEveryGame = kInGta3 | kInViceCity | kInSanAndreas,
    kInMobileGames = kInGta3Mobile | kInViceCityMobile | kInSanAndreasMobile,
};

constexpr uint8_t GameSetOf(GameId game) { return static_cast<uint8_t>(1u << GameNumber(game)); }
constexpr bool GameSetHas(uint8_t games, GameId game) { return (games & GameSetOf(game)) != 0; }

// Which of the three size rule sets of the byte code a game's parameters
// follow (script/ParamType.h writes the rules down): type 6 is a 16-bit
// fixed-point number in GTA III and a 32-bit float later; bytes of 7 and
// above are types of their own in San Andreas and start an 8-byte inline
// string in the older games.
enum class ParamRules : uint8_t { Gta3 = 0, ViceCity = 1, SanAndreas = 2 };
constexpr int kParamRulesCount = 3;

// What Morvane knows of a game, one row each: every other place asks here.
struct GameInfo {
    GameId game;
    const char* name;       // as players write it: "GTA III"
    const char* shortName;  // on the command line: "gta3"
    // The PC edition whose byte code the game reads: the game itself for a PC edition.
    GameId pcEdition;
    // The opcode INI file the work folder holds for the game; a mobile
    // edition reads its PC edition's.
    const char* iniName;
    // Sanny Builder's data folder: the classic mode's folder, its single INI
    // file (not always the work folder's name) and the folder of the library
    // mode, whose commands are a JSON file (a mobile mode's own folder,
    // whose mode file names either).
    const char* sannyModeFolder;
    const char* sannyClassicIni;
    const char* sannyLibraryModeFolder;
    // A main script's header: segments, each opened by a jump to the next.
    int headerLinks;
    // Bytes of the mission table in front of the missions' offsets: the main
    // code's size, the largest mission's size, the number of missions and of
    // exclusive missions, and in San Andreas the most locals a mission has.
    int missionTableHead;
    ParamRules paramRules;
};

inline constexpr GameInfo kGames[kGameCount] = {
    {kGameGta3, "GTA III", "gta3", kGameGta3, "SCM.ini", "gta3", "SCM.ini", "gta3_sbl", 3, 4 + 4 + 2 + 2,
     ParamRules::Gta3},
    {kGameViceCity, "Vice City", "vc", kGameViceCity, "VICESCM.ini", "vc", "VCSCM.ini", "vc_sbl", 3, 4 + 4 + 2 + 2,
     ParamRules::ViceCity},
    {kGameSanAndreas, "San Andreas", "sa", kGameSanAndreas, "SASCM.ini", "sa", "SASCM.ini", "sa_sbl", 6,
     4 + 4 + 2 + 2 + 4, ParamRules::SanAndreas},
    {kGameGta3Mobile, "GTA III mobile", "gta3-mobile", kGameGta3, "SCM.ini", "gta3_mobile", "SCM.ini", "gta3_mobile", 3,
     4 + 4 + 2 + 2, ParamRules::Gta3},
    {kGameViceCityMobile, "Vice City mobile", "vc-mobile", kGameViceCity, "VICESCM.ini", "vc_mobile", "VCSCM.ini",
     "vc_mobile", 3, 4 + 4 + 2 + 2, ParamRules::ViceCity},
    {kGameSanAndreasMobile, "San Andreas mobile", "sa-mobile", kGameSanAndreas, "SASCM.ini", "sa_mobile", "SASCM.ini",
     "sa_mobile", 6, 4 + 4 + 2 + 2 + 4, ParamRules::SanAndreas},
};

constexpr bool RowsFollowGameNumbers() {
    for (int number = 0; number < kGameCount; ++number)
        if (GameNumber(kGames[number].game) != number) return false;
    return true;
}
static_assert(RowsFollowGameNumbers(), "kGames has one row per game, in the order of their numbers");

constexpr const GameInfo& InfoOf(GameId game) { return kGames[static_cast<std::size_t>(GameNumber(game))]; }

constexpr const char* GameName(GameId game) { return InfoOf(game).name; }
constexpr GameId PcEditionOf(GameId game) { return InfoOf(game).pcEdition; }
// Whether the game is a mobile edition: no keyboard, a touch screen.
constexpr bool IsMobile(GameId game) { return PcEditionOf(game) != game; }
constexpr const char* GameShortName(GameId game) { return InfoOf(game).shortName; }

// The game of a short name, or nothing.
constexpr std::optional<GameId> GameFromShortName(std::string_view name) {
    for (const GameInfo& info : kGames)
        if (name == info.shortName) return info.game;
    return std::nullopt;
}

}  // namespace morvane
