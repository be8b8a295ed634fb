#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "script/ScriptImage.h"
#include "support/Child.h"
#include "support/Printers.h"
#include "fixtures/ScriptBuilder.h"
#include "fixtures/TempDir.h"

using namespace morvane;
using morvane::test::ScriptBuilder;

namespace {

// An image of the given bytes for a game.
struct Image {
    ScriptImage image;
    Image(GameId game, const std::vector<uint8_t>& bytes) {
        image.game = game;
        EXPECT_TRUE(image.LoadFromBytes(bytes.data(), bytes.size()));
    }
    // Writes over the whole image.
    bool WriteInt(int64_t offset, int32_t value) { return image.WriteIntParamAt(offset, value, image.Size()); }
    bool WriteString(const std::string& text) { return image.WriteStringParamAt(0, text, image.Size()); }
    std::vector<uint8_t> Bytes() const { return std::vector<uint8_t>(image.Data(), image.Data() + image.Size()); }
};

}  // namespace

TEST(WriteIntParamAt, KeepsTheParameterWidth) {
    Image b8(kGameViceCity, {0x04, 0x00, 0xEE});
    EXPECT_TRUE(b8.WriteInt(0, 300));
    EXPECT_EQ(b8.Bytes(), (std::vector<uint8_t>{0x04, 0x2C, 0xEE}));

    Image b16(kGameViceCity, {0x05, 0x00, 0x00, 0xEE});
    EXPECT_TRUE(b16.WriteInt(0, 300));
    EXPECT_EQ(b16.Bytes(), (std::vector<uint8_t>{0x05, 0x2C, 0x01, 0xEE}));

    Image b32(kGameViceCity, {0x01, 0, 0, 0, 0});
    EXPECT_TRUE(b32.WriteInt(0, -2));
    EXPECT_EQ(b32.Bytes(), (std::vector<uint8_t>{0x01, 0xFE, 0xFF, 0xFF, 0xFF}));

    Image var(kGameViceCity, {0x03, 0x01, 0x00});
    EXPECT_FALSE(var.WriteInt(0, 9));
    EXPECT_EQ(var.Bytes(), (std::vector<uint8_t>{0x03, 0x01, 0x00}));

    Image truncated(kGameViceCity, {0x01, 0x11, 0x22});
    EXPECT_FALSE(truncated.WriteInt(0, -1));
    EXPECT_EQ(truncated.Bytes(), (std::vector<uint8_t>{0x01, 0x11, 0x22}));
}

TEST(WriteIntParamAt, WritesOnlyAtItsOffsetAndBeforeTheEndGiven) {
    const std::vector<uint8_t> two{0x04, 0x01, 0x05, 0x02, 0x00, 0xEE};
    Image second(kGameViceCity, two);
    EXPECT_TRUE(second.WriteInt(2, 0x0403));
    EXPECT_EQ(second.Bytes(), (std::vector<uint8_t>{0x04, 0x01, 0x05, 0x03, 0x04, 0xEE}));

    // A payload that reaches the end given, an offset at or past it, and a
    // negative or too large one write nothing.
    Image bounded(kGameViceCity, two);
    for (const auto& [offset, end] : std::vector<std::pair<int64_t, int64_t>>{
             {2, 4}, {2, 2}, {4, 6}, {-2, 6}, {6, 6}, {2, 7}, {2, -1}, {INT64_MAX, 6}})
        EXPECT_FALSE(bounded.image.WriteIntParamAt(offset, 0x7777, end)) << offset << " " << end;
    EXPECT_EQ(bounded.Bytes(), two);
    EXPECT_TRUE(bounded.image.WriteIntParamAt(2, 0x0909, 5));  // ends just before the end
    EXPECT_EQ(bounded.Bytes(), (std::vector<uint8_t>{0x04, 0x01, 0x05, 0x09, 0x09, 0xEE}));
}

TEST(WriteStringParamAt, WritesInPlacePaddedWithZerosAndNeverMovesAByte) {
    ScriptBuilder sa(kGameSanAndreas);
    sa.String8("LONGONE").I8(9);
    Image fixed(kGameSanAndreas, sa.Bytes());
    ASSERT_TRUE(fixed.WriteString("AB"));
    EXPECT_EQ(fixed.Bytes(), (std::vector<uint8_t>{9, 'A', 'B', 0, 0, 0, 0, 0, 0, 4, 9}));

    ScriptBuilder prefixed(kGameSanAndreas);
    prefixed.VarString("FLY");
    Image varLength(kGameSanAndreas, prefixed.Bytes());
    EXPECT_FALSE(varLength.WriteString("FLYING"));
    EXPECT_FALSE(varLength.WriteString("FL"));
    ASSERT_TRUE(varLength.WriteString("SKY"));
    EXPECT_EQ(varLength.Bytes(), (std::vector<uint8_t>{14, 3, 'S', 'K', 'Y'}));
    // A string the end cuts is no string to write.
    EXPECT_FALSE(varLength.image.WriteStringParamAt(0, "ABC", 4));
    EXPECT_EQ(varLength.Bytes(), (std::vector<uint8_t>{14, 3, 'S', 'K', 'Y'}));

    // The same text leaves the bytes after its ending zero alone, and so does
    // another text: only the old and new characters and the ending zero change.
    const std::vector<uint8_t> untidy{'H', 'I', 0, 'X', 'Y', 0, 0, 0};
    Image same(kGameGta3, untidy);
    ASSERT_TRUE(same.WriteString("HI"));
    EXPECT_EQ(same.Bytes(), untidy);
    ASSERT_TRUE(same.WriteString("OK"));
    EXPECT_EQ(same.Bytes(), (std::vector<uint8_t>{'O', 'K', 0, 'X', 'Y', 0, 0, 0}));
    ASSERT_TRUE(same.WriteString("HI"));  // back again: the file as it was
    EXPECT_EQ(same.Bytes(), untidy);

    // Refused: too long (a fixed string keeps its ending zero), a text that
    // would not start an inline string, no string at all.
    Image inlined(kGameGta3, untidy);
    EXPECT_FALSE(inlined.WriteString("NINECHARS"));
    EXPECT_FALSE(inlined.WriteString("EIGHTCHR"));
    EXPECT_FALSE(inlined.WriteString(""));
    EXPECT_FALSE(
        inlined.WriteString(std::string("\x01"
                                        "A")));
    EXPECT_EQ(inlined.Bytes(), untidy);
    Image number(kGameSanAndreas, {0x04, 0x41});
    EXPECT_FALSE(number.WriteString("A"));
    EXPECT_EQ(number.Bytes(), (std::vector<uint8_t>{0x04, 0x41}));

    // An inline string cannot take text whose first byte would make it another parameter.
    Image guns(kGameViceCity, {'G', 'U', 'N', 'S', 0, 0, 0, 0});
    EXPECT_FALSE(
        guns.WriteString("\x0E"
                         "ABC"));
    EXPECT_EQ(guns.Bytes(), (std::vector<uint8_t>{'G', 'U', 'N', 'S', 0, 0, 0, 0}));
}

TEST(LoadFromFile, ReadsWholeFilesAndKeepsTheImageOnFailure) {
    test::TempDir dir;
    ScriptImage image;
    image.game = kGameViceCity;
    const std::string path = dir.Write("a.cs", std::vector<uint8_t>{1, 2, 3});
    ASSERT_TRUE(image.LoadFromFile(path));
    EXPECT_EQ(image.Size(), 3);
    EXPECT_EQ(image.Path(), path);
    EXPECT_EQ(image.game, kGameViceCity);

    const std::vector<uint8_t> before(image.Data(), image.Data() + image.Size());
    EXPECT_FALSE(image.LoadFromFile(dir.File("missing.cs")));
    EXPECT_FALSE(image.LoadFromFile(dir.Path()));
    EXPECT_FALSE(image.LoadFromFile(""));
    EXPECT_EQ(std::vector<uint8_t>(image.Data(), image.Data() + image.Size()), before);
    EXPECT_EQ(image.Path(), path);
    EXPECT_TRUE(image.IsLoaded());

    ASSERT_TRUE(image.LoadFromFile(dir.Write("empty.cs", std::string())));
    EXPECT_EQ(image.Size(), 0);
    EXPECT_TRUE(image.IsLoaded());

    image.Release();
    EXPECT_FALSE(image.IsLoaded());
    EXPECT_EQ(image.Size(), 0);
    EXPECT_EQ(image.Data(), nullptr);
    EXPECT_TRUE(image.Path().empty());
    image.Release();  // twice is harmless
}

TEST(LoadFromFile, AFailureNamesItsCause) {
    test::TempDir dir;
    ScriptImage image;
    EXPECT_EQ(image.LoadFromFile(dir.File("missing.cs")).Cause(), "not found");
    EXPECT_EQ(image.LoadFromFile(dir.File("missing/x.cs")).Cause(), "not found");
    EXPECT_EQ(image.LoadFromFile(dir.Path()).Cause(), "is a folder");
    EXPECT_EQ(image.LoadFromFile("").Cause(), "no file name");
    EXPECT_FALSE(image.IsLoaded());
    EXPECT_TRUE(image.LoadFromFile(dir.Write("a.cs", std::vector<uint8_t>{1})).Cause().empty());

    // No read permission, checked as an unprivileged user (root reads anything).
    const std::string secret = dir.Write("secret.cs", std::vector<uint8_t>{1, 2});
    ASSERT_EQ(chmod(secret.c_str(), 0200), 0);
    ASSERT_EQ(chmod(dir.Path().c_str(), 0755), 0);
    EXPECT_EQ(test::InChildWithoutPrivileges([&] {
                  ScriptImage other;
                  const Status loaded = other.LoadFromFile(secret);
                  return !loaded && loaded.Cause() == "no permission" ? 0 : 1;
              }),
              0);
}

// Files read one after another through an opener that keeps the last
// folder open give each what it gives read by its own path: the bytes of the
// file the path names (also after other folders and back), or the same cause.
TEST(LoadFromFile, ThroughAFolderOpenerEachPathGivesWhatItGivesAlone) {
    test::TempDir dir;
    std::filesystem::create_directories(dir.File("a/sub"));
    std::filesystem::create_directories(dir.File("b"));
    std::filesystem::create_directories(dir.File("searchable"));
    dir.Write("a/1.cs", std::vector<uint8_t>{1});
    dir.Write("a/2.cs", std::vector<uint8_t>{2, 2});
    dir.Write("b/1.cs", std::vector<uint8_t>{3, 3, 3});
    dir.Write("searchable/1.cs", std::vector<uint8_t>{4});
    ASSERT_EQ(mkfifo(dir.File("a/pipe.cs").c_str(), 0644), 0);
    // A folder that may be searched but not listed: its files open all the same.
    ASSERT_EQ(chmod(dir.File("searchable").c_str(), 0311), 0);
    ASSERT_EQ(chmod(dir.Path().c_str(), 0755), 0);
    std::vector<std::string> paths;
    for (const char* name : {"a/1.cs", "a/2.cs", "b/1.cs", "a/1.cs", "a/missing.cs", "a/pipe.cs", "a/sub",
                             "a/sub/../2.cs", "missing/1.cs", "searchable/1.cs", "a/"})
        paths.push_back(dir.File(name));
    paths.push_back("");
    const int status = test::InChildWithin(20, [&] {
        return test::InChildWithoutPrivileges([&] {
            FolderOpener folders;
            int read = 0;
            for (const std::string& path : paths) {
                ScriptImage alone;
                ScriptImage together;
                const Status byPath = alone.LoadFromFile(path);
                const Status throughOpener = together.LoadFromFile(path, folders);
                if (byPath.Cause() != throughOpener.Cause() || alone.Size() != together.Size()) return 1;
                if (byPath && std::vector<uint8_t>(alone.Data(), alone.Data() + alone.Size()) !=
                                  std::vector<uint8_t>(together.Data(), together.Data() + together.Size()))
                    return 2;
                read += byPath ? 1 : 0;
            }
            return read == 6 ? 0 : 3;  // the four files, one twice, one by a path through "..", and the searchable one
        });
    });
    EXPECT_EQ(status, 0);
}
