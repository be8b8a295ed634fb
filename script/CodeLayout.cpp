#include "script/CodeLayout.h"

#include <algorithm>
#include <cstring>

#include "i18n/Translate.h"
#include "io/LittleEndian.h"
#include "script/ScriptReader.h"

namespace morvane {

namespace {

// Each header segment opens with a jump, then one byte (the target game in
// the first, the segment's number in the others).
constexpr int kSegmentMarkBytes = 1;
// The header segment that holds the mission table, counted from 0.
constexpr int kMissionSegment = 2;
// The mission table: the game's GameInfo::missionTableHead bytes, the
// number of missions after the main code's and the largest mission's sizes;
// then each mission's offset.
constexpr int kMissionCountAt = 4 + 4;
constexpr int kMissionOffsetBytes = 4;

// The segments' starts, read by following the header's jumps as SkipHeader
// does; empty when the chain is broken.
std::vector<int32_t> SegmentStarts(const ScriptImage& image) {
    std::vector<int32_t> starts;
    ScriptReader reader(image);
    for (int link = 0; link < HeaderLinksFor(image.game); ++link) {
        starts.push_back(reader.Position());
        int32_t target = 0;
        if (reader.ReadOpcode() != kJumpOpcode || !reader.ReadSignedParam(target) || target < 0 ||
            !reader.Seek(target)) {
            starts.clear();
            break;
        }
    }
    return starts;
}

// The missions the mission table names, inside [code.start, code.end).
std::vector<int32_t> ReadMissions(const ScriptImage& image, CodeLayout& code) {
    const std::vector<int32_t> segments = SegmentStarts(image);
    std::vector<int32_t> missions;
    if (segments.size() <= kMissionSegment) return missions;
    // The table lies after the jump and the mark, up to the next segment.
    ScriptReader reader(image);
    reader.Seek(segments[kMissionSegment]);
    reader.ReadOpcode();
    reader.SkipParam();
    const int64_t table = static_cast<int64_t>(reader.Position()) + kSegmentMarkBytes;
    const int64_t tableEnd = segments.size() > kMissionSegment + 1 ? segments[kMissionSegment + 1] : code.start;
    const int offsets = InfoOf(image.game).missionTableHead;
    if (table + offsets > tableEnd || tableEnd > image.Size()) return missions;
    const uint8_t* data = image.Data();
    // The table opens with the size of the main code, missions excluded.
    if (static_cast<int64_t>(ReadLe32(data + table)) > image.Size()) ++code.pastEnd;
    const int64_t count = ReadLe16(data + table + kMissionCountAt);
    for (int64_t m = 0; m < count; ++m) {
        const int64_t at = table + offsets + m * kMissionOffsetBytes;
        if (at + kMissionOffsetBytes > tableEnd) break;
        const auto start = static_cast<int32_t>(ReadLe32(data + at));
        if (start >= code.start && start < code.end) missions.push_back(start);
        if (static_cast<int64_t>(start) >= image.Size()) ++code.pastEnd;
    }
    std::sort(missions.begin(), missions.end());
    missions.erase(std::unique(missions.begin(), missions.end()), missions.end());
    return missions;
}

// A main script's header jump: an opcode word, a type byte and a 32-bit offset.
constexpr int32_t kHeaderJumpBytes = 7;

// Whether the chain of a main script's header jumps stops where the file
// does: at a jump to an offset at or past its end, or at a jump the end cuts
// through. A first jump cut through is a file too short to be a main script.
bool HeaderJumpsPastEnd(const ScriptImage& image) {
    ScriptReader reader(image);
    for (int link = 0; link < HeaderLinksFor(image.game); ++link) {
        if (static_cast<int64_t>(reader.Position()) + kHeaderJumpBytes > image.Size()) return link > 0;
        int32_t target = 0;
        if (reader.ReadOpcode() != kJumpOpcode || !reader.ReadSignedParam(target) || target < 0) return false;
        if (target >= image.Size()) return true;
        reader.Seek(target);
    }
    return false;
}

}  // namespace

std::optional<std::string> TooLittleToRead(const CodeLayout& code, int32_t size) {
    if (size == 0) return Tr("the file is empty");
    if (code.headerExpected && !code.header && size < kHeaderJumpBytes) return Tr("too short for a main script");
    return std::nullopt;
}

std::string CutShortText(const CodeLayout& code, int32_t size) {
    const std::string bytes =
        Fill(TrN("{count} byte", "{count} bytes", static_cast<uint64_t>(std::max<int32_t>(size, 0))),
             {{"count", std::to_string(size)}});
    // TRANSLATORS: {count} offsets of a main script's header; {size} is the file's size, "1500 bytes".
    return Fill(TrN("cut short: its header names {count} offset past the file's end ({size}); the tests of what is "
                    "missing are not listed",
                    "cut short: its header names {count} offsets past the file's end ({size}); the tests of what is "
                    "missing are not listed",
                    static_cast<uint64_t>(std::max<int32_t>(code.pastEnd, 0))),
                {{"count", std::to_string(code.pastEnd)}, {"size", bytes}});
}

std::optional<int32_t> DebugFooterStart(const uint8_t* data, std::size_t size, int32_t codeStart) {
    if (data == nullptr || size < kDebugFooterTailSize) return std::nullopt;
    if (std::memcmp(data + size - kDebugFooterTagSize, kDebugFooterTag, kDebugFooterTagSize) != 0) return std::nullopt;
    const std::size_t tail = size - kDebugFooterTailSize;
    const uint32_t offset = ReadLe32(data + tail);
    if (offset > tail || static_cast<int64_t>(offset) < codeStart) return std::nullopt;
    return static_cast<int32_t>(offset);
}

CodeLayout FindCode(const ScriptImage& image, HeaderSkip header) {
    CodeLayout code;
    ScriptReader reader(image);
    code.headerExpected = StepsOverHeader(header, image.Path());
    if (code.headerExpected && reader.SkipHeader()) {
        code.header = true;
        code.start = reader.Position();
    } else if (code.headerExpected && HeaderJumpsPastEnd(image)) {
        code.pastEnd = 1;
    }
    code.end = image.Size();
    if (const auto footer = DebugFooterStart(image.Data(), static_cast<std::size_t>(image.Size()), code.start)) {
        code.footer = true;
        code.end = *footer;
    }
    if (code.header) code.missions = ReadMissions(image, code);
    return code;
}

std::optional<int32_t> LabelTarget(const CodeLayout& code, int32_t offset, int32_t label) {
    int64_t target = 0;
    if (label >= 0) {
        target = label;
    } else if (!code.header) {
        target = -static_cast<int64_t>(label);
    } else {
        // The mission the instruction lies in: the last one starting at or before it.
        const auto after = std::upper_bound(code.missions.begin(), code.missions.end(), offset);
        if (after == code.missions.begin()) return std::nullopt;
        target = static_cast<int64_t>(*(after - 1)) - static_cast<int64_t>(label);
    }
    if (target < code.start || target >= code.end) return std::nullopt;
    return static_cast<int32_t>(target);
}

}  // namespace morvane
