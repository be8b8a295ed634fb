#include "opcodes/BuiltinTables.h"

namespace morvane {

namespace {

// The touch tests of the mobile editions, which no PC table describes (CLEO
// Android's and San Andreas mobile's own): a mobile table takes them over
// whatever its PC edition's table says of these opcodes.
constexpr BuiltinCommand kMobileCommands[] = {
    {kInMobileGames, 0x0DE0, 3, "GET_TOUCH_POINT_STATE %2d% MIN_TIME %3d% STORE_TO %1d%"},
    {kInMobileGames, 0x0DE1, 5, "GET_TOUCH_SLIDE_STATE FROM %2d% TO %3d% MIN_TIME %4d% MAX_TIME %5d% STORE_TO %1d%"},
    {kInSanAndreasMobile, 0x0A51, 1, "IS_WIDGET_PRESSED %1d%"},
    {kInSanAndreasMobile, 0x0A52, 1, "IS_WIDGET_RELEASED %1d%"},
    {kInSanAndreasMobile, 0x0A53, 1, "IS_WIDGET_DOUBLE_TAPPED %1d%"},
    {kInSanAndreasMobile, 0x0A54, 1, "IS_WIDGET_SWIPED %1d%"},
    {kInSanAndreasMobile, 0x0A55, 1, "IS_WIDGET_SWIPED_LEFT %1d%"},
    {kInSanAndreasMobile, 0x0A56, 1, "IS_WIDGET_SWIPED_RIGHT %1d%"},
};

}  // namespace

BuiltinCommands MobileCommands() { return {kMobileCommands, sizeof kMobileCommands / sizeof kMobileCommands[0]}; }

void SetMobileCommands(OpcodeTable& table) {
    for (const BuiltinCommand& command : MobileCommands())
        if (GameSetHas(command.games, table.Game())) table.Set(command.id, command.count, command.description);
}

void LoadBuiltinTable(GameId game, OpcodeTable& table) {
    table.Reset(game);
    for (const BuiltinCommand& command : AllBuiltinCommands())
        if (GameSetHas(command.games, game)) table.Set(command.id, command.count, command.description);
    SetMobileCommands(table);
}

}  // namespace morvane
