#include <gtest/gtest.h>

#include <unistd.h>

#include "io/FileLock.h"
#include "io/SafeWrite.h"
#include "support/Child.h"
#include "fixtures/TempDir.h"

using namespace morvane;
using morvane::test::TempDir;

TEST(IdentifyFile, OneFileByAnyOfItsNames) {
    TempDir dir;
    const std::string real = dir.Write("a.cs", std::string("a"));
    const std::string other = dir.Write("b.cs", std::string("a"));
    ASSERT_EQ(symlink(real.c_str(), dir.File("soft.cs").c_str()), 0);
    ASSERT_EQ(link(real.c_str(), dir.File("hard.cs").c_str()), 0);

    const auto identity = IdentifyFile(real);
    ASSERT_TRUE(identity.has_value());
    EXPECT_EQ(IdentifyFile(dir.File("soft.cs")), identity);
    EXPECT_EQ(IdentifyFile(dir.File("hard.cs")), identity);
    EXPECT_EQ(IdentifyFile(dir.Path() + "/./a.cs"), identity);
    EXPECT_NE(IdentifyFile(other), identity);
    EXPECT_EQ(IdentifyFile(dir.File("missing.cs")), std::nullopt);
    EXPECT_EQ(IdentifyFile(""), std::nullopt);
}

TEST(FileLock, ASecondHolderIsToldTheFileIsBusyUntilTheFirstLetsGo) {
    TempDir dir;
    const std::string path = dir.Write("a.cs", std::string("a"));
    FileLock first;
    ASSERT_EQ(first.Lock(path), FileLock::Outcome::Locked);

    // Another process, through a link.
    ASSERT_EQ(symlink(path.c_str(), dir.File("link.cs").c_str()), 0);
    const std::string link = dir.File("link.cs");
    EXPECT_EQ(test::InChild([&] {
                  FileLock second;
                  return second.TryLock(link) == FileLock::Outcome::Busy ? 0 : 1;
              }),
              0);
    first.Unlock();
    EXPECT_EQ(test::InChild([&] {
                  FileLock second;
                  return second.TryLock(link) == FileLock::Outcome::Locked ? 0 : 1;
              }),
              0);

    FileLock none;
    EXPECT_EQ(none.TryLock(dir.File("missing.cs")), FileLock::Outcome::Failed);
}

TEST(FileLock, FollowsTheFileThatASaveHasPutInItsPlace) {
    // The first holder replaces the file by a safe save; whoever waited on the
    // old file must end up holding the new one.
    TempDir dir;
    const std::string path = dir.Write("a.cs", std::string("old"));
    FileLock first;
    ASSERT_EQ(first.Lock(path), FileLock::Outcome::Locked);
    const auto before = IdentifyFile(path);
    const std::string bytes = "new";
    ASSERT_TRUE(WriteFileSafely(path, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()).Ok());
    ASSERT_NE(IdentifyFile(path), before);

    // The new file is not locked yet, and a lock taken now is on it.
    FileLock second;
    ASSERT_EQ(second.TryLock(path), FileLock::Outcome::Locked);
    EXPECT_EQ(test::InChild([&] {
                  FileLock third;
                  return third.TryLock(path) == FileLock::Outcome::Busy ? 0 : 1;
              }),
              0);
}
