// Only regular files of a sensible size are read as scripts, opcode files
// and the settings file: anything else is refused at once with its cause.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <functional>

#include "io/ReadFile.h"
#include "opcodes/OpcodeJson.h"
#include "script/ScriptImage.h"
#include "settings/Settings.h"
#include "support/Child.h"
#include "fixtures/TempDir.h"

using namespace morvane;

namespace {

// A file of `size` bytes that takes no room on the disk.
std::string Sparse(const test::TempDir& dir, const std::string& name, std::size_t size) {
    const std::string path = dir.File(name);
    std::ofstream out(path, std::ios::binary);
    out.seekp(static_cast<std::streamoff>(size - 1));
    out.put('\0');
    return path;
}

}  // namespace

// Each reader, given a FIFO (which would make it wait for a writer for ever),
// an endless device, a folder or a file past its kind's limit, says why at
// once; each runs in a child that a time limit ends.
TEST(InputFiles, WhatIsNoFileOrTooLargeIsRefusedAtOnceWithItsCause) {
    test::TempDir dir;
    ASSERT_EQ(mkfifo(dir.File("fifo").c_str(), 0644), 0);
    const struct {
        const char* kind;
        std::size_t largest;
        std::function<std::string(const std::string&)> read;  // the cause, "" when read
    } kReaders[] = {
        {"script", kLargestScript,
         [](const std::string& path) {
             ScriptImage image;
             return image.LoadFromFile(path).Cause();
         }},
        {"opcode file", kLargestOpcodeFile,
         [](const std::string& path) {
             OpcodeTable table;
             return LoadOpcodeFile(path, kGameSanAndreas, table).Cause();
         }},
        {"settings file", kLargestSettingsFile,
         [](const std::string& path) { return ReadSavedGameFile(path).Cause(); }},
    };
    for (const auto& reader : kReaders) {
        const std::string large = Sparse(dir, std::string("large-") + reader.kind, reader.largest + 1);
        const std::string limit = reader.largest >= kMegabyte ? std::to_string(reader.largest / kMegabyte) + " MB"
                                                              : std::to_string(reader.largest) + " bytes";
        const struct {
            std::string path;
            std::string cause;
        } kInputs[] = {{dir.File("fifo"), "is a FIFO, not a file"},
                       {"/dev/zero", "is a device, not a file"},
                       {dir.Path(), "is a folder"},
                       {large, "is larger than " + limit}};
        for (const auto& input : kInputs) {
            const int status = test::InChildWithin(5, [&] { return reader.read(input.path) == input.cause ? 0 : 1; });
            EXPECT_EQ(status, 0) << reader.kind << " " << input.path << " (1: another cause, -1: it waited)";
        }
        // At the limit it is read.
        const std::string fits = Sparse(dir, std::string("fits-") + reader.kind, reader.largest);
        EXPECT_EQ(reader.read(fits).find("larger"), std::string::npos) << reader.kind;
    }
}
