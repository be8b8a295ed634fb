// Times the window's own work on a 3 MB script: opening it (read, scan and
// list), filtering its list and clearing the filter again, and a Change All,
// each until the window has drawn the result; prints them in seconds.
//
//   window_timings [LIMIT]    exits 1 when one takes longer than LIMIT seconds
//
// It works in a folder of its own under the system's temporary folder and
// keeps the window's settings in memory, so nothing of the user's changes.

#include <wx/app.h>
#include <wx/config.h>
#include <wx/init.h>
#include <wx/memconf.h>
#include <wx/srchctrl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "fixtures/SyntheticScript.h"
#include "opcodes/IniLoader.h"
#include "ui/MainFrame.h"

namespace {

constexpr std::size_t kScriptBytes = 3 * 1024 * 1024;
constexpr int kSettleRounds = 3;

void Write(const std::filesystem::path& path, const void* bytes, std::size_t size) {
    std::ofstream out(path, std::ios::binary);
    out.write(static_cast<const char*>(bytes), static_cast<std::streamsize>(size));
}

// Until the window has handled and drawn what the step asked for: its
// event loop runs as the user's would, drawing included.
void Settle(wxWindow* /*window*/) {
    for (int i = 0; i < kSettleRounds; ++i) wxTheApp->Yield(true);
}

double Seconds(const std::function<void()>& step, wxWindow* window) {
    const auto start = std::chrono::steady_clock::now();
    step();
    Settle(window);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void TypeFilter(MainFrame* frame, const char* text) {
    auto* filter = dynamic_cast<wxSearchCtrl*>(wxWindow::FindWindowByName("filterText", frame));
    if (filter == nullptr) return;
    filter->ChangeValue(text);
    wxCommandEvent event(wxEVT_TEXT, filter->GetId());
    event.SetEventObject(filter);
    event.SetString(text);
    filter->ProcessWindowEvent(event);
}

}  // namespace

int main(int argc, char** argv) {
    const double limit = argc > 1 ? std::atof(argv[1]) : 0;
    wxApp::SetInstance(new wxApp);
    int wxArgc = 1;
    if (!wxEntryStart(wxArgc, argv)) {
        std::fprintf(stderr, "window_timings: cannot start the window system (no display?)\n");
        return 2;
    }
    wxConfigBase::Set(new wxMemoryConfig);

    const std::filesystem::path previous = std::filesystem::current_path();
    // A folder of its own, even with another run beside it.
    std::random_device random;
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("morvane-window-timings-" + std::to_string(random()) + "-" +
                                          std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    std::filesystem::create_directories(folder);
    std::filesystem::current_path(folder);
    const std::string ini = morvane::bench::SyntheticIni();
    Write(morvane::OpcodeIniFileName(morvane::kGameSanAndreas), ini.data(), ini.size());
    Write("cfg", "2", 1);
    const std::vector<uint8_t> script = morvane::bench::SyntheticScript(kScriptBytes);
    Write("big.cs", script.data(), script.size());

    auto* frame = new MainFrame(nullptr);
    frame->Show();
    Settle(frame);
    struct Step {
        const char* name;
        double seconds;
    };
    std::vector<Step> steps;
    steps.push_back({"open", Seconds([&] { frame->OpenScript((folder / "big.cs").string()); }, frame)});
    const std::size_t tests = frame->Session().Tests().size();
    steps.push_back({"filter", Seconds([&] { TypeFilter(frame, "F2"); }, frame)});
    steps.push_back({"clear filter", Seconds([&] { TypeFilter(frame, ""); }, frame)});
    steps.push_back({"filter again", Seconds([&] { TypeFilter(frame, "0x1"); }, frame)});
    steps.push_back({"clear again", Seconds([&] { TypeFilter(frame, ""); }, frame)});
    int32_t from = 0;
    for (const morvane::KeyTest& test : frame->Session().Tests())
        if (test.IsVKey()) {
            from = test.key;
            break;
        }
    steps.push_back(
        {"change all",
         Seconds([&] { frame->ChangeAllKeys(morvane::RemapRule::ForVKey(from, from == 0x41 ? 0x42 : 0x41)); }, frame)});

    std::printf("a %zu-byte script with %zu key tests\n", script.size(), tests);
    bool slow = false;
    for (const Step& step : steps) {
        std::printf("%-13s %.3f s\n", step.name, step.seconds);
        slow = slow || (limit > 0 && step.seconds > limit);
    }
    if (slow) std::printf("slower than %.3f s\n", limit);

    frame->Destroy();
    for (int i = 0; i < kSettleRounds; ++i) wxTheApp->Yield(true);
    std::filesystem::current_path(previous);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    wxEntryCleanup();
    return slow ? 1 : 0;
}
