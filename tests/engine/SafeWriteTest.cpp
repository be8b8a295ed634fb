#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "script/SafeWrite.h"
#include "support/TempDir.h"

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
