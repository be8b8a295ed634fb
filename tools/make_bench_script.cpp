// Writes the scripts the command-line measurement reads into a folder:
// big.scm, a ~3 MB San Andreas main script (the header segments, then the
// synthetic code of the scan benchmark), empty.scm (the header alone) and
// SASCM.ini, the opcode counts they are written against.
//   build/make_bench_script FOLDER

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "fixtures/SyntheticScript.h"
#include "opcodes/IniLoader.h"
#include "fixtures/MainScriptBuilder.h"

namespace {

bool Write(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return static_cast<bool>(out);
}

std::string Text(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_bench_script FOLDER\n");
        return 2;
    }
    constexpr std::size_t kScriptBytes = 3 * 1024 * 1024;
    const std::string folder = argv[1];
    const morvane::test::MainScript main(morvane::kGameSanAndreas, 0);
    const bool written =
        Write(folder + "/big.scm", Text(main.Build(morvane::bench::SyntheticScript(kScriptBytes)))) &&
        Write(folder + "/empty.scm", Text(main.Build({}))) &&
        Write(folder + "/" + morvane::OpcodeIniFileName(morvane::kGameSanAndreas), morvane::bench::SyntheticIni());
    return written ? 0 : 1;
}
