// Writes the demo scripts into a folder (default: demo/ of the source tree).
//   build/make_demo [FOLDER]

#include <cstdio>
#include <fstream>
#include <string>

#include "fixtures/DemoScripts.h"

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : MORVANE_DEMO_DIR;
    for (const auto& [name, bytes] : morvane::demo::DemoScripts()) {
        const std::string path = folder + "/" + name;
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%s: %zu bytes\n", path.c_str(), bytes.size());
    }
    return 0;
}
