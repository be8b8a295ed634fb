// Speed of the key map over a generated mods folder: 500 custom scripts of
// 1 to 16 KB in ten subfolders and a 3 MB main script, found, read, scanned
// and gathered, on one thread and on two.
//   build/bench/keymap_bench --benchmark_counters_tabular=true

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "keymap/KeyMap.h"
#include "keymap/ScriptSearch.h"
#include "opcodes/IniLoader.h"
#include "fixtures/TempDir.h"
#include "fixtures/SyntheticScript.h"

using namespace morvane;

namespace {

constexpr int kCustomScripts = 500;
constexpr int kSubfolders = 10;
constexpr std::size_t kMainScriptBytes = 3 * 1024 * 1024;

struct ModsFolder {
    test::TempDir dir;
    OpcodeTable table;
    int64_t bytes = 0;

    ModsFolder() {
        ParseOpcodeIni(bench::SyntheticIni(), kGameSanAndreas, table);
        for (int folder = 0; folder < kSubfolders; ++folder)
            std::filesystem::create_directories(dir.File("mods/" + std::to_string(folder)));
        for (int i = 0; i < kCustomScripts; ++i) {
            const std::size_t size = 1024 + static_cast<std::size_t>(i * 7919 % (15 * 1024));
            const auto script = bench::SyntheticScript(size, static_cast<uint32_t>(i + 1));
            dir.Write("mods/" + std::to_string(i % kSubfolders) + "/mod" + std::to_string(i) + ".cs", script);
            bytes += static_cast<int64_t>(script.size());
        }
        const auto main = bench::SyntheticScript(kMainScriptBytes);
        dir.Write("mods/main.scm", main);
        bytes += static_cast<int64_t>(main.size());
    }
};

ModsFolder& Shared() {
    static ModsFolder folder;
    return folder;
}

// The whole map as morvane-cli keys makes it, on state.range(0) threads.
void BM_KeyMapOfAModsFolder(benchmark::State& state) {
    ModsFolder& folder = Shared();
    const unsigned threads = static_cast<unsigned>(state.range(0));
    std::size_t keys = 0;
    std::size_t scripts = 0;
    for (auto _ : state) {
        const ScriptSearch search = FindScripts({folder.dir.File("mods")});
        const KeyMap map = BuildKeyMap(search.scripts, folder.table, kGameSanAndreas, HeaderSkip::ByName, threads);
        keys = map.keys.size();
        scripts = map.scripts.size();
        benchmark::DoNotOptimize(map.keys.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * folder.bytes);
    state.counters["scripts"] = static_cast<double>(scripts);
    state.counters["keys"] = static_cast<double>(keys);
}
BENCHMARK(BM_KeyMapOfAModsFolder)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// The search alone: the folder walk with its link checks.
void BM_FindScripts(benchmark::State& state) {
    ModsFolder& folder = Shared();
    for (auto _ : state) benchmark::DoNotOptimize(FindScripts({folder.dir.File("mods")}).scripts.size());
}
BENCHMARK(BM_FindScripts)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
