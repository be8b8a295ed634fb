// Opening a ~3 MB San Andreas-style script in the window, from the chosen
// path to line 0 listed and selected: read, scan with the gauge repainted now
// and then, list filled. Needs a display:
//   xvfb-run -a build/bench/open_bench

#include <benchmark/benchmark.h>

#include <wx/app.h>
#include <wx/init.h>
#include <wx/log.h>

#include <cstdio>
#include <filesystem>

#include "fixtures/SyntheticScript.h"
#include "opcodes/IniLoader.h"
#include "fixtures/TempDir.h"
#include "ui/MainFrame.h"

namespace {

constexpr std::size_t kScriptBytes = 3 * 1024 * 1024;

// A working folder with the opcode files and the script, made the current
// folder, and a shown window in it; all of it undone at the end.
class WindowOnAScript {
public:
    WindowOnAScript() : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir_.Path());
        for (const morvane::GameId game : morvane::kAllGames)
            dir_.Write(morvane::OpcodeIniFileName(game), std::string(morvane::bench::SyntheticIni()));
        dir_.Write("cfg", "2");
        script = wxString::FromUTF8(dir_.Write("big.cs", morvane::bench::SyntheticScript(kScriptBytes)));
        frame = new MainFrame(nullptr);
        frame->Show();
        wxTheApp->Yield(true);
    }
    ~WindowOnAScript() {
        frame->Destroy();
        wxTheApp->Yield(true);
        std::filesystem::current_path(previous_);
    }
    WindowOnAScript(const WindowOnAScript&) = delete;
    WindowOnAScript& operator=(const WindowOnAScript&) = delete;

    MainFrame* frame = nullptr;
    wxString script;

private:
    morvane::test::TempDir dir_;
    std::filesystem::path previous_;
};

void BM_OpenScriptInTheWindow(benchmark::State& state) {
    WindowOnAScript window;
    for (auto _ : state) window.frame->OpenScript(window.script);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kScriptBytes));
}
BENCHMARK(BM_OpenScriptInTheWindow)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// Change all in the window on the same script, back and forth: the edit, its
// undo step and the list's changed lines.
void BM_ChangeAllInTheWindow(benchmark::State& state) {
    WindowOnAScript window;
    window.frame->OpenScript(window.script);
    std::size_t changed = 0;
    bool forth = true;
    for (auto _ : state) {
        const morvane::RemapRule rule = morvane::RemapRule::ForVKey(forth ? 0xA0 : 0xA1, forth ? 0xA1 : 0xA0);
        changed = window.frame->ChangeAllKeys(rule).Count(morvane::RemapAnswer::Changed);
        forth = !forth;
    }
    state.counters["changed"] = static_cast<double>(changed);
}
BENCHMARK(BM_ChangeAllInTheWindow)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "open_bench: cannot start wxWidgets (no display? run it under xvfb-run)\n");
        return 2;
    }
    delete wxLog::SetActiveTarget(new wxLogStderr);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    wxEntryCleanup();
    return 0;
}
