#include <gtest/gtest.h>

#include "opcodes/OpcodeJson.h"
#include "fixtures/TempDir.h"

using namespace morvane;

namespace {

const char* const kLibrary = R"({
  "meta": {"version": "0.300", "last_update": 1700000000, "url": "https://example.invalid"},
  "extensions": [
    {"name": "default", "commands": [
      {"id": "0001", "name": "WAIT", "num_params": 1, "input": [{"name": "time", "type": "int"}]},
      {"id": "004F", "name": "START_NEW_SCRIPT", "num_params": 1,
       "input": [{"name": "label", "type": "label"}, {"name": "args", "type": "arguments"}]},
      {"id": "00E1", "name": "IS_BUTTON_PRESSED", "num_params": 2,
       "input": [{"name": "pad", "type": "int"}, {"name": "buttonId", "type": "Button"}], "attrs": {"is_condition": true}}
    ]},
    {"name": "CLEO", "commands": [
      {"id": "0AB0", "name": "IS_KEY_PRESSED", "num_params": 1, "input": [{"name": "keyCode", "type": "KeyCode"}]},
      {"id": "0AD4", "name": "SCAN_STRING", "num_params": 3,
       "input": [{"name": "string", "type": "string"}, {"name": "format", "type": "string"}],
       "output": [{"name": "nValues", "type": "int"}, {"name": "values", "type": "arguments"}]},
      {"id": "0AB1", "name": "CLEO_CALL", "num_params": 2,
       "input": [{"name": "label", "type": "label"}, {"name": "numParams", "type": "int"}, {"name": "args", "type": "arguments"}]}
    ]},
    {"name": "CLEO5", "commands": [
      {"id": "2080", "name": "IS_KEY_JUST_PRESSED", "num_params": 1, "input": [{"name": "keyCode", "type": "KeyCode"}]},
      {"id": "0001", "name": "WAIT_AGAIN", "num_params": 3}
    ]}
  ]
})";

}  // namespace

TEST(OpcodeJson, ReadsEveryExtensionWithCountsVariableListsAndRoles) {
    OpcodeTable table;
    const Status parsed = ParseOpcodeJson(kLibrary, kGameSanAndreas, table);
    ASSERT_TRUE(parsed) << parsed.Cause();
    EXPECT_EQ(table.Size(), static_cast<std::size_t>(kOpcodeTableSize));
    ASSERT_NE(table.Find(0x0001), nullptr);
    EXPECT_EQ(table.Find(0x0001)->parameterCount, 3);  // a later extension wins
    EXPECT_EQ(table.Find(0x004F)->parameterCount, kVariableParameterCount);
    EXPECT_EQ(table.Find(0x0AB1)->parameterCount, kVariableParameterCount);
    EXPECT_EQ(table.Find(0x0AD4)->parameterCount, kVariableParameterCount);  // a variable list of outputs
    EXPECT_EQ(table.Find(0x00E1)->role, OpcodeRole::ButtonTest);
    EXPECT_EQ(table.Find(0x0AB0)->role, OpcodeRole::VKeyTest);
    ASSERT_NE(table.Find(0x2080), nullptr);
    EXPECT_EQ(table.Find(0x2080)->role, OpcodeRole::VKeyTest);
    EXPECT_EQ(table.Find(0x0002), nullptr);
}

TEST(OpcodeJson, DescriptionsAreTheNameWithAPlaceholderPerInputAndLabelsAsOffsets) {
    OpcodeTable table;
    const Status parsed = ParseOpcodeJson(kLibrary, kGameSanAndreas, table);
    ASSERT_TRUE(parsed) << parsed.Cause();
    EXPECT_EQ(table.Description(0x0AB0), "IS_KEY_PRESSED %1d%");
    EXPECT_EQ(table.Description(0x00E1), "IS_BUTTON_PRESSED %1d% %2d%");
    // The values of a variable list have no placeholder: they follow the text.
    EXPECT_EQ(table.Description(0x004F), "START_NEW_SCRIPT %1p%");
    EXPECT_EQ(table.Description(0x0AB1), "CLEO_CALL %1p% %2d%");
    EXPECT_EQ(table.Description(0x0001), "WAIT_AGAIN");  // no inputs
}

TEST(OpcodeJson, CommandsWithoutAUsableIdOrCountArePassedOver) {
    OpcodeTable table;
    ASSERT_TRUE(ParseOpcodeJson(R"({"extensions": [{"commands": [
        {"id": "0001", "num_params": 1}, {"id": "8000", "num_params": 1}, {"id": "zz", "num_params": 1},
        {"id": 5, "num_params": 1}, {"name": "NO_ID", "num_params": 1}, {"id": "0003"},
        {"id": "0004", "num_params": "2"}, {"id": "0005", "num_params": -1}, 7, "x"]}, 3, {"name": "empty"}]})",
                                kGameGta3, table));
    std::vector<std::size_t> known;
    for (std::size_t i = 0; i < table.Size(); ++i)
        if (table.Find(static_cast<uint32_t>(i)) != nullptr) known.push_back(i);
    EXPECT_EQ(known, (std::vector<std::size_t>{1}));
}

TEST(OpcodeJson, MalformedFilesAreRefusedWithACauseAndLeaveTheTableAsItWas) {
    OpcodeTable table;
    table.Reset(kGameSanAndreas);
    table.Set(7, 2);
    for (const char* bad : {"", "{", "[1, 2]", "{\"extensions\": 5}", "{\"meta\": {}}", "\xff\xfe{}",
                            "{\"extensions\": [{\"commands\": [{\"id\": \"0001\", \"num_params\": 1}]}]} trailing"}) {
        const Status parsed = ParseOpcodeJson(bad, kGameSanAndreas, table);
        EXPECT_FALSE(parsed) << bad;
        EXPECT_FALSE(parsed.Cause().empty()) << bad;
        ASSERT_NE(table.Find(7), nullptr) << bad;
        EXPECT_EQ(table.Find(7)->parameterCount, 2);
    }
    std::string deep(100000, '[');
    EXPECT_FALSE(ParseOpcodeJson(deep, kGameSanAndreas, table));
    // A zero byte ends no JSON text: what follows it is not ignored.
    const std::string zero = std::string("{\"extensions\": []}") + '\0' + "garbage";
    const Status zeroed = ParseOpcodeJson(zero, kGameSanAndreas, table);
    EXPECT_FALSE(zeroed);
    EXPECT_EQ(zeroed.Cause(), "not valid JSON: a zero byte at offset 18");
}

TEST(OpcodeFile, TheExtensionChoosesJsonOrIni) {
    test::TempDir dir;
    const std::string json = dir.Write("sa.JSON", kLibrary);
    const std::string ini = dir.Write("SASCM.ini", "[x]\n0001=2\n");
    const std::string notIni = dir.Write("sa.ini", kLibrary);  // JSON text read as INI: nothing in a section
    OpcodeTable table;
    const Status fromJson = LoadOpcodeFile(json, kGameSanAndreas, table);
    ASSERT_TRUE(fromJson) << fromJson.Cause();
    EXPECT_EQ(table.Find(0x0001)->parameterCount, 3);
    ASSERT_TRUE(LoadOpcodeFile(ini, kGameSanAndreas, table));
    EXPECT_EQ(table.Find(0x0001)->parameterCount, 2);
    // A file that describes nothing is refused and leaves the table as it was.
    const Status nothing = LoadOpcodeFile(notIni, kGameSanAndreas, table);
    EXPECT_FALSE(nothing);
    EXPECT_EQ(nothing.Cause().rfind("describes no opcode", 0), 0u) << nothing.Cause();
    EXPECT_EQ(table.Find(0x0001)->parameterCount, 2);
    EXPECT_EQ(LoadOpcodeFile(dir.File("missing.json"), kGameSanAndreas, table).Cause(), "not found");
}
