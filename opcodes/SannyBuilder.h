#pragma once

#include <string>
#include <vector>

#include "i18n/Translate.h"
#include "io/Result.h"
#include "opcodes/GameId.h"
#include "opcodes/OpcodeTable.h"

namespace morvane {

// Sanny Builder's data folder as it is today: each game's opcodes split over
// several files that a mode file lists. `data\sa\mode.xml` names them in
// <opcodes> lines, in order (`@sb:\data\sa\SASCM.ini`, `...\SASCM.CLEO.ini`,
// a last line `@sb:\data\sa\SASCM*.ini`; `@sb:` is Sanny Builder's own
// folder); Sanny Builder 4's default modes (`data\sa_sbl\mode.xml`) name a
// command library in JSON instead (`<library>@sb:\data\sa_sbl\sa.json`).

// The folder of a game's classic mode ("gta3", "vc", "sa") and of its
// library mode ("gta3_sbl", ...), and the single INI file of the classic
// mode ("SCM.ini", "VCSCM.ini", "SASCM.ini"), as the game's GameInfo row says.
std::string SannyModeFolder(GameId game);
std::string SannyLibraryModeFolder(GameId game);
std::string SannyClassicIniName(GameId game);

// The text of every element named `tag` in a mode file, in document order
// (mode files nest them in a <mode> element); a failure when the text is not
// well-formed XML.
Result<std::vector<std::string>> ReadModeEntries(const std::string& text, const char* tag);

// The files a path of a mode file names under the Sanny Builder folder
// `folder`: "@sb:" stands for that folder, "\" and "/" separate names, each
// name matches without regard to case (the files are Windows files, also on
// Linux), and "*" and "?" in the last name match any characters and any one
// character; several files in the order of their names. Empty when none.
std::vector<std::string> ResolveModePath(const std::string& folder, const std::string& entry);

// An entry of a mode file that gave no file, or one of the files a wildcard
// entry found that could not be read, and why.
struct SannySkipped {
    std::string entry;  // as the mode file writes it
    std::string file;   // the name of the file a wildcard entry found; empty for the entry itself
    std::string cause;  // in words that follow the name, in the language chosen: Tr(kSannyNotThere),
                        // "is a FIFO, not a file", "cannot be read (no permission)"
};
constexpr const char* kSannyNotThere = N_("is not there");

// A mode file's name on what is no file (a FIFO, a folder), passed over.
struct SannyIgnored {
    std::string path;
    std::string cause;  // "is a FIFO, not a file"
};

// What the command line and the window say of them: "Sanny Builder's mode
// file names @sb:\data\sa\x.ini, which is not there: skipped" (with
// "whose x.ini is ..." for a wildcard's file), "Sanny Builder's
// .../data/sa/mode.xml is a FIFO, not a file: ignored".
std::string SannySkippedText(const SannySkipped& skipped);
std::string SannyIgnoredText(const SannyIgnored& ignored);

// What a Sanny Builder folder gave for a game.
struct SannyBuilderTable {
    OpcodeTable table;
    std::vector<std::string> files;     // read, in order
    std::vector<SannySkipped> skipped;  // named by the mode file but not read (a wildcard that matches nothing is none)
    std::vector<SannyIgnored> ignored;  // mode files passed over
    bool library = false;               // the files are a command library in JSON
};

// Loads a game's opcode table from a Sanny Builder folder (`folder` is the
// program's folder, which holds data\; its data folder will do too): the
// command library of the game's library mode when it is there, else the
// <opcodes> files of the game's mode.xml in their order (wildcards
// expanded, each file read once, a later file's opcodes winning, a file
// that is not there, is no regular file or cannot be read skipped and told
// in `skipped`), else the classic single INI. Each folder is listed once.
// A mode.xml that is no file is passed over and told in `ignored`. A
// failure when the folder has none of these for the game (naming what was
// passed over), its mode.xml cannot be read, or no file it names could be
// read (naming the first few entries with their causes, then how many more).
Result<SannyBuilderTable> LoadSannyBuilderTable(const std::string& folder, GameId game);

}  // namespace morvane
