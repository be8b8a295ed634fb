#pragma once

// gta3sc's command definitions (tools/gta3sc) read as the rows of Morvane's
// built-in opcode tables: tools/make_builtin_tables writes them into
// opcodes/BuiltinTables.cpp, and a test checks that file against them.
//
// Each <Command ID="0x..." Name="..."> with its <Args> becomes a row: the
// id, the number of arguments (kVariableParameterCount when one of them is
// Optional="true", which stands for a variable list), and the name with a
// %Nx% placeholder per fixed argument as its description (a LABEL argument
// as %Np%, so it reads as an offset). A later definition of an id replaces
// an earlier one. Then come the key tests Morvane knows and gta3sc lacks.

#include <tinyxml2.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "opcodes/GameId.h"
#include "opcodes/OpcodeTable.h"

namespace morvane::tools {

struct Gta3scCommand {
    uint16_t id = 0;
    int32_t count = 0;
    std::string description;
    bool operator==(const Gta3scCommand& other) const {
        return id == other.id && count == other.count && description == other.description;
    }
};

// gta3sc's folder of a game's definitions.
inline const char* Gta3scFolder(GameId game) {
    switch (game) {
        case kGameGta3: return "gta3";
        case kGameViceCity: return "gtavc";
        case kGameSanAndreas: return "gtasa";
    }
    return "";
}

// Key tests of the script libraries that gta3sc does not define, with their
// parameter counts: the libraries' is_key_pressed of GTA III and Vice City,
// and CLEO+'s, CLEO 5's and SAMPFUNCS' key and button tests of San Andreas.
struct AddedCommand {
    GameId game;
    uint16_t id;
    int32_t count;
    const char* description;
};
inline const AddedCommand kAddedCommands[] = {
    {kGameGta3, 0x05EE, 1, "IS_KEY_PRESSED %1d%"},
    {kGameViceCity, 0x05EE, 1, "IS_KEY_PRESSED %1d%"},
    {kGameSanAndreas, 0x0E3D, 1, "IS_KEY_JUST_PRESSED %1d%"},
    {kGameSanAndreas, 0x0E3E, 2, "IS_BUTTON_JUST_PRESSED %1d% %2d%"},
    {kGameSanAndreas, 0x2080, 1, "IS_KEY_JUST_PRESSED %1d%"},
    {kGameSanAndreas, 0x0C89, 1, "IS_KEY_JUST_PRESSED %1d%"},
};

// The placeholder letter of an argument type.
inline char PlaceholderLetter(const char* type) {
    const std::string t = type == nullptr ? "" : type;
    if (t == "LABEL") return 'p';
    if (t == "FLOAT") return 'f';
    if (t == "STRING" || t.rfind("TEXT_LABEL", 0) == 0) return 's';
    return 'd';
}

// Reads one file's commands into `commands` (by id); false with `error`.
inline bool ReadGta3scFile(const std::string& path, std::map<uint16_t, Gta3scCommand>& commands, std::string& error) {
    tinyxml2::XMLDocument document;
    if (document.LoadFile(path.c_str()) != tinyxml2::XML_SUCCESS) {
        error = path + ": " + (document.ErrorStr() != nullptr ? document.ErrorStr() : "cannot be read");
        return false;
    }
    const tinyxml2::XMLElement* root = document.RootElement();
    const tinyxml2::XMLElement* list = root != nullptr ? root->FirstChildElement("Commands") : nullptr;
    for (const tinyxml2::XMLElement* command = list != nullptr ? list->FirstChildElement("Command") : nullptr;
         command != nullptr; command = command->NextSiblingElement("Command")) {
        const char* id = command->Attribute("ID");
        const char* name = command->Attribute("Name");
        if (id == nullptr || name == nullptr) continue;  // not compiled into byte code
        const long number = std::strtol(id, nullptr, 16);
        if (number < 0 || number > kHighestOpcode) continue;
        Gta3scCommand row;
        row.id = static_cast<uint16_t>(number);
        row.description = name;
        int fixed = 0;
        bool variable = false;
        const tinyxml2::XMLElement* args = command->FirstChildElement("Args");
        for (const tinyxml2::XMLElement* arg = args != nullptr ? args->FirstChildElement("Arg") : nullptr;
             arg != nullptr; arg = arg->NextSiblingElement("Arg")) {
            if (arg->BoolAttribute("Optional", false)) {
                variable = true;
                continue;
            }
            ++fixed;
            row.description += " %" + std::to_string(fixed) + PlaceholderLetter(arg->Attribute("Type")) + "%";
        }
        row.count = variable ? kVariableParameterCount : fixed;
        commands[row.id] = row;
    }
    return true;
}

// Every command of a game, sorted by id; false with `error` when a file
// cannot be read.
inline bool ReadGta3scCommands(const std::string& folder, GameId game, std::vector<Gta3scCommand>& rows,
                               std::string& error) {
    std::map<uint16_t, Gta3scCommand> commands;
    for (const char* file : {"commands.xml", "cleo.xml"})
        if (!ReadGta3scFile(folder + "/" + Gta3scFolder(game) + "/" + file, commands, error)) return false;
    for (const AddedCommand& added : kAddedCommands)
        if (added.game == game) commands[added.id] = Gta3scCommand{added.id, added.count, added.description};
    rows.clear();
    for (const auto& [id, command] : commands) rows.push_back(command);
    return true;
}

}  // namespace morvane::tools
