// The examples of README and the manual page run as written, in a copy of
// the demo folder, and print what they show.

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "cli/CliSupport.h"

using namespace morvane;
using namespace morvane::test;

namespace {

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

// A copy of the source tree's demo folder beside a build/morvane-cli that
// is the program under test, so that "../build/morvane-cli" and
// "build/morvane-cli" run it from there as from the source tree.
class DocumentedExamplesTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::copy(std::string(MORVANE_SOURCE_DIR) + "/demo", dir.File("demo"));
        std::filesystem::copy(std::string(MORVANE_SOURCE_DIR) + "/demo-game", dir.File("demo-game"),
                              std::filesystem::copy_options::recursive);
        std::filesystem::copy(std::string(MORVANE_SOURCE_DIR) + "/demo-mobile", dir.File("demo-mobile"),
                              std::filesystem::copy_options::recursive);
        std::filesystem::create_directories(dir.File("build"));
        std::filesystem::create_directories(dir.File("tmp"));
        std::filesystem::create_symlink(MORVANE_CLI, dir.File("build/morvane-cli"));
    }

    // Runs a command in a folder below the copy; what it wrote to standard
    // output, or to standard error when it wrote nothing to standard output.
    std::string Run(const std::string& folder, std::string command) const {
        const std::string scratch = dir.File("tmp") + "/";  // /tmp/ of the examples
        for (std::size_t at = 0; (at = command.find("/tmp/", at)) != std::string::npos; at += scratch.size())
            command.replace(at, 5, scratch);
        const std::string shell = "cd " + Quote(dir.File(folder)) + " && " + command + " >" + Quote(dir.File("out")) +
                                  " 2>" + Quote(dir.File("err"));
        if (std::system(shell.c_str()) == -1) return "cannot run";
        std::string out = Slurp(dir.File("out"));
        if (out.empty()) out = Slurp(dir.File("err"));
        for (std::size_t at = 0; (at = out.find(scratch, at)) != std::string::npos; at += 5)
            out.replace(at, scratch.size(), "/tmp/");
        return out;
    }

    TempDir dir;
};

}  // namespace

// Every "$ command" of README's shell examples, and the output shown under
// it up to the next command (up to a "..." line when the example cuts it
// short); each example starts in the source tree's top folder, and
// "$ cd FOLDER" moves its next commands there.
TEST_F(DocumentedExamplesTest, ReadmeExamplesPrintWhatTheyShow) {
    std::ifstream readme(std::string(MORVANE_SOURCE_DIR) + "/README.md");
    std::string line;
    bool inBlock = false;
    std::string folder = ".";
    std::string command;
    std::vector<std::string> shown;
    bool cut = false;
    int examples = 0;
    auto check = [&] {
        if (command.empty()) return;
        std::string printed = Run(folder, command);
        if (cut) {
            std::istringstream lines(printed);
            std::vector<std::string> first;
            for (std::string l; first.size() < shown.size() && std::getline(lines, l);) first.push_back(l);
            printed = Lines(first);
        }
        EXPECT_EQ(printed, Lines(shown)) << "$ " << command;
        ++examples;
        command.clear();
        shown.clear();
        cut = false;
    };
    while (std::getline(readme, line)) {
        if (line.rfind("```", 0) == 0) {
            if (inBlock) check();
            inBlock = !inBlock;
            folder = ".";
            continue;
        }
        if (!inBlock) continue;
        if (line.rfind("$ cd ", 0) == 0) {
            check();
            folder = line.substr(5);
        } else if (line.rfind("$ ", 0) == 0) {
            check();
            command = line.substr(2);
        } else if (!command.empty() && line == "...") {
            cut = true;
        } else if (!command.empty() && !cut) {
            shown.push_back(line);
        }
    }
    EXPECT_GE(examples, 6);
}

// The manual page's examples run in the demo folder and succeed.
TEST_F(DocumentedExamplesTest, ManualPageExamplesRun) {
    std::ifstream page(std::string(MORVANE_SOURCE_DIR) + "/packaging/morvane-cli.1");
    std::string line;
    bool inExamples = false;
    int examples = 0;
    while (std::getline(page, line)) {
        if (line.rfind(".SH", 0) == 0) inExamples = line == ".SH EXAMPLES";
        if (!inExamples || line.rfind("morvane-cli ", 0) != 0) continue;
        std::string command = "../build/" + std::regex_replace(line, std::regex("\\\\-"), "-");
        const std::string shell =
            "cd " + Quote(dir.File("demo")) + " && " + command + " >/dev/null 2>" + Quote(dir.File("err"));
        EXPECT_EQ(std::system(shell.c_str()), 0) << line << "\n" << Slurp(dir.File("err"));
        ++examples;
    }
    EXPECT_GE(examples, 4);
}
