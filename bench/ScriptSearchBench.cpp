// morvane-cli keys over a deep tree against a flat folder of the same files:
// state.range(0) levels of 100 scripts each, each level's folder inside the
// one before ("d/d/d/..."), and as many scripts in one folder. The folder
// search alone, and the whole key map (search, read, scan, gather). Time,
// and the most memory held at once (counted by the allocation functions
// replaced below), beside the bytes of the paths the search returns, which
// grow with the depth whatever the walk does.
//   build/bench/search_bench --benchmark_counters_tabular=true

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <new>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "keymap/KeyMap.h"
#include "keymap/ScriptSearch.h"
#include "opcodes/IniLoader.h"
#include "fixtures/SyntheticScript.h"
#include "fixtures/TempDir.h"

using namespace morvane;

// ---- counting what the search allocates ----

namespace {

std::atomic<std::size_t> gHeld{0};
std::atomic<std::size_t> gPeak{0};
constexpr std::size_t kHeader = alignof(std::max_align_t);  // keeps the block's size, keeps the alignment

void* Allocate(std::size_t size) {
    void* block = std::malloc(size + kHeader);
    if (block == nullptr) return nullptr;
    *static_cast<std::size_t*>(block) = size;
    const std::size_t held = gHeld.fetch_add(size) + size;
    std::size_t peak = gPeak.load();
    while (held > peak && !gPeak.compare_exchange_weak(peak, held)) {}
    return static_cast<char*>(block) + kHeader;
}

void Release(void* memory) {
    if (memory == nullptr) return;
    char* block = static_cast<char*>(memory) - kHeader;
    gHeld.fetch_sub(*reinterpret_cast<std::size_t*>(block));
    std::free(block);
}

void* AllocateOrThrow(std::size_t size) {
    if (void* memory = Allocate(size)) return memory;
    throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return AllocateOrThrow(size); }
void* operator new[](std::size_t size) { return AllocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* memory) noexcept { Release(memory); }
void operator delete[](void* memory) noexcept { Release(memory); }
void operator delete(void* memory, std::size_t) noexcept { Release(memory); }
void operator delete[](void* memory, std::size_t) noexcept { Release(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { Release(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { Release(memory); }

// ---- the trees ----

namespace {

constexpr int kScriptsPerLevel = 100;
constexpr const char* kLevelName = "d";

void Touch(const std::string& name) {
    const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || write(fd, "x", 1) != 1) std::abort();
    close(fd);
}

void Enter(const char* folder) {
    if (chdir(folder) != 0) std::abort();
}

// `levels` folders, one inside the next, of 100 scripts each. Made and
// removed from inside, level by level, so that neither costs the depth for
// each file.
class DeepTree {
public:
    explicit DeepTree(int levels) : levels_(levels) {
        const std::string start = std::filesystem::current_path().string();
        Enter(dir_.Path().c_str());
        for (int level = 0; level < levels_; ++level) {
            if (mkdir(kLevelName, 0755) != 0) std::abort();
            Enter(kLevelName);
            for (int i = 0; i < kScriptsPerLevel; ++i) Touch("s" + std::to_string(i) + ".cs");
        }
        Enter(start.c_str());
    }
    ~DeepTree() {
        const std::string start = std::filesystem::current_path().string();
        Enter(dir_.Path().c_str());
        for (int level = 0; level < levels_; ++level) Enter(kLevelName);
        for (int level = 0; level < levels_; ++level) {
            for (int i = 0; i < kScriptsPerLevel; ++i) unlink(("s" + std::to_string(i) + ".cs").c_str());
            Enter("..");
            rmdir(kLevelName);
        }
        Enter(start.c_str());
    }
    DeepTree(const DeepTree&) = delete;
    DeepTree& operator=(const DeepTree&) = delete;

    std::string Top() const { return dir_.File(kLevelName); }

private:
    test::TempDir dir_;
    int levels_;
};

// The same number of scripts in one folder.
class FlatFolder {
public:
    explicit FlatFolder(int levels) {
        const std::string start = std::filesystem::current_path().string();
        Enter(dir_.Path().c_str());
        if (mkdir(kLevelName, 0755) != 0) std::abort();
        Enter(kLevelName);
        for (int i = 0; i < levels * kScriptsPerLevel; ++i) Touch("s" + std::to_string(i) + ".cs");
        Enter(start.c_str());
    }

    std::string Top() const { return dir_.File(kLevelName); }

private:
    test::TempDir dir_;
};

// One tree of a kind at a time, kept while its benchmark repeats.
template <class Tree>
const Tree& Shared(int levels) {
    static std::unique_ptr<Tree> tree;
    static int made = 0;
    if (!tree || made != levels) {
        tree.reset();
        tree = std::make_unique<Tree>(levels);
        made = levels;
    }
    return *tree;
}

// The most bytes held at once while `work` runs, beyond those held before.
template <class Work>
std::size_t PeakDuring(Work work) {
    const std::size_t before = gHeld.load();
    gPeak.store(before);
    work();
    return gPeak.load() - before;
}

void Report(benchmark::State& state, std::size_t scripts, std::size_t peak, std::size_t pathBytes) {
    if (scripts != static_cast<std::size_t>(state.range(0) * kScriptsPerLevel)) state.SkipWithError("scripts missed");
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * scripts));
    state.counters["scripts"] = static_cast<double>(scripts);
    state.counters["peak_MB"] = static_cast<double>(peak) / (1024.0 * 1024.0);
    state.counters["paths_MB"] = static_cast<double>(pathBytes) / (1024.0 * 1024.0);
}

std::size_t PathBytes(const std::vector<std::string>& paths) {
    std::size_t bytes = 0;
    for (const std::string& path : paths) bytes += path.size();
    return bytes;
}

template <class Tree>
void Search(benchmark::State& state) {
    const Tree& tree = Shared<Tree>(static_cast<int>(state.range(0)));
    std::size_t peak = 0;
    std::size_t pathBytes = 0;
    std::size_t scripts = 0;
    for (auto _ : state) {
        peak = PeakDuring([&] {
            const ScriptSearch search = FindScripts({tree.Top()});
            scripts = search.scripts.size();
            pathBytes = PathBytes(search.scripts);
            benchmark::DoNotOptimize(search.scripts.data());
        });
    }
    Report(state, scripts, peak, pathBytes);
}

// As morvane-cli keys makes it: the search's paths held while the map is
// built from them, on one thread per processor.
template <class Tree>
void MapKeys(benchmark::State& state) {
    const Tree& tree = Shared<Tree>(static_cast<int>(state.range(0)));
    static const OpcodeTable table = [] {
        OpcodeTable made;
        ParseOpcodeIni(bench::SyntheticIni(), kGameSanAndreas, made);
        return made;
    }();
    std::size_t peak = 0;
    std::size_t pathBytes = 0;
    std::size_t scripts = 0;
    for (auto _ : state) {
        peak = PeakDuring([&] {
            const ScriptSearch search = FindScripts({tree.Top()});
            const KeyMap map = BuildKeyMap(search.scripts, table, kGameSanAndreas, HeaderSkip::ByName);
            scripts = map.scripts.size();
            pathBytes = PathBytes(search.scripts);
            benchmark::DoNotOptimize(map.scripts.data());
        });
    }
    Report(state, scripts, peak, pathBytes);
}

// In this order, so that each tree is made once for both of its benchmarks.
void BM_SearchDeepTree(benchmark::State& state) { Search<DeepTree>(state); }
BENCHMARK(BM_SearchDeepTree)->Arg(250)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_KeyMapDeepTree(benchmark::State& state) { MapKeys<DeepTree>(state); }
BENCHMARK(BM_KeyMapDeepTree)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SearchFlatFolder(benchmark::State& state) { Search<FlatFolder>(state); }
BENCHMARK(BM_SearchFlatFolder)->Arg(250)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_KeyMapFlatFolder(benchmark::State& state) { MapKeys<FlatFolder>(state); }
BENCHMARK(BM_KeyMapFlatFolder)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
