// The morvane-cli executable itself: exit statuses, standard output that
// cannot be written, and a second process changing the same file.

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <thread>

#include "MorvaneVersion.h"
#include "io/FileLock.h"
#include "io/SafeWrite.h"
#include "cli/CliSupport.h"

using namespace morvane;
using namespace morvane::test;

namespace {
class ProcessTest : public CliTest {};
}  // namespace

// Only regular files of a sensible size are read: a FIFO (which keeps a
// reader waiting for a writer), an endless device or an absurdly large file
// given as a script, an opcode file or the settings file is refused at once
// with its cause. Each run has a time limit, so that a wait fails the test
// instead of hanging it.
TEST_F(ProcessTest, FifosEndlessAndHugeInputsAreRefusedAtOnce) {
    runner = "timeout 10 ";
    for (const char* fifo : {"pipe.cs", "pipe.ini", "mods/x.cs"}) {
        std::filesystem::create_directories(dir.File("mods"));
        ASSERT_EQ(mkfifo(dir.File(fifo).c_str(), 0644), 0);
    }
    {
        std::ofstream huge(dir.File("huge.ini"), std::ios::binary);
        huge.seekp(65 * 1024 * 1024);
        huge.put('\n');
    }
    const struct {
        std::vector<std::string> args;
        const char* said;
    } kCases[] = {
        {{"list", "--game", "sa", "pipe.cs"}, "pipe.cs: cannot open: is a FIFO, not a file\n"},
        {{"list", "--game", "sa", "/dev/zero"}, "/dev/zero: cannot open: is a device, not a file\n"},
        {{"keys", "--game", "sa", "mods"}, "mods/x.cs: is a FIFO, not a file\n"},
        {{"remap", "--game", "sa", "--vkey", "Y Key=Z Key", "pipe.cs", "--in-place"},
         "pipe.cs: cannot open: is a FIFO, not a file\n"},
        {{"list", "--game", "sa", "--ini", "pipe.ini", "sa_keys.cs"}, "pipe.ini: is a FIFO, not a file"},
        {{"list", "--game", "sa", "--ini", "/dev/zero", "sa_keys.cs"}, "/dev/zero: is a device, not a file"},
        {{"list", "--game", "sa", "--ini", "huge.ini", "sa_keys.cs"}, "huge.ini: is larger than 64 MB"},
    };
    for (const auto& c : kCases) {
        const CliRun run = Binary(c.args);
        EXPECT_EQ(run.status, 1) << c.args[0] << " " << c.said << " (124: it waited)";
        EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
    }
    // The settings file: the game it would have named is said to be assumed.
    for (const auto& [make, cause] : std::vector<std::pair<std::function<void()>, std::string>>{
             {[&] { ASSERT_EQ(mkfifo(dir.File("cfg").c_str(), 0644), 0); }, "is a FIFO, not a file"},
             {[&] { std::filesystem::create_symlink("/dev/zero", dir.File("cfg")); }, "is a device, not a file"}}) {
        std::filesystem::remove(dir.File("cfg"));
        make();
        const CliRun run = Binary({"list", "--format", "tsv", "gta3_keys.cs"});
        EXPECT_EQ(run.status, 0) << cause << " (124: it waited)";
        EXPECT_EQ(run.err, "assuming GTA III: cfg cannot be read (" + cause + "); no --game\n");
    }
}

TEST_F(ProcessTest, OutputThatCannotBeWrittenIsAFailureWithItsCause) {
    const std::string kFull = "/dev/full";
    const std::string kCause = "morvane-cli: cannot write the output: no space left on device\n";
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--help"},
             {"--version"},
             {"list", "--game", "sa", "sa_keys.cs"},
             {"list", "--game", "sa", "--format", "json", "sa_keys.cs", "sa_libraries.cs"}}) {
        const CliRun run = Binary(args, kFull);
        EXPECT_EQ(run.status, 1) << args[0];
        EXPECT_EQ(run.err, kCause) << args[0];
    }
    // The file is written; the report of it is not, and that is said.
    const CliRun remap =
        Binary({"remap", "--game", "vc", "--vkey", "N Key=M Key", "vc_keys.cs", "-o", "out.cs"}, kFull);
    EXPECT_EQ(remap.status, 1);
    EXPECT_EQ(remap.err, kCause);
    EXPECT_EQ(ReadBytes(dir.File("out.cs")), With("vc_keys.cs", {{22, 0x4D}}));
}

TEST_F(ProcessTest, ASecondRemapOfOneFileWaitsForTheFirstAndKeepsItsChanges) {
    const std::string path = dir.File("vc_keys.cs");
    FileLock first;
    ASSERT_EQ(first.Lock(path), FileLock::Outcome::Locked);

    const std::string command =
        Command({"remap", "--game", "vc", "--vkey", "N Key=M Key", "vc_keys.cs", "--in-place"}, dir.File(".out"));
    const pid_t second = fork();
    ASSERT_GE(second, 0);
    if (second == 0) {
        // exec, so that the copy of the lock's descriptor closes (it is close-on-exec)
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    const std::string waiting = "vc_keys.cs: waiting for another program that is changing it\n";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (Slurp(dir.File(".err")) != waiting && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(Slurp(dir.File(".err")), waiting);

    // The first changes another key and saves while the second waits.
    const std::vector<uint8_t> firstResult = With("vc_keys.cs", {{49, 0x11}});
    ASSERT_TRUE(WriteFileSafely(path, firstResult.data(), firstResult.size()).Ok());
    first.Unlock();

    int status = 0;
    ASSERT_EQ(waitpid(second, &status, 0), second);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(Slurp(dir.File(".out")), "vc_keys.cs: 1 changed\n");
    EXPECT_EQ(ReadBytes(path), With("vc_keys.cs", {{22, 0x4D}, {49, 0x11}}));
}

// A remap of several files says each file it changed as soon as that file
// is saved, even into a file or pipe, so that a run cut short has said what
// it did; and -o's target is locked as --in-place's file is.
TEST_F(ProcessTest, EachChangedFileIsSaidAtOnceAndTheOutputIsLockedToo) {
    const auto start = [&](const std::vector<std::string>& args) {
        const std::string command = Command(args, dir.File(".out"));
        const pid_t child = fork();
        if (child == 0) {
            execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        return child;
    };
    const auto waitFor = [&](const std::string& file, const std::string& text) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (Slurp(dir.File(file)) != text && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return Slurp(dir.File(file));
    };
    const auto finish = [](pid_t child) {
        int status = 0;
        return waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };

    std::filesystem::copy_file(DemoPath("vc_keys.cs"), dir.File("second.cs"));
    FileLock second;
    ASSERT_EQ(second.Lock(dir.File("second.cs")), FileLock::Outcome::Locked);
    pid_t run = start({"remap", "--game", "vc", "--vkey", "N Key=M Key", "vc_keys.cs", "second.cs", "--in-place"});
    ASSERT_GE(run, 0);
    EXPECT_EQ(waitFor(".err", "second.cs: waiting for another program that is changing it\n"),
              "second.cs: waiting for another program that is changing it\n");
    EXPECT_EQ(Slurp(dir.File(".out")), "vc_keys.cs: 1 changed\n");  // while the run still waits
    second.Unlock();
    EXPECT_EQ(finish(run), 0);
    EXPECT_EQ(Slurp(dir.File(".out")), "vc_keys.cs: 1 changed\nsecond.cs: 1 changed\n");

    const std::string target = dir.Write("out.bin", std::string("old"));
    FileLock output;
    ASSERT_EQ(output.Lock(target), FileLock::Outcome::Locked);
    run = start({"remap", "--game", "vc", "--vkey", "M Key=N Key", "vc_keys.cs", "-o", "out.bin"});
    ASSERT_GE(run, 0);
    EXPECT_EQ(waitFor(".err", "out.bin: waiting for another program that is changing it\n"),
              "out.bin: waiting for another program that is changing it\n");
    EXPECT_EQ(Slurp(target), "old");
    output.Unlock();
    EXPECT_EQ(finish(run), 0);
    EXPECT_EQ(ReadBytes(target), Demo("vc_keys.cs"));
}

TEST(Version, IsMajorMinorPatchAndTheTitlesShortFormIsItsStart) {
    const std::string version = MORVANE_VERSION;
    EXPECT_TRUE(std::regex_match(version, std::regex("[0-9]+\\.[0-9]+\\.[0-9]+"))) << version;
    EXPECT_EQ(version, MORVANE_VERSION_SHORT "." + std::to_string(MORVANE_VERSION_PATCH));
    EXPECT_EQ(std::string(MORVANE_VERSION_SHORT),
              std::to_string(MORVANE_VERSION_MAJOR) + "." + std::to_string(MORVANE_VERSION_MINOR));
}

TEST_F(ProcessTest, ExitStatusSaysDoneFailedOrMisused) {
    const CliRun done = Binary({"list", "--game", "sa", "--format", "tsv", "sa_keys.cs"});
    EXPECT_EQ(done.status, 0);
    EXPECT_EQ(done.out, kSaKeysTsv);
    EXPECT_EQ(done.err, "");

    const CliRun failed = Binary({"list", "--game", "sa", "--format", "tsv", "gone.cs", "sa_keys.cs"});
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.out, kSaKeysTsv);  // the files that could be read are listed all the same
    EXPECT_EQ(failed.err, "gone.cs: cannot open: not found\n");

    const CliRun misused = Binary({"list", "--format", "xml", "sa_keys.cs"});
    EXPECT_EQ(misused.status, 2);
    EXPECT_EQ(misused.out, "");
    EXPECT_EQ(misused.err.rfind("morvane-cli: ", 0), 0u) << misused.err;
    EXPECT_NE(misused.err.find("usage: morvane-cli"), std::string::npos);
    EXPECT_EQ(Binary({}).status, 2);

    const CliRun help = Binary({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("usage: morvane-cli", 0), 0u) << help.out;
    EXPECT_EQ(help.err, "");
    const CliRun version = Binary({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "morvane-cli " MORVANE_VERSION "\n");
}

// The executable does what the same call in this process does.
TEST_F(ProcessTest, EachCommandRunsAsTheExecutable) {
    const std::vector<std::string> remap = {"remap",       "--game",     "vc", "--vkey",
                                            "N Key=M Key", "vc_keys.cs", "-o", "out.cs"};
    const CliRun binary = Binary(remap);
    EXPECT_EQ(binary.status, 0) << binary.err;
    EXPECT_EQ(binary.out, "vc_keys.cs: 1 changed -> out.cs\n");
    EXPECT_EQ(ReadBytes(dir.File("out.cs")), With("vc_keys.cs", {{22, 0x4D}}));

    std::filesystem::create_directories(dir.File("mods"));
    std::filesystem::copy_file(DemoPath("sa_keys.cs"), dir.File("mods/sa_keys.cs"));
    std::filesystem::copy_file(DemoPath("sa_hotkeys.cs"), dir.File("mods/hot.cs"));
    for (const auto& args :
         std::vector<std::vector<std::string>>{{"list", "--game", "vc", "--context", "2", "vc_keys.cs", "out.cs"},
                                               {"keys", "--game", "sa", "--format", "json", "mods"},
                                               {"keys", "--game", "sa", "mods"}}) {
        const CliRun fromBinary = Binary(args);
        const CliRun inProcess = Run(args);
        EXPECT_EQ(fromBinary.status, 0) << args[0];
        EXPECT_EQ(fromBinary.status, inProcess.status) << args[0];
        EXPECT_EQ(fromBinary.out, inProcess.out) << args[0];
        EXPECT_EQ(fromBinary.err, inProcess.err) << args[0];
        EXPECT_NE(fromBinary.out, "") << args[0];
    }
}
