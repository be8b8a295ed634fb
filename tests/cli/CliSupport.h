#pragma once

// What the command-line tests share: a scratch folder holding the demo
// scripts and opcode files, and two ways to run morvane-cli in it. Run
// calls the commands in this process, as the program does after decoding
// its arguments; Binary starts the real executable, for what only a
// process shows (its exit status, its standard output, other processes).

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cli/Commands.h"
#include "fixtures/TempDir.h"

namespace morvane::test {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::string DemoPath(const std::string& name) { return std::string(MORVANE_SOURCE_DIR) + "/demo/" + name; }
inline std::vector<uint8_t> Demo(const std::string& name) { return ReadBytes(DemoPath(name)); }

// The demo file with bytes changed at the given positions.
inline std::vector<uint8_t> With(const std::string& demo, const std::vector<std::pair<std::size_t, uint8_t>>& changes) {
    std::vector<uint8_t> bytes = Demo(demo);
    for (const auto& [at, value] : changes) bytes.at(at) = value;
    return bytes;
}

// A word quoted for the shell.
inline std::string Quote(const std::string& arg) {
    std::string quoted = "'";
    for (char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// A scratch folder with the demo files, the working folder while a test
// runs: the commands read cfg, the opcode files and the scripts from there.
class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"SCM.ini", "VICESCM.ini", "SASCM.ini", "gta3_keys.cs", "vc_keys.cs", "sa_keys.cs",
                                 "main.scm", "sa_libraries.cs"})
            std::filesystem::copy_file(DemoPath(name), dir.File(name));
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(dir.Path());
    }
    void TearDown() override { std::filesystem::current_path(previous_); }

    // morvane-cli run in this process on the arguments after its name.
    static CliRun Run(const std::vector<std::string>& args) {
        std::ostringstream out;
        std::ostringstream err;
        CliRun run;
        run.status = cli::RunCommandLine(args, out, err);
        run.out = out.str();
        run.err = err.str();
        return run;
    }

    // The shell command that runs the executable in the scratch folder, its
    // standard output into `output` and its errors into .err there.
    std::string Command(const std::vector<std::string>& args, const std::string& output) const {
        std::string command = "cd " + Quote(dir.Path()) + " && " + runner + Quote(MORVANE_CLI);
        for (const auto& a : args) command += " " + Quote(a);
        return command + " >" + Quote(output) + " 2>" + Quote(dir.File(".err"));
    }

    // The real executable run in the scratch folder; its standard output
    // goes to `output` when given.
    CliRun Binary(const std::vector<std::string>& args, const std::string& output = "") const {
        const int raw = std::system(Command(args, output.empty() ? dir.File(".out") : output).c_str());
        CliRun run;
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        run.out = Slurp(dir.File(".out"));
        run.err = Slurp(dir.File(".err"));
        std::filesystem::remove(dir.File(".out"));
        std::filesystem::remove(dir.File(".err"));
        return run;
    }

    TempDir dir;
    std::string runner;  // a command the executable is run through, with its trailing space

private:
    std::filesystem::path previous_;
};

// The demo San Andreas key script as `list --format tsv` shows it.
inline const char* const kSaKeysTsv =
    "file\toffset\tkind\twide\tpad\tkey\tname\topcode\tchord\tset_at\n"
    "sa_keys.cs\t20\tvkey\t0\t-1\t89\tY Key\t0AB0\t\t\n"
    "sa_keys.cs\t54\tvkey\t1\t-1\t160\tLeft Shift\t0AB0\t\t\n"
    "sa_keys.cs\t83\tvkey\t1\t-1\t113\tF2\t0AB0\t\t\n"
    "sa_keys.cs\t153\tbutton\t0\t0\t16\tCross: Sprint | Accelerate\t00E1\t\t\n"
    "sa_keys.cs\t185\tbutton\t0\t1\t6\tR1: Aim Weapon | Hand Brake\t00E1\t\t\n";

}  // namespace morvane::test
