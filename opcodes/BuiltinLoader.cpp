#include "opcodes/BuiltinTables.h"

namespace morvane {

void LoadBuiltinTable(GameId game, OpcodeTable& table) {
    table.Reset(game);
    for (const BuiltinCommand& command : AllBuiltinCommands())
        if (GameSetHas(command.games, game)) table.Set(command.id, command.count, command.description);
}

}  // namespace morvane
