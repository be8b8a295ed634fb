#pragma once

// A main script as the games' compilers lay it out: the header segments, each
// opened by a jump to the next (three in GTA III and Vice City, six in San
// Andreas), the third holding the mission table; then the main code, then the
// missions one after another.
//   MainScript script(kGameSanAndreas, 1);          // room for one mission
//   ScriptBuilder code = script.Code();              // positive labels: script.CodeStart() + ...
//   script.Build(code.Bytes(), {mission.Bytes()});

#include <algorithm>
#include <cstdint>
#include <vector>

#include "opcodes/GameId.h"
#include "support/ScriptBuilder.h"

namespace morvane::test {

class MainScript {
public:
    MainScript(GameId game, std::size_t missions) : game_(game), missions_(missions) {}

    // Where the main code starts: the size of the header segments.
    int32_t CodeStart() const {
        int32_t size = kGlobalsSegment + kModelsSegment + MissionSegment();
        if (game_ == kGameSanAndreas) size += kStreamedSegment + kUnknownSegment + kGlobalSpaceSegment;
        return size;
    }
    // Where a mission starts when the main code has `mainSize` bytes and the
    // missions before it the sizes given.
    int32_t MissionStart(int32_t mainSize, const std::vector<int32_t>& earlierMissionSizes = {}) const {
        int32_t at = CodeStart() + mainSize;
        for (const int32_t size : earlierMissionSizes) at += size;
        return at;
    }
    ScriptBuilder Code() const { return ScriptBuilder(game_); }

    std::vector<uint8_t> Build(const std::vector<uint8_t>& main,
                               const std::vector<std::vector<uint8_t>>& missions = {}) const {
        ScriptBuilder b(game_);
        int32_t largest = 0;
        for (const auto& mission : missions) largest = std::max(largest, static_cast<int32_t>(mission.size()));

        std::size_t jump = b.Jump();
        b.Raw({game_ == kGameSanAndreas ? uint8_t{'s'} : uint8_t{'m'}});
        for (int i = 0; i < kGlobalBytes; ++i) b.Raw({0});
        b.SetJumpTarget(jump, b.Here());

        jump = b.Jump();
        b.Raw({0});
        Int(b, 0, 4);  // no models
        b.SetJumpTarget(jump, b.Here());

        jump = b.Jump();
        b.Raw({1});
        Int(b, CodeStart() + static_cast<int32_t>(main.size()), 4);
        Int(b, largest, 4);
        Int(b, static_cast<int32_t>(missions_), 2);
        Int(b, 0, 2);                                 // exclusive missions
        if (game_ == kGameSanAndreas) Int(b, 16, 4);  // most locals of a mission
        int32_t missionAt = CodeStart() + static_cast<int32_t>(main.size());
        for (std::size_t m = 0; m < missions_; ++m) {
            Int(b, missionAt, 4);
            if (m < missions.size()) missionAt += static_cast<int32_t>(missions[m].size());
        }
        b.SetJumpTarget(jump, b.Here());

        if (game_ == kGameSanAndreas) {
            jump = b.Jump();
            b.Raw({2});
            Int(b, 0, 4);  // largest streamed script
            Int(b, 0, 4);  // no streamed scripts
            b.SetJumpTarget(jump, b.Here());
            jump = b.Jump();
            b.Raw({3});
            Int(b, 0, 4);
            b.SetJumpTarget(jump, b.Here());
            jump = b.Jump();
            b.Raw({4});
            Int(b, kGlobalBytes, 4);
            Int(b, 0, 4);
            b.SetJumpTarget(jump, b.Here());
        }
        std::vector<uint8_t> bytes = b.Bytes();
        bytes.insert(bytes.end(), main.begin(), main.end());
        for (const auto& mission : missions) bytes.insert(bytes.end(), mission.begin(), mission.end());
        return bytes;
    }

private:
    static constexpr int32_t kJumpSize = 7;  // opcode word, type byte, 32-bit target
    static constexpr int32_t kGlobalBytes = 8;
    static constexpr int32_t kGlobalsSegment = kJumpSize + 1 + kGlobalBytes;
    static constexpr int32_t kModelsSegment = kJumpSize + 1 + 4;
    static constexpr int32_t kStreamedSegment = kJumpSize + 1 + 8;
    static constexpr int32_t kUnknownSegment = kJumpSize + 1 + 4;
    static constexpr int32_t kGlobalSpaceSegment = kJumpSize + 1 + 8;

    int32_t MissionSegment() const {
        const int32_t table = 4 + 4 + 2 + 2 + (game_ == kGameSanAndreas ? 4 : 0);
        return kJumpSize + 1 + table + 4 * static_cast<int32_t>(missions_);
    }
    static void Int(ScriptBuilder& b, int32_t value, int width) {
        for (int i = 0; i < width; ++i) b.Raw({static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i))});
    }

    GameId game_;
    std::size_t missions_;
};

}  // namespace morvane::test
