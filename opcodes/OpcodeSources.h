#pragma once

#include <string>
#include <vector>

#include "i18n/Translate.h"
#include "io/Result.h"
#include "opcodes/GameId.h"
#include "opcodes/OpcodeTable.h"

namespace morvane {

// Where a game's opcode table comes from, in this order: the game's INI file
// in the work folder ("SCM.ini", "VICESCM.ini", "SASCM.ini"), else the Sanny
// Builder folder the user chose, else Morvane's built-in table. Opcode files
// named on the command line come before all of these. A file describes what
// it describes: an opcode it has no entry for is taken from the next source
// that has one, down to the built-in table.
enum class OpcodeSource { NamedFiles, WorkFolder, SannyBuilder, BuiltIn };

// What the user chose for the games whose INI file the work folder lacks.
struct OpcodeChoice {
    enum class Kind { None, BuiltIn, SannyBuilder };
    Kind kind = Kind::None;
    std::string sannyFolder;  // SannyBuilder: the folder chosen
};

// What the built-in tables hold, as the window and the command line say it
// (Tr(kBuiltinTableWords)).
constexpr const char* kBuiltinTableWords = N_("built-in (game and CLEO 4)");

// Opcodes a table took from a later source, because its own had no entry.
struct FilledOpcodes {
    OpcodeSource source = OpcodeSource::BuiltIn;
    std::size_t count = 0;
};

// A game's opcode table and where it came from.
struct GameTable {
    OpcodeTable table;
    OpcodeSource source = OpcodeSource::BuiltIn;
    std::vector<std::string> files;       // read, in order; none for the built-in table
    std::vector<std::string> sannyNotes;  // what the Sanny Builder folder skipped or passed over, as said
    std::string sannyFailure;             // why the chosen Sanny Builder folder gave no table, when it did not
    std::vector<FilledOpcodes> filled;    // in the order taken; none with nothing taken
    // A mobile edition's table made of its PC edition's (PcEditionTableNote says so).
    bool fromPcEdition = false;

    // How many opcodes the first source described itself.
    std::size_t OwnCount() const;
    // "SASCM.ini, 2,477 commands", "Sanny Builder, SASCM.ini + 4 files, 2,477
    // commands" or kBuiltinTableWords, followed by what later sources gave:
    // "SASCM.ini, 1,953 commands; 2,011 more from the built-in table".
    // A mobile edition's table made of its PC edition's then says so.
    std::string Description() const;

private:
    std::string SourceDescription() const;
};

// What is said of a mobile edition's table made of its PC edition's: that
// opcodes only the mobile edition has may be unknown, and where its own
// table can come from.
std::string PcEditionTableNote(GameId game);

// Loads a game's table in the order above, for a work folder ("" is the
// working folder). A failure when the work folder's INI file is there but
// cannot be used, or when it is missing and no choice was made. A Sanny
// Builder folder that gives no table for the game leaves the built-in one,
// its cause in `sannyFailure`. A mobile edition's table is its Sanny Builder
// mode's (data\sa_mobile ...) when that folder is chosen and has it, else
// its PC edition's as loaded here with the mobile touch tests
// (`fromPcEdition`).
Result<GameTable> LoadGameTable(GameId game, const std::string& workFolder, const OpcodeChoice& choice);

// Loads opcode files (INI or JSON) in order into one table, a later file's
// opcodes winning; a failure naming the file when one cannot be read. Only
// what the files describe: FillFromBuiltin gives the rest.
Result<GameTable> LoadNamedFiles(const std::vector<std::string>& paths, GameId game);

// Gives a table the opcodes it lacks from a later source's table, and
// records how many; nothing is recorded when the source gave none.
void FillFrom(GameTable& loaded, const OpcodeTable& next, OpcodeSource source);
// The same from the game's built-in table.
void FillFromBuiltin(GameTable& loaded);

// A count with its thousands grouped as the language groups them: "2,477"
// in English, "2.477" in German.
std::string GroupedNumber(int64_t number);

}  // namespace morvane
