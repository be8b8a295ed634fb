#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "io/SafeWrite.h"
#include "support/Child.h"
#include "fixtures/TempDir.h"

using namespace morvane;
using morvane::test::ReadBytes;
using morvane::test::TempDir;

namespace {

const std::vector<uint8_t> kOld = {1, 2, 3, 4};
const std::vector<uint8_t> kNew = {9, 8, 7, 6, 5, 4, 3, 2, 1};

std::size_t EntriesIn(const std::string& folder) {
    std::size_t n = 0;
    for (auto it = std::filesystem::directory_iterator(folder); it != std::filesystem::directory_iterator(); ++it) ++n;
    return n;
}

bool Save(const std::string& path, const std::vector<uint8_t>& bytes) {
    return WriteFileSafely(path, bytes.data(), bytes.size());
}

// The cause of a failed save; empty when it saved.
std::string SaveCause(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::string cause;
    return WriteFileSafely(path, bytes.data(), bytes.size(), cause) ? std::string() : cause;
}

// The size of the save's temporary file in a folder, or -1 when there is none.
std::intmax_t TemporarySize(const std::string& folder) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        if (entry.path().filename().string().rfind(kTemporaryPrefix, 0) == 0) {
            const auto size = std::filesystem::file_size(entry.path(), error);
            return error ? 0 : static_cast<std::intmax_t>(size);
        }
    return -1;
}

}  // namespace

TEST(WriteFileSafely, CreatesAndReplacesKeepingPermissions) {
    TempDir dir;
    const std::string target = dir.File("out.cs");
    ASSERT_TRUE(Save(target, kOld));
    EXPECT_EQ(ReadBytes(target), kOld);

    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    ASSERT_TRUE(Save(target, kNew));
    EXPECT_EQ(ReadBytes(target), kNew);
    struct stat info {};
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);  // no temporary file left behind

    ASSERT_TRUE(Save(target, {}));
    EXPECT_TRUE(ReadBytes(target).empty());
}

TEST(WriteFileSafely, LongestFileNameStillSaves) {
    TempDir dir;
    const std::string target = dir.File(std::string(255, 'k'));
    ASSERT_TRUE(Save(target, kOld));
    ASSERT_TRUE(Save(target, kNew));
    EXPECT_EQ(ReadBytes(target), kNew);
}

TEST(WriteFileSafely, ALinkKeepsPointingAtTheReplacedFile) {
    TempDir dir;
    const std::string real = dir.Write("real.cs", kOld);
    const std::string link = dir.File("link.cs");
    ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);
    ASSERT_TRUE(Save(link, kNew));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadBytes(real), kNew);
}

TEST(WriteFileSafely, FailuresLeaveTheTargetAsItWas) {
    TempDir dir;
    EXPECT_FALSE(Save(dir.File("missing/out.cs"), kNew));
    EXPECT_FALSE(std::filesystem::exists(dir.File("missing")));

    const std::string readOnly = dir.Write("ro.cs", kOld);
    ASSERT_EQ(chmod(readOnly.c_str(), 0444), 0);
    EXPECT_FALSE(Save(readOnly, kNew));
    EXPECT_EQ(ReadBytes(readOnly), kOld);

    EXPECT_FALSE(Save(dir.Path(), kNew));  // a folder
    EXPECT_FALSE(Save("", kNew));
    EXPECT_FALSE(Save(dir.Path() + "/", kNew));
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);
}

TEST(WriteFileSafely, UnwritableFolderFails) {
    if (geteuid() == 0) {
        // Root writes anywhere; a file where a folder should be fails for everybody.
        TempDir dir;
        const std::string notAFolder = dir.Write("plain", kOld);
        EXPECT_FALSE(Save(notAFolder + "/out.cs", kNew));
        EXPECT_EQ(ReadBytes(notAFolder), kOld);
        return;
    }
    TempDir dir;
    const std::string target = dir.Write("out.cs", kOld);
    ASSERT_EQ(chmod(dir.Path().c_str(), 0555), 0);
    EXPECT_FALSE(Save(target, kNew));
    EXPECT_EQ(ReadBytes(target), kOld);
}

TEST(WriteFileSafely, ShortWriteLeavesTheTargetUntouched) {
    // A file size limit makes the write stop part-way, as a full disk would.
    TempDir dir;
    const std::vector<uint8_t> big(64 * 1024, 0x5A);
    const std::string target = dir.Write("big.cs", kOld);
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved_ok = Save(target, big);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &saved), 0);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(saved_ok);
    EXPECT_EQ(ReadBytes(target), kOld);
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);
}

TEST(WriteFileSafely, FailuresSayWhy) {
    TempDir dir;
    EXPECT_EQ(SaveCause(dir.File("missing/out.cs"), kNew), "folder does not exist");
    const std::string plain = dir.Write("plain", kOld);
    EXPECT_EQ(SaveCause(plain + "/out.cs", kNew), "a part of the path is not a folder");
    EXPECT_EQ(SaveCause(dir.Path(), kNew), "is a folder");
    const std::string readOnly = dir.Write("ro.cs", kOld);
    ASSERT_EQ(chmod(readOnly.c_str(), 0444), 0);
    EXPECT_EQ(SaveCause(readOnly, kNew), "is write-protected");
    EXPECT_EQ(SaveCause(dir.File("fine.cs"), kNew), "");

    // A folder that may not be written in, as an unprivileged user (root writes anywhere).
    const std::string closed = dir.File("closed");
    std::filesystem::create_directory(closed);
    ASSERT_EQ(chmod(closed.c_str(), 0555), 0);
    ASSERT_EQ(chmod(dir.Path().c_str(), 0755), 0);
    EXPECT_EQ(test::InChildWithoutPrivileges([&] {
                  return SaveCause(closed + "/out.cs", kNew) == "no permission to write in the folder" ? 0 : 1;
              }),
              0);
    EXPECT_EQ(EntriesIn(closed), 0u);
}

TEST(WriteFileSafely, AFileSizeLimitFailsLikeAFullDiskAndTheProgramGoesOn) {
    // Without the save's own care, the limit ends the process with SIGXFSZ and
    // leaves the temporary file; the child keeps the default action for it.
    TempDir dir;
    const std::string target = dir.Write("big.cs", kOld);
    const int status = test::InChild([&] {
        std::signal(SIGXFSZ, SIG_DFL);
        struct rlimit small {};
        getrlimit(RLIMIT_FSIZE, &small);
        small.rlim_cur = 4096;
        if (setrlimit(RLIMIT_FSIZE, &small) != 0) return 2;
        const std::string cause = SaveCause(target, std::vector<uint8_t>(64 * 1024, 0x5A));
        if (cause != "larger than this process may write (file size limit, ulimit -f)") return 3;
        if (std::signal(SIGXFSZ, SIG_DFL) != SIG_DFL) return 4;  // the disposition is put back
        return 0;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadBytes(target), kOld);
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);
}

TEST(WriteFileSafely, EndingSignalsDuringASaveRemoveTheTemporaryFileAndStillEndTheProgram) {
    // A child saves 256 MB over a small file and is signalled once the
    // temporary file holds part of it.
    constexpr std::size_t kLargeSave = 256u << 20;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        TempDir dir;
        const std::string target = dir.Write("main.scm", kOld);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const std::vector<uint8_t> large(kLargeSave, 0x41);
            Save(target, large);
            _exit(0);
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (TemporarySize(dir.Path()) <= 0 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        kill(child, signal);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "signal " << signal << ": the save ended before the signal came";
        EXPECT_EQ(WTERMSIG(status), signal);
        EXPECT_EQ(TemporarySize(dir.Path()), -1) << "signal " << signal;
        EXPECT_EQ(ReadBytes(target), kOld);
        EXPECT_EQ(EntriesIn(dir.Path()), 1u);
    }
}

TEST(WriteFileSafely, AnIgnoredSignalStaysIgnoredAndTheSaveCompletes) {
    // Under nohup, SIGHUP is ignored: the save does not start honouring it.
    TempDir dir;
    const std::string target = dir.Write("main.scm", kOld);
    const int status = test::InChild([&] {
        std::signal(SIGHUP, SIG_IGN);
        std::string cause;
        const std::vector<uint8_t> bytes(1 << 20, 0x42);
        // The signal arrives while the save is set up to catch the others.
        std::thread([] {
            for (int i = 0; i < 50; ++i) {
                raise(SIGHUP);
                std::this_thread::yield();
            }
        }).detach();
        if (!WriteFileSafely(target, bytes.data(), bytes.size(), cause)) return 2;
        return std::signal(SIGHUP, SIG_IGN) == SIG_IGN ? 0 : 3;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadBytes(target).size(), 1u << 20);
}
