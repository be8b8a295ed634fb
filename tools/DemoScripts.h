#pragma once

// The demo scripts in demo/, made from readable pieces. tools/make_demo
// writes them; a test checks that the files in demo/ are what this makes.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "opcodes/OpcodeRoles.h"
#include "support/ScriptBuilder.h"

namespace morvane::demo {

using test::ScriptBuilder;

constexpr uint16_t kWait = 0x0001;
constexpr uint16_t kSetGlobalInt = 0x0004;
constexpr uint16_t kSetGlobalFloat = 0x0005;
constexpr uint16_t kJumpIfFalse = 0x004D;
constexpr uint16_t kEndScript = 0x004E;
constexpr uint16_t kStartScript = 0x004F;
constexpr uint16_t kPrintText = 0x00BC;
constexpr uint16_t kIf = 0x00D6;
constexpr uint16_t kButton = kButtonOpcode;
constexpr uint16_t kAddMoney = 0x0109;
constexpr uint16_t kNameScript = 0x03A4;
constexpr uint16_t kClassicKey = kKeyOpcodeClassic;
constexpr uint16_t kCustomScript = 0x0A92;
constexpr uint16_t kSaKey = kKeyOpcodeSanAndreas;
constexpr uint16_t kDebugText = 0x05B6;           // the game skips the 128 bytes after it
constexpr uint16_t kCleoPlusKeyJust = 0x0E3D;     // CLEO+ is_key_just_pressed
constexpr uint16_t kCleoPlusButtonJust = 0x0E3E;  // CLEO+ is_button_just_pressed
constexpr uint16_t kCleo5KeyJust = 0x2080;        // CLEO 5 is_key_just_pressed
constexpr uint16_t kSampKeyJust = 0x0C89;         // SAMPFUNCS is_key_just_pressed
constexpr uint16_t kShowTextBox = 0x03E5;
constexpr uint16_t kTestCheat = 0x0ADC;  // test_cheat: a code typed on the keyboard
constexpr uint16_t kEndCustomScript = 0x0A93;
constexpr uint16_t kLabelPointer = 0x0AC6;  // the address of a label, for data placed in the code

// A loop that waits, then tests one key; when it is down, does `action`.
template <typename Test, typename Action>
void KeyLoop(ScriptBuilder& b, Test test, Action action) {
    b.Op(kWait).I16(250);
    b.Op(kIf).I8(0);
    test(b);
    const std::size_t skip = static_cast<std::size_t>(b.Here());
    b.Op(kJumpIfFalse).I32(0);
    action(b);
    b.SetJumpTarget(skip, -b.Here());  // custom scripts jump to negative offsets
}

// GTA III custom script: key F5 gives money, pad 1 "Fire" prints a text.
inline std::vector<uint8_t> Gta3CustomScript() {
    ScriptBuilder b(kGameGta3);
    b.Op(kNameScript).InlineString("KEYMONY");
    const int32_t loop = b.Here();
    KeyLoop(
        b, [](ScriptBuilder& s) { s.Op(kClassicKey).I8(0x74); },
        [](ScriptBuilder& s) { s.Op(kAddMoney).GlobalVar(8).I32(1000); });
    KeyLoop(
        b, [](ScriptBuilder& s) { s.Op(kButton).I8(0).I8(17); },
        [](ScriptBuilder& s) { s.Op(kPrintText).InlineString("FIRED").I16(1000).I8(1); });
    b.Op(kSetGlobalFloat).GlobalVar(12).Float(2.5f);
    b.Jump(-loop);
    return b.Bytes();
}

// Vice City custom script: two keys and two pad buttons, one on pad 2.
inline std::vector<uint8_t> ViceCityCustomScript() {
    ScriptBuilder b(kGameViceCity);
    b.Op(kNameScript).InlineString("VCKEYS");
    const int32_t loop = b.Here();
    KeyLoop(
        b, [](ScriptBuilder& s) { s.Op(kClassicKey).I8(0x4E); },  // N Key
        [](ScriptBuilder& s) { s.Op(kSetGlobalInt).GlobalVar(20).I8(1); });
    KeyLoop(
        b, [](ScriptBuilder& s) { s.NotOp(kClassicKey).I8(0x10); },  // not Shift
        [](ScriptBuilder& s) { s.Op(kSetGlobalFloat).GlobalVar(24).Float(0.75f); });
    KeyLoop(
        b, [](ScriptBuilder& s) { s.Op(kButton).I8(0).I8(4); },
        [](ScriptBuilder& s) { s.Op(kStartScript).I32(0).I8(1).Float(9.0f).EndOfList(); });
    KeyLoop(
        b, [](ScriptBuilder& s) { s.Op(kButton).I8(1).I8(14); },
        [](ScriptBuilder& s) { s.Op(kPrintText).InlineString("PAD2").I16(2000).I8(1); });
    b.Jump(-loop);
    return b.Bytes();
}

// San Andreas custom script: 8-bit and 16-bit keys, a key held in a
// variable (not listed), and pad buttons.
inline std::vector<uint8_t> SanAndreasCustomScript() {
    ScriptBuilder b(kGameSanAndreas);
    b.Op(kNameScript).String8("SAKEYS");
    const int32_t loop = b.Here();
    KeyLoop(
        b, [](ScriptBuilder& s) { s.Op(kSaKey).I8(0x59); },  // Y Key
        [](ScriptBuilder& s) { s.Op(kCustomScript).VarString("menu.cs").I8(1).EndOfList(); });
    KeyLoop(
        b, [](ScriptBuilder& s) { s.Op(kSaKey).I16(0xA0); },  // Left Shift, 16-bit
        [](ScriptBuilder& s) { s.Op(kSetGlobalInt).GlobalVar(40).I16(300); });
    KeyLoop(
        b, [](ScriptBuilder& s) { s.Op(kSaKey).I16(0x71); },  // F2, 16-bit
        [](ScriptBuilder& s) { s.Op(kPrintText).String8("HELP").I32(3000).I8(1); });
    KeyLoop(
        b, [](ScriptBuilder& s) { s.Op(kSaKey).LocalVar(3); },  // a key in a variable
        [](ScriptBuilder& s) { s.Op(kSetGlobalFloat).GlobalVar(44).Float(1.25f); });
    KeyLoop(
        b, [](ScriptBuilder& s) { s.Op(kButton).I8(0).I8(16); },
        [](ScriptBuilder& s) { s.Op(kAddMoney).GlobalVar(8).I32(50); });
    KeyLoop(
        b, [](ScriptBuilder& s) { s.NotOp(kButton).I8(1).I8(6); },
        [](ScriptBuilder& s) { s.Op(kSetGlobalInt).GlobalVar(48).I8(0); });
    b.Jump(-loop);
    return b.Bytes();
}

// A small San Andreas main script: six header segments, each opened by a
// jump to the next, then the main code. The first segment holds bytes that
// read as a key test when the header is not stepped over.
inline std::vector<uint8_t> SanAndreasMainScript() {
    ScriptBuilder b(kGameSanAndreas);
    std::size_t previous = b.Jump();
    b.Raw({'s', 0});        // target game and padding
    b.Op(kSaKey).I8(0x58);  // variable space that looks like a key test
    for (int segment = 1; segment < 6; ++segment) {
        const std::size_t jump = b.Jump();
        b.SetJumpTarget(previous, static_cast<int32_t>(jump));
        previous = jump;
        b.Raw({static_cast<uint8_t>(segment), 0, 0, 0, 0, 0, 0, 0});  // segment data
    }
    b.SetJumpTarget(previous, b.Here());
    const int32_t loop = b.Here();
    b.Op(kNameScript).String8("MAIN");
    KeyLoop(
        b, [](ScriptBuilder& s) { s.Op(kSaKey).I8(0x4D); },  // M Key
        [](ScriptBuilder& s) { s.Op(kSetGlobalInt).GlobalVar(60).I8(1); });
    KeyLoop(
        b, [](ScriptBuilder& s) { s.Op(kButton).I8(0).I8(15); }, [](ScriptBuilder& s) { s.Op(kEndScript); });
    b.Jump(loop);
    return b.Bytes();
}

// San Andreas custom script written for current libraries: a key test of
// each of CLEO+, CLEO 5 and SAMPFUNCS, a CLEO+ button test, and a block of
// debug text the game skips, whose bytes would read as key tests.
inline std::vector<uint8_t> SanAndreasLibraryScript() {
    ScriptBuilder b(kGameSanAndreas);
    b.Op(kNameScript).String8("LIBKEYS");
    b.Op(kDebugText);
    for (int i = 0; i < 128; i += 4) b.Op(kSaKey).I8(0x70);  // 128 bytes of data that read as F1 tests
    const int32_t loop = b.Here();
    KeyLoop(
        b, [](ScriptBuilder& s) { s.Op(kCleoPlusKeyJust).I8(0x75); },  // F6
        [](ScriptBuilder& s) { s.Op(kShowTextBox).String8("MENU"); });
    KeyLoop(
        b, [](ScriptBuilder& s) { s.Op(kCleo5KeyJust).I16(0xA2); },  // Left Ctrl, 16-bit
        [](ScriptBuilder& s) { s.Op(kSetGlobalInt).GlobalVar(64).I8(1); });
    KeyLoop(
        b, [](ScriptBuilder& s) { s.Op(kSampKeyJust).I8(0x4B); },  // K Key
        [](ScriptBuilder& s) { s.Op(kCustomScript).VarString("chat.cs").EndOfList(); });
    KeyLoop(
        b, [](ScriptBuilder& s) { s.Op(kCleoPlusButtonJust).I8(0).I8(19); },  // Look Behind, pad 1
        [](ScriptBuilder& s) { s.Op(kAddMoney).GlobalVar(8).I32(10); });
    b.Jump(-loop);
    return b.Bytes();
}

// A second San Andreas mod that wants some of the same keys as the others,
// for the key map: F2 (twice) and Sprint as sa_keys.cs, K as
// sa_libraries.cs, Shift of either side, and F17, which no full-size
// keyboard has.
inline std::vector<uint8_t> SanAndreasHotkeyScript() {
    ScriptBuilder b(kGameSanAndreas);
    b.Op(kNameScript).String8("HOTKEYS");
    const int32_t loop = b.Here();
    KeyLoop(
        b, [](ScriptBuilder& s) { s.Op(kSaKey).I8(0x71); },  // F2
        [](ScriptBuilder& s) { s.Op(kShowTextBox).String8("HOT1"); });
    KeyLoop(
        b, [](ScriptBuilder& s) { s.Op(kSaKey).I8(0x10); },  // Shift, either side
        [](ScriptBuilder& s) { s.Op(kSetGlobalInt).GlobalVar(72).I8(1); });
    KeyLoop(
        b, [](ScriptBuilder& s) { s.NotOp(kSaKey).I8(0x71); },  // F2 again, released
        [](ScriptBuilder& s) { s.Op(kSetGlobalInt).GlobalVar(72).I8(0); });
    KeyLoop(
        b, [](ScriptBuilder& s) { s.Op(kCleoPlusKeyJust).I8(0x4B); },  // K Key
        [](ScriptBuilder& s) { s.Op(kCustomScript).VarString("radio.cs").EndOfList(); });
    KeyLoop(
        b, [](ScriptBuilder& s) { s.Op(kSaKey).I16(0x80); },  // F17, 16-bit
        [](ScriptBuilder& s) { s.Op(kAddMoney).GlobalVar(8).I32(5); });
    KeyLoop(
        b, [](ScriptBuilder& s) { s.Op(kButton).I8(0).I8(16); },  // Sprint, pad 1
        [](ScriptBuilder& s) { s.Op(kSetGlobalFloat).GlobalVar(76).Float(1.5f); });
    KeyLoop(
        b, [](ScriptBuilder& s) { s.Op(kButton).I8(1).I8(17); },  // Fire, pad 2
        [](ScriptBuilder& s) { s.Op(kPrintText).String8("HOT2").I32(1000).I8(1); });
    b.Jump(-loop);
    return b.Bytes();
}

// San Andreas mod armed by typed codes: a cheat test of each string form (an
// 8-byte string, a 16-byte string, a length-prefixed string), one whose code
// is held in a variable (not listed), and F2 as sa_keys.cs and
// sa_hotkeys.cs have it.
inline std::vector<uint8_t> SanAndreasCheatScript() {
    ScriptBuilder b(kGameSanAndreas);
    b.Op(kNameScript).String8("CHEATS");
    const int32_t loop = b.Here();
    KeyLoop(
        b, [](ScriptBuilder& s) { s.Op(kTestCheat).String8("BOOM"); },  // up to 7 characters
        [](ScriptBuilder& s) { s.Op(kAddMoney).GlobalVar(8).I32(500); });
    KeyLoop(
        b, [](ScriptBuilder& s) { s.Op(kTestCheat).String16("FLYINGCARS"); },  // up to 15
        [](ScriptBuilder& s) { s.Op(kSetGlobalInt).GlobalVar(80).I8(1); });
    KeyLoop(
        b, [](ScriptBuilder& s) { s.Op(kTestCheat).VarString("TANK"); },  // exactly 4
        [](ScriptBuilder& s) { s.Op(kCustomScript).VarString("tank.cs").EndOfList(); });
    KeyLoop(
        b, [](ScriptBuilder& s) { s.Op(kTestCheat).VarSlot(ParamType::GlobalString8Var, 84); },  // a code in a variable
        [](ScriptBuilder& s) { s.Op(kShowTextBox).String8("CODE"); });
    KeyLoop(
        b, [](ScriptBuilder& s) { s.Op(kSaKey).I8(0x71); },  // F2
        [](ScriptBuilder& s) { s.Op(kShowTextBox).String8("CHEATS"); });
    b.Jump(-loop);
    return b.Bytes();
}

// Vice City mod armed by typed codes, each in an 8-byte inline string: one
// short, one of the full seven characters, and one held in a variable.
inline std::vector<uint8_t> ViceCityCheatScript() {
    ScriptBuilder b(kGameViceCity);
    b.Op(kNameScript).InlineString("VCCHEAT");
    const int32_t loop = b.Here();
    KeyLoop(
        b, [](ScriptBuilder& s) { s.Op(kTestCheat).InlineString("GUNS"); },
        [](ScriptBuilder& s) { s.Op(kAddMoney).GlobalVar(8).I32(100); });
    KeyLoop(
        b, [](ScriptBuilder& s) { s.Op(kTestCheat).InlineString("MONEYUP"); },
        [](ScriptBuilder& s) { s.Op(kAddMoney).GlobalVar(8).I32(5000); });
    KeyLoop(
        b, [](ScriptBuilder& s) { s.Op(kTestCheat).GlobalVar(28); },  // a code in a variable
        [](ScriptBuilder& s) { s.Op(kPrintText).InlineString("CODE").I16(1000).I8(1); });
    b.Jump(-loop);
    return b.Bytes();
}

// San Andreas mod compiled with Sanny Builder's "add extra info": after its
// code a block of debug data (the source's variable names and text), then
// where that block starts and the tag "__SBFTR". The debug text holds bytes
// that read as key tests; they are not code.
inline std::vector<uint8_t> SanAndreasDebugFooterScript() {
    ScriptBuilder b(kGameSanAndreas);
    b.Op(kNameScript).String8("DEBUG");
    const int32_t loop = b.Here();
    KeyLoop(
        b, [](ScriptBuilder& s) { s.Op(kSaKey).I8(0x76); },  // F7
        [](ScriptBuilder& s) { s.Op(kShowTextBox).String8("DEBUG"); });
    b.Jump(-loop);
    const int32_t footer = b.Here();
    const std::string debug = "SBDEBUG 0@ counter 1@ menu {$CLEO .cs} if 0AB0: key_pressed 0x58";
    b.Raw({0x00, 0x3F});  // the block's own header, no opcode of any game
    for (const char c : debug) b.Raw({static_cast<uint8_t>(c)});
    b.Op(kSaKey).I8(0x58);  // a stray X Key test in the debug data
    for (int i = 0; i < 4; ++i) b.Raw({static_cast<uint8_t>(static_cast<uint32_t>(footer) >> (8 * i))});
    b.Raw({'_', '_', 'S', 'B', 'F', 'T', 'R', 0});
    return b.Bytes();
}

// Vice City mod compiled for CLEO: its strings are length-prefixed (type
// 0x0E), its cheat code has ten letters, one more than an inline string holds.
inline std::vector<uint8_t> ViceCityCleoScript() {
    ScriptBuilder b(kGameViceCity);
    b.Op(kNameScript).InlineString("VCCLEO");
    const int32_t loop = b.Here();
    KeyLoop(
        b, [](ScriptBuilder& s) { s.Op(kTestCheat).VarString("GESUNDHEIT"); },
        [](ScriptBuilder& s) { s.Op(kCustomScript).VarString("bless.cs").EndOfList(); });
    KeyLoop(
        b, [](ScriptBuilder& s) { s.Op(kSaKey).I8(0x4A); },  // J Key, CLEO's key test
        [](ScriptBuilder& s) { s.Op(kPrintText).InlineString("JUMP").I16(1000).I8(1); });
    b.Jump(-loop);
    return b.Bytes();
}

// San Andreas mod that keeps a table of data inside its code: a jump over
// it, and a label pointer to it. The data holds bytes that read as key tests.
inline std::vector<uint8_t> SanAndreasDataBlockScript() {
    ScriptBuilder b(kGameSanAndreas);
    b.Op(kNameScript).String8("DATA");
    const std::size_t pointer = static_cast<std::size_t>(b.Here());
    b.Op(kLabelPointer).I32(0).LocalVar(0);
    const std::size_t over = b.Jump();
    const int32_t data = b.Here();
    b.SetJumpTarget(pointer, -data);
    b.Raw({0x90, 0x90, 0xE8, 0x10});  // machine code: no opcode of the game
    for (int key = 0x70; key < 0x74; ++key) b.Op(kSaKey).I8(static_cast<uint8_t>(key));  // F1 to F4 as data
    b.Raw({0xC3, 0x00});
    b.SetJumpTarget(over, -b.Here());
    const int32_t loop = b.Here();
    KeyLoop(
        b, [](ScriptBuilder& s) { s.Op(kSaKey).I8(0x55); },  // U Key
        [](ScriptBuilder& s) { s.Op(kShowTextBox).String8("DATA"); });
    b.Jump(-loop);
    return b.Bytes();
}

inline std::vector<std::pair<std::string, std::vector<uint8_t>>> DemoScripts() {
    return {
        {"gta3_keys.cs", Gta3CustomScript()},
        {"vc_keys.cs", ViceCityCustomScript()},
        {"sa_keys.cs", SanAndreasCustomScript()},
        {"main.scm", SanAndreasMainScript()},
        {"sa_libraries.cs", SanAndreasLibraryScript()},
        {"sa_hotkeys.cs", SanAndreasHotkeyScript()},
        {"sa_cheats.cs", SanAndreasCheatScript()},
        {"vc_cheats.cs", ViceCityCheatScript()},
        {"sa_debug_footer.cs", SanAndreasDebugFooterScript()},
        {"vc_cleo.cs", ViceCityCleoScript()},
        {"sa_data_block.cs", SanAndreasDataBlockScript()},
    };
}

}  // namespace morvane::demo
