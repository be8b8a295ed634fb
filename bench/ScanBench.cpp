// Speed of the key scan over a ~3 MB San Andreas-style script, next to the
// bare walk over the same bytes (parameter skipping only).
//   build/bench/scan_bench --benchmark_counters_tabular=true

#include <benchmark/benchmark.h>

#include "opcodes/IniLoader.h"
#include "keys/RemapRules.h"
#include "script/KeyScan.h"
#include "fixtures/SyntheticScript.h"

using namespace morvane;

namespace {

constexpr std::size_t kScriptBytes = 3 * 1024 * 1024;

struct Fixture {
    std::vector<uint8_t> bytes = bench::SyntheticScript(kScriptBytes);
    OpcodeTable table;
    ScriptImage image;
    Fixture() {
        ParseOpcodeIni(bench::SyntheticIni(), kGameSanAndreas, table);
        image.game = kGameSanAndreas;
        image.LoadFromBytes(bytes.data(), bytes.size());
    }
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

int64_t CountInstructions(Fixture& f) {
    int64_t count = 0;
    ScriptReader reader(f.image);
    while (reader.Inside()) {
        if (const OpcodeEntry* entry = f.table.Find(reader.ReadOpcode())) reader.SkipParams(entry->parameterCount);
        ++count;
    }
    return count;
}

void Report(benchmark::State& state, Fixture& f) {
    static const int64_t instructions = CountInstructions(f);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * f.image.Size());
    state.counters["instructions/s"] =
        benchmark::Counter(static_cast<double>(instructions), benchmark::Counter::kIsIterationInvariantRate);
}

void BM_ScanKeyTests(benchmark::State& state) {
    Fixture& f = Shared();
    std::vector<KeyTest> found;
    const ScanProgress noProgress = [](int32_t) {};
    for (auto _ : state) {
        found.clear();
        ScanKeyTests(f.image, f.table, HeaderSkip::Never, found, noProgress);
        benchmark::DoNotOptimize(found.data());
    }
    state.counters["found"] = static_cast<double>(found.size());
    Report(state, f);
}
BENCHMARK(BM_ScanKeyTests)->Unit(benchmark::kMillisecond);

// The reference: the same walk with no key checks and no progress.
void BM_BareParameterWalk(benchmark::State& state) {
    Fixture& f = Shared();
    for (auto _ : state) {
        ScriptReader reader(f.image);
        while (reader.Inside()) {
            if (const OpcodeEntry* entry = f.table.Find(reader.ReadOpcode())) reader.SkipParams(entry->parameterCount);
        }
        benchmark::DoNotOptimize(reader.Position());
    }
    Report(state, f);
}
BENCHMARK(BM_BareParameterWalk)->Unit(benchmark::kMillisecond);

// Change all on the same script: every VKey test of its most tested key gets
// another (the engine's part of the window's Change all and of remap --vkey).
void BM_ChangeAll(benchmark::State& state) {
    Fixture& f = Shared();
    std::vector<KeyTest> found;
    ScanKeyTests(f.image, f.table, HeaderSkip::Never, found, nullptr);
    std::size_t changed = 0;
    for (auto _ : state) {
        const RemapResult result = ApplyRemapRules(found, {RemapRule::ForVKey(0xA0, 0xA1)});
        changed = result.Count(RemapAnswer::Changed);
        benchmark::DoNotOptimize(result.tests.data());
    }
    state.counters["tests"] = static_cast<double>(found.size());
    state.counters["changed"] = static_cast<double>(changed);
}
BENCHMARK(BM_ChangeAll)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
