// Writes the demo scripts into a folder (default: demo/ of the source tree),
// the demo game folder of mods into another (default: demo-game/) and the
// demo mobile game folder into a third (default: demo-mobile/).
//   build/make_demo [FOLDER [GAME_FOLDER [MOBILE_FOLDER]]]

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "fixtures/DemoScripts.h"

namespace {

bool Write(const std::string& folder, const std::vector<std::pair<std::string, std::vector<uint8_t>>>& files) {
    for (const auto& [name, bytes] : files) {
        const std::string path = folder + "/" + name;
        std::error_code ignored;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return false;
        }
        std::printf("%s: %zu bytes\n", path.c_str(), bytes.size());
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : MORVANE_DEMO_DIR;
    const std::string game = argc > 2 ? argv[2] : MORVANE_DEMO_GAME_DIR;
    const std::string mobile = argc > 3 ? argv[3] : MORVANE_DEMO_MOBILE_DIR;
    return Write(folder, morvane::demo::DemoScripts()) && Write(folder, morvane::demo::DemoMobileScripts()) &&
                   Write(game, morvane::demo::DemoGameFolder()) && Write(mobile, morvane::demo::DemoMobileFolder())
               ? 0
               : 1;
}
