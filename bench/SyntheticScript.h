#pragma once

// A synthetic San Andreas-style script for measuring the scan: mostly
// instructions of one to four parameters of every kind, a variable-length
// list now and then, and a few key and button tests.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "opcodes/OpcodeRoles.h"
#include "support/ScriptBuilder.h"

namespace morvane::bench {

// Opcode counts the synthetic script is written against.
inline const char* SyntheticIni() {
    return "[OPCODES]\n"
           "0001=1,wait\n0002=1,jump\n0004=2,set int\n0005=2,set float\n0008=2,add\n"
           "004F=-1,start script\n00BC=3,print\n00D6=1,if\n00E1=2,button\n0109=2,money\n"
           "0107=4,create object\n04EE=1,anim loaded\n0A92=-1,custom script\n0AB0=1,key\n";
}

inline std::vector<uint8_t> SyntheticScript(std::size_t targetBytes, uint32_t seed = 20261207) {
    test::ScriptBuilder b(kGameSanAndreas);
    std::mt19937 random(seed);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<uint32_t>(n)); };
    auto anyParam = [&]() {
        switch (pick(10)) {
            case 0: b.I8(static_cast<uint8_t>(random())); break;
            case 1: b.I16(static_cast<uint16_t>(random())); break;
            case 2: b.I32(random()); break;
            case 3: b.GlobalVar(static_cast<uint16_t>(pick(4000) * 4)); break;
            case 4: b.LocalVar(static_cast<uint16_t>(pick(32))); break;
            case 5: b.Float(static_cast<float>(pick(1000)) / 8.0f); break;
            case 6: b.String8("LABEL"); break;
            case 7: b.VarString(std::string(static_cast<std::size_t>(4 + pick(20)), 'x')); break;
            case 8: b.Array(ParamType::GlobalArray, 100, 4, 1, 0x80); break;
            default: b.I8(static_cast<uint8_t>(pick(100))); break;
        }
    };
    while (b.Bytes().size() < targetBytes) {
        const int kind = pick(1000);
        if (kind < 4) {
            b.Op(kKeyOpcodeSanAndreas);
            if (kind < 2)
                b.I8(static_cast<uint8_t>(0x41 + pick(26)));
            else
                b.I16(static_cast<uint16_t>(0xA0 + pick(4)));
        } else if (kind < 8) {
            b.Op(kButtonOpcode).I8(static_cast<uint8_t>(pick(2))).I8(static_cast<uint8_t>(pick(20)));
        } else if (kind < 20) {
            b.Op(0x004F).I32(random() % 100000);
            for (int i = pick(6); i > 0; --i) anyParam();
            b.EndOfList();
        } else if (kind < 250) {
            b.Op(0x0001).I16(static_cast<uint16_t>(pick(2000)));
        } else if (kind < 500) {
            b.Op(static_cast<uint16_t>(pick(2) ? 0x0004 : 0x0008)).GlobalVar(static_cast<uint16_t>(pick(4000) * 4));
            anyParam();
        } else if (kind < 650) {
            b.Op(0x0005).LocalVar(static_cast<uint16_t>(pick(32))).Float(1.5f);
        } else if (kind < 800) {
            b.Op(0x00BC);
            anyParam();
            anyParam();
            anyParam();
        } else if (kind < 900) {
            b.Op(0x0107);
            anyParam();
            anyParam();
            anyParam();
            anyParam();
        } else if (kind < 950) {
            b.NotOp(0x00D6).I8(0);
        } else {
            b.Op(0x0109).GlobalVar(8).I32(random() % 5000);
        }
    }
    return b.Bytes();
}

}  // namespace morvane::bench
