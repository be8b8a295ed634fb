// Time and peak memory of the instructions around every key test, as
// `morvane-cli list --context N` writes them, over scripts of dense key
// tests (every instruction one): handed over one test at a time against
// all kept until the end.
//   build/bench/context_bench --benchmark_counters_tabular=true

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "opcodes/BuiltinTables.h"
#include "script/Instructions.h"
#include "script/KeyScan.h"

using namespace morvane;

// The heap in use and its peak, counted by every allocation of this program.
namespace {
std::atomic<std::size_t> heapInUse{0};
std::atomic<std::size_t> heapPeak{0};
}  // namespace

void* operator new(std::size_t size) {
    // The size is kept before the block, for the delete that has none.
    void* block = std::malloc(size + sizeof(std::max_align_t));
    if (block == nullptr) throw std::bad_alloc();
    *static_cast<std::size_t*>(block) = size;
    const std::size_t now = heapInUse += size;
    std::size_t peak = heapPeak.load();
    while (now > peak && !heapPeak.compare_exchange_weak(peak, now)) {}
    return static_cast<char*>(block) + sizeof(std::max_align_t);
}

// GCC takes the block for one of operator new's, which it is not.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void operator delete(void* pointer) noexcept {
    if (pointer == nullptr) return;
    void* block = static_cast<char*>(pointer) - sizeof(std::max_align_t);
    heapInUse -= *static_cast<std::size_t*>(block);
    std::free(block);
}

void operator delete(void* pointer, std::size_t) noexcept { operator delete(pointer); }

namespace {

// `bytes` of "is key pressed 65" tests, one after another.
struct DenseScript {
    ScriptImage image;
    OpcodeTable table;
    ScanSummary summary;
    std::vector<int32_t> offsets;

    explicit DenseScript(std::size_t bytes) {
        constexpr uint8_t kTest[] = {0xB0, 0x0A, 0x04, 0x41};  // 0AB0, an 8-bit 65
        std::vector<uint8_t> code;
        while (code.size() + sizeof kTest <= bytes) code.insert(code.end(), std::begin(kTest), std::end(kTest));
        image.game = kGameSanAndreas;
        image.LoadFromBytes(code.data(), code.size());
        LoadBuiltinTable(kGameSanAndreas, table);
        std::vector<KeyTest> tests;
        summary = ScanKeyTests(image, table, HeaderSkip::Never, tests, [](int32_t) {});
        for (const KeyTest& test : tests) offsets.push_back(test.offset);
    }
};

void Report(benchmark::State& state, const DenseScript& script, std::size_t baseline) {
    state.counters["tests"] = static_cast<double>(script.offsets.size());
    state.counters["peak_MB"] = static_cast<double>(heapPeak.load() - baseline) / (1024.0 * 1024.0);
}

// Each test's instructions decoded, used and dropped: what the listing does.
void BM_ContextOneTestAtATime(benchmark::State& state) {
    const DenseScript script(static_cast<std::size_t>(state.range(0)) * 1024);
    const int lines = static_cast<int>(state.range(1));
    const std::size_t baseline = heapInUse.load();
    heapPeak = baseline;
    for (auto _ : state) {
        std::size_t written = 0;
        ForEachInstructionsAround(
            script.image, script.table, script.summary, script.offsets, lines, lines, LabelForm::Raw,
            [&](std::size_t, std::vector<DecodedInstruction> context) { written += context.size(); });
        benchmark::DoNotOptimize(written);
    }
    Report(state, script, baseline);
}

// Every test's instructions kept until the walk ends.
void BM_ContextAllKept(benchmark::State& state) {
    const DenseScript script(static_cast<std::size_t>(state.range(0)) * 1024);
    const int lines = static_cast<int>(state.range(1));
    const std::size_t baseline = heapInUse.load();
    heapPeak = baseline;
    for (auto _ : state) {
        const auto all =
            InstructionsAroundEach(script.image, script.table, script.summary, script.offsets, lines, lines);
        benchmark::DoNotOptimize(all.data());
    }
    Report(state, script, baseline);
}

}  // namespace

// Script size in KiB, instructions before and after each test.
BENCHMARK(BM_ContextOneTestAtATime)
    ->ArgsProduct({{12, 50, 200}, {10, 1000}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(BM_ContextAllKept)->ArgsProduct({{12, 50}, {10, 100}})->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
