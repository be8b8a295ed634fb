#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "io/SafeWrite.h"
#include "io/SafeWriteSteps.h"
#include "io/SaveLeftovers.h"
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

Result<SaveNotes> Save(const std::string& path, const std::vector<uint8_t>& bytes) {
    return WriteFileSafely(path, bytes.data(), bytes.size());
}

// The cause of a failed save; empty when it saved.
std::string SaveCause(const std::string& path, const std::vector<uint8_t>& bytes) { return Save(path, bytes).Cause(); }

// How many temporary files of a save are in a folder.
std::size_t TemporaryFilesIn(const std::string& folder) {
    std::size_t n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().filename().string().rfind(kTemporaryPrefix, 0) == 0) ++n;
    return n;
}

// ---- a save stopped at one of its steps ----

constexpr unsigned kParkedChildSeconds = 60;  // a child that is never let go ends of SIGALRM

// What the saving child knows of its parent: the step to stop at, where to
// say it got there and where to wait for the parent to let it go on.
struct Parking {
    SaveStep step = SaveStep::TemporaryMade;
    int reachedWrite = -1;
    int goOnRead = -1;
};
Parking gParking;  // set in the child only

void ParkAtChosenStep(SaveStep step) {
    if (step != gParking.step) return;
    const char reached = 1;
    if (write(gParking.reachedWrite, &reached, 1) != 1) _exit(120);
    char goOn = 0;
    while (read(gParking.goOnRead, &goOn, 1) < 0 && errno == EINTR) {}
}

// A child that runs `body` (which saves) with every save stopping after
// `step` until the parent calls GoOn. The parent knows for certain where the
// save is when Parked returns true.
class ParkedSave {
public:
    ParkedSave(SaveStep step, const std::function<int()>& body) {
        int reached[2];
        int goOn[2];
        if (pipe(reached) != 0 || pipe(goOn) != 0) return;
        child_ = fork();
        if (child_ == 0) {
            close(reached[0]);
            close(goOn[1]);
            gParking = Parking{step, reached[1], goOn[0]};
            SetSaveStepHookForTests(ParkAtChosenStep);
            alarm(kParkedChildSeconds);
            _exit(body());
        }
        close(reached[1]);
        close(goOn[0]);
        reached_ = reached[0];
        goOn_ = goOn[1];
    }
    ~ParkedSave() {
        GoOn();
        Wait();
        if (reached_ >= 0) close(reached_);
    }
    ParkedSave(const ParkedSave&) = delete;
    ParkedSave& operator=(const ParkedSave&) = delete;

    // True once the save waits at its step; false when the child ended first.
    bool Parked() {
        char reached = 0;
        ssize_t n = 0;
        while ((n = read(reached_, &reached, 1)) < 0 && errno == EINTR) {}
        return child_ > 0 && n == 1;
    }
    void Signal(int signal) const { kill(child_, signal); }
    void GoOn() {
        if (goOn_ >= 0) close(goOn_);
        goOn_ = -1;
    }
    // The child's wait status, once it has ended.
    int Wait() {
        if (child_ > 0 && waitpid(child_, &status_, 0) == child_) child_ = -1;
        return status_;
    }

private:
    pid_t child_ = -1;
    int reached_ = -1;
    int goOn_ = -1;
    int status_ = 0;
};

// Each step a save can be stopped at, and whether the target has the new bytes by then.
struct StepRow {
    SaveStep step;
    const char* name;
    bool replaced;
};
const StepRow kSteps[] = {
    {SaveStep::TemporaryMade, "temporary file made", false},
    {SaveStep::Written, "written", false},
    {SaveStep::Renamed, "renamed", true},
};

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
    const Result<SaveNotes> savedOk = Save(target, big);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &saved), 0);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(savedOk);
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
    // Before the rename the file is as it was; after it the new bytes are
    // there whole. Either way the program ends of the signal and leaves no
    // temporary file.
    for (const StepRow& row : kSteps)
        for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
            SCOPED_TRACE(std::string(row.name) + ", signal " + std::to_string(signal));
            TempDir dir;
            const std::string target = dir.Write("main.scm", kOld);
            ParkedSave save(row.step, [&] {
                std::signal(signal, SIG_DFL);  // as a program run from a terminal has it
                return Save(target, kNew) ? 0 : 2;
            });
            ASSERT_TRUE(save.Parked());
            save.Signal(signal);
            save.GoOn();
            const int status = save.Wait();
            ASSERT_TRUE(WIFSIGNALED(status)) << "the save went on after the signal";
            EXPECT_EQ(WTERMSIG(status), signal);
            EXPECT_EQ(ReadBytes(target), row.replaced ? kNew : kOld);
            EXPECT_EQ(TemporaryFilesIn(dir.Path()), 0u);
            EXPECT_EQ(EntriesIn(dir.Path()), 1u);
        }
}

TEST(WriteFileSafely, AnIgnoredSignalStaysIgnoredAndTheSaveCompletes) {
    // Under nohup, SIGHUP is ignored: a SIGHUP at any step of the save changes
    // nothing, and it is still ignored after the save.
    for (const StepRow& row : kSteps) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        const std::string target = dir.Write("main.scm", kOld);
        ParkedSave save(row.step, [&] {
            std::signal(SIGHUP, SIG_IGN);
            if (!Save(target, kNew)) return 2;
            return std::signal(SIGHUP, SIG_IGN) == SIG_IGN ? 0 : 3;
        });
        ASSERT_TRUE(save.Parked());
        save.Signal(SIGHUP);
        save.GoOn();
        const int status = save.Wait();
        ASSERT_TRUE(WIFEXITED(status)) << "the save ended of the ignored signal";
        EXPECT_EQ(WEXITSTATUS(status), 0);
        EXPECT_EQ(ReadBytes(target), kNew);
        EXPECT_EQ(TemporaryFilesIn(dir.Path()), 0u);
    }
}

// A save by an unprivileged user keeps the set-ID bits while the new file
// keeps the owner and group they are for, and says what it could not keep:
// root's owner, a group the writer is not in, and the set-ID bits for them
// (kept, they would make the file run as the writer).
TEST(WriteFileSafely, KeepsTheSetIdBitsItMayAndSaysWhichItCouldNot) {
    const std::string kOwner = "its owner, user 0 (it now belongs to user 65534)";
    const std::string kGroup = "its group, group 0 (it is now group 65534's)";
    const std::string kSetUser = "the set-user-ID bit (the file now belongs to user 65534, not to user 0)";
    const std::string kSetGroup = "the set-group-ID bit (the file now belongs to group 65534, not to group 0)";
    const struct {
        const char* what;
        uid_t owner;
        gid_t group;
        mode_t mode;
        mode_t after;
        std::vector<std::string> notKept;
    } kCases[] = {
        {"the writer's own file", test::kNobody, test::kNoGroup, 06755, 06755, {}},
        {"root's file of the writer's group", 0, test::kNoGroup, 02777, 02777, {kOwner}},
        {"root's set-user-ID file", 0, 0, 04777, 0777, {kOwner, kGroup, kSetUser}},
        {"root's file with both bits", 0, 0, 06777, 0777, {kOwner, kGroup, kSetUser, kSetGroup}},
        {"root's file without them", 0, 0, 0666, 0666, {kOwner, kGroup}},
    };
    if (geteuid() != 0) GTEST_SKIP() << "needs root to make files of other owners";
    for (const auto& c : kCases) {
        TempDir dir;
        ASSERT_EQ(chmod(dir.Path().c_str(), 0777), 0);
        const std::string target = dir.Write("main.scm", kOld);
        ASSERT_EQ(chown(target.c_str(), c.owner, c.group), 0);
        ASSERT_EQ(chmod(target.c_str(), c.mode), 0);
        const int status = test::InChildWithoutPrivileges([&] {
            const Result<SaveNotes> saved = Save(target, kNew);
            if (!saved) return 1;
            struct stat info {};
            if (stat(target.c_str(), &info) != 0 || ReadBytes(target) != kNew) return 2;
            if ((info.st_mode & 07777) != c.after) return 3;
            return saved->notKept == c.notKept ? 0 : 4;
        });
        EXPECT_EQ(status, 0) << c.what;
    }
}

// Extended attributes of the file a save replaces are on the new file.
TEST(WriteFileSafely, KeepsExtendedAttributes) {
    TempDir dir;
    const std::string target = dir.Write("main.scm", kOld);
    if (setxattr(target.c_str(), "user.origin", "mods", 4, 0) != 0)
        GTEST_SKIP() << "no user.* attributes on this file system: " << std::strerror(errno);
    ASSERT_EQ(setxattr(target.c_str(), "user.empty", "", 0, 0), 0);
    const Result<SaveNotes> saved = Save(target, kNew);
    ASSERT_TRUE(saved) << saved.Cause();
    EXPECT_TRUE(saved->notKept.empty());
    EXPECT_EQ(ReadBytes(target), kNew);
    char value[16] = {};
    EXPECT_EQ(getxattr(target.c_str(), "user.origin", value, sizeof value), 4);
    EXPECT_EQ(std::string(value, 4), "mods");
    EXPECT_EQ(getxattr(target.c_str(), "user.empty", value, sizeof value), 0);
}

// One the writer may not set (file capabilities, for an unprivileged
// writer) is said, with the cause; the save is done.
TEST(WriteFileSafely, SaysWhichExtendedAttributesItCouldNotKeep) {
    TempDir dir;
    ASSERT_EQ(chmod(dir.Path().c_str(), 0777), 0);
    const std::string target = dir.Write("tool.cs", kOld);
    ASSERT_EQ(chown(target.c_str(), test::kNobody, test::kNoGroup), 0);
    // cap_net_bind_service permitted, in the form of the second revision.
    const uint32_t capability[5] = {0x02000000, 1u << 10, 0, 0, 0};
    if (setxattr(target.c_str(), "security.capability", capability, sizeof capability, 0) != 0)
        GTEST_SKIP() << "file capabilities cannot be set here: " << std::strerror(errno);
    const int status = test::InChildWithoutPrivileges([&] {
        const Result<SaveNotes> saved = Save(target, kNew);
        if (!saved || ReadBytes(target) != kNew) return 1;
        return saved->notKept ==
                       std::vector<std::string>{"the extended attribute security.capability (operation not permitted)"}
                   ? 0
                   : 2;
    });
    EXPECT_EQ(status, 0);
}

// A save killed (SIGKILL, as a power cut would stop it) leaves its temporary
// file: it is found, named after the file it was for, with its size and age,
// and never removed; a save still running is passed over, as is what only
// looks like one.
TEST(FindSaveLeftovers, NamesWhatUnfinishedSavesLeftAndPassesOverRunningOnes) {
    TempDir dir;
    const std::string target = dir.Write("main.scm", kOld);
    ParkedSave save(SaveStep::Written, [&] { return Save(target, kNew) ? 0 : 1; });
    ASSERT_TRUE(save.Parked());
    EXPECT_EQ(TemporaryFilesIn(dir.Path()), 1u);
    EXPECT_TRUE(FindSaveLeftovers(dir.Path()).empty()) << "a running save";
    save.Signal(SIGKILL);
    save.Wait();

    const std::string older = dir.Write(std::string(kTemporaryPrefix) + "Ab12Cd", "x");  // named as before
    const std::string cut = dir.Write(TemporaryFileName("Ef34Gh", std::string(300, 'n')), "xy");
    for (const std::string& path : {older, cut})
        std::filesystem::last_write_time(path,
                                         std::filesystem::file_time_type::clock::now() - std::chrono::minutes(10));
    std::filesystem::create_directory(dir.File(std::string(kTemporaryPrefix) + "folder"));
    // In the order of their names; the killed save's has a unique part of its own.
    std::vector<SaveLeftover> found = FindSaveLeftovers(dir.Path());
    ASSERT_EQ(found.size(), 3u);
    EXPECT_TRUE(std::is_sorted(found.begin(), found.end(),
                               [](const SaveLeftover& a, const SaveLeftover& b) { return a.path < b.path; }));
    auto take = [&](const std::function<bool(const SaveLeftover&)>& which) {
        const auto it = std::find_if(found.begin(), found.end(), which);
        return it == found.end() ? SaveLeftover{} : *it;
    };
    const SaveLeftover fromBefore = take([&](const SaveLeftover& l) { return l.path == older; });
    const SaveLeftover cutShort = take([&](const SaveLeftover& l) { return l.path == cut; });
    const SaveLeftover killed = take([&](const SaveLeftover& l) { return l.path != older && l.path != cut; });
    EXPECT_EQ(fromBefore.forName, "");
    EXPECT_EQ(cutShort.forName, std::string(kLongestFileName - std::string(kTemporaryPrefix).size() - 7, 'n'));
    EXPECT_TRUE(cutShort.nameCut);
    EXPECT_EQ(killed.forName, "main.scm");
    EXPECT_FALSE(killed.nameCut);
    EXPECT_EQ(killed.bytes, kNew.size());
    EXPECT_GE(killed.ageSeconds, 0);
    EXPECT_LT(killed.ageSeconds, 60);
    EXPECT_EQ(ReadBytes(target), kOld);

    // What is said of them; a later save leaves them there.
    std::filesystem::last_write_time(killed.path,
                                     std::filesystem::file_time_type::clock::now() - std::chrono::minutes(185));
    found = FindSaveLeftovers(dir.Path());
    const std::string kKept = " not removed: delete it when no program is saving into this folder";
    EXPECT_EQ(SaveLeftoverText(take([&](const SaveLeftover& l) { return l.path == killed.path; })),
              "left by a save of main.scm that did not finish (9 bytes, 3 hours old);" + kKept);
    EXPECT_EQ(
        SaveLeftoverText(fromBefore),
        "left by a save that did not finish (its name does not say of which file; 1 byte, 10 minutes old);" + kKept);
    EXPECT_EQ(SaveLeftoverText(cutShort), "left by a save of a file whose name begins " + cutShort.forName +
                                              " that did not finish (2 bytes, 10 minutes old);" + kKept);
    ASSERT_TRUE(Save(target, kNew));
    EXPECT_EQ(FindSaveLeftovers(dir.Path()).size(), 3u);
}

// A temporary file's name stays within the longest name the systems take,
// a long name of the file it is for cut at a whole character.
TEST(TemporaryFileName, KeepsWithinTheLongestNameAtAWholeCharacter) {
    EXPECT_EQ(TemporaryFileName("Ab12Cd", "main.scm"), std::string(kTemporaryPrefix) + "Ab12Cd-main.scm");
    std::string accented;
    for (int i = 0; i < 127; ++i) accented += "\xC3\xA9";  // 254 bytes of "é"
    const std::string name = TemporaryFileName("Ab12Cd", accented);
    EXPECT_LE(name.size(), kLongestFileName);
    EXPECT_EQ(name.substr(0, std::string(kTemporaryPrefix).size() + 7), std::string(kTemporaryPrefix) + "Ab12Cd~");
    const std::string kept = name.substr(std::string(kTemporaryPrefix).size() + 7);
    EXPECT_EQ(kept.size() % 2, 0u);  // no half of a character
    EXPECT_EQ(kept, accented.substr(0, kept.size()));
    EXPECT_GE(name.size(), kLongestFileName - 1);
}
