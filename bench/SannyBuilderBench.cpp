// Loading a Sanny Builder folder whose mode file has many wildcard entries
// over one folder of 3,000 opcode files (each entry matching a tenth of them,
// most already taken by the entries before it): state.range(0) entries.
//   build/bench/sanny_bench

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "opcodes/SannyBuilder.h"
#include "fixtures/TempDir.h"

using namespace morvane;

namespace {

constexpr int kOpcodeFiles = 3000;

class SannyFolder {
public:
    explicit SannyFolder(int entries) {
        namespace fs = std::filesystem;
        const fs::path sa = fs::path(dir_.Path()) / "data" / "sa";
        fs::create_directories(sa);
        for (int i = 0; i < kOpcodeFiles; ++i)
            std::ofstream(sa / ("SASCM." + std::to_string(1000 + i) + ".ini")) << "[X]\n"
                                                                               << std::hex << (0x1000 + i) << "=1,x\n";
        std::ofstream mode(sa / "mode.xml");
        mode << "<mode>";
        for (int i = 0; i < entries; ++i) mode << "<opcodes>@sb:\\data\\sa\\sascm.*" << i % 10 << ".ini</opcodes>";
        mode << "</mode>";
    }
    std::string Path() const { return dir_.Path(); }

private:
    test::TempDir dir_;
};

void BM_WildcardEntries(benchmark::State& state) {
    static std::map<int64_t, std::unique_ptr<SannyFolder>> folders;
    auto& folder = folders[state.range(0)];
    if (!folder) folder = std::make_unique<SannyFolder>(static_cast<int>(state.range(0)));
    std::size_t files = 0;
    for (auto _ : state) {
        const Result<SannyBuilderTable> read = LoadSannyBuilderTable(folder->Path(), kGameSanAndreas);
        if (!read) {
            state.SkipWithError(read.Cause().c_str());
            break;
        }
        files = read->files.size();
    }
    state.counters["files"] = static_cast<double>(files);
}
BENCHMARK(BM_WildcardEntries)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
