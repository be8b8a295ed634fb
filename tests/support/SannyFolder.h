#pragma once

// A folder laid out like Sanny Builder's, with small opcode files of our own
// under the real names, sections and mode file forms:
//   data/sa/mode.xml           lists SASCM.ini, sascm.cleo.ini in other case,
//                              a file that is not there, then SASCM*.ini
//   data/sa/SASCM.ini          [OPCODES] the demo's SASCM.ini but for the
//                              libraries' opcodes, and 0003 with 1 parameter
//   data/sa/SASCM.CLEO.ini     [CLEO] 0AB0, 0ADC, 0A92, 0A93, 0AC6, and 0003
//                              again with 2 parameters
//   data/sa/SASCM.CLEO+.ini    [CLEO+] 0E3D, 0E3E
//   data/sa/sascm.newopcodes.ini  (lower case on disk) [NEW] 0C89, 2080
//   data/vc/VCSCM.ini          Vice City's single INI, no mode file
// and, when asked, Sanny Builder 4's library mode for San Andreas:
//   data/sa_sbl/mode.xml, data/sa_sbl/sa.json

#include <filesystem>
#include <fstream>
#include <string>

#include "fixtures/TempDir.h"

namespace morvane::test {

inline std::string MakeSannyFolder(const TempDir& dir, bool withLibrary = false) {
    namespace fs = std::filesystem;
    const fs::path root = fs::path(dir.Path()) / "Sanny Builder 3";
    fs::create_directories(root / "data" / "sa");
    fs::create_directories(root / "data" / "vc");
    auto write = [&](const fs::path& path, const std::string& text) {
        std::ofstream out(path, std::ios::binary);
        out << text;
    };
    write(root / "data/sa/mode.xml",
          "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
          "<mode id=\"sa\" title=\"GTA San Andreas\">\r\n"
          "  <data>@sb:\\data\\sa</data>\r\n"
          "  <opcodes>@sb:\\data\\sa\\SASCM.ini</opcodes>\r\n"
          "  <opcodes>@sb:\\DATA\\SA\\sascm.cleo.ini</opcodes>\r\n"
          "  <opcodes>@sb:\\data\\sa\\SASCM.Clipboard.ini</opcodes>\r\n"
          "  <opcodes>@sb:\\data\\sa\\SASCM*.ini</opcodes>\r\n"
          "</mode>\r\n");
    // The game's own opcodes: the demo's lines but for the libraries' ones.
    std::ifstream demo(std::string(MORVANE_SOURCE_DIR) + "/demo/SASCM.ini");
    std::string own = "; the game's own opcodes\r\n[OPCODES]\r\n0003=1,shake camera %1d%\r\n";
    for (std::string line; std::getline(demo, line);) {
        if (line.empty() || line[0] == ';' || line[0] == '[') continue;
        const std::string opcode = line.substr(0, 4);
        bool library = opcode == "0003";
        for (const char* cleo : {"0A92", "0A93", "0AB0", "0AB1", "0AC6", "0ADC", "0C89", "0E3D", "0E3E", "2080"})
            library = library || opcode == cleo;
        if (!library) own += line + "\r\n";
    }
    write(root / "data/sa/SASCM.ini", own);
    write(root / "data/sa/SASCM.CLEO.ini",
          "[CLEO]\r\n0A92=-1,create custom script %1s%\r\n0A93=0,end custom script\r\n"
          "0AB0=1,key_pressed %1d%\r\n0AB1=-1,call %1p%\r\n0AC6=2,%2d% = label %1p%\r\n"
          "0ADC=1,test_cheat %1d%\r\n0003=2,shake camera twice\r\n");
    write(root / "data/sa/SASCM.CLEO+.ini", "[CLEO+]\r\n0E3D=1,is_key_just_pressed %1d%\r\n0E3E=2,x %1d% %2d%\r\n");
    write(root / "data/sa/sascm.newopcodes.ini", "[NEW]\r\n0C89=1,samp key %1d%\r\n2080=1,cleo 5 key %1d%\r\n");
    write(root / "data/vc/VCSCM.ini", "[OPCODES]\r\n0001=1,wait\r\n05EE=1,key %1d%\r\n");
    if (withLibrary) {
        fs::create_directories(root / "data" / "sa_sbl");
        write(root / "data/sa_sbl/mode.xml",
              "<mode id=\"sa_sbl\"><library>@sb:\\data\\sa_sbl\\sa.json</library></mode>");
        write(root / "data/sa_sbl/sa.json",
              R"({"extensions": [{"name": "default", "commands": [
                 {"id": "0001", "name": "WAIT", "num_params": 1},
                 {"id": "0AB0", "name": "IS_KEY_PRESSED", "num_params": 1}]}]})");
    }
    return root.string();
}

}  // namespace morvane::test
