// Load, scan, decode and patch on arbitrary bytes, for each game, with or
// without the header skip: a debug footer found must lie where its rule
// says, the scan must end at the end of the code, every test must lie
// inside the code and outside every data block and start an instruction of
// the decoder's walk, decoded instructions must lie inside the image one after another,
// patching every test with its own values (cheat codes with their own
// text) must leave every byte as it was, and no patch may change the length;
// without the header skip, a scan after patching other values finds the
// tests at the same places.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "opcodes/IniLoader.h"
#include "keys/Hotkeys.h"
#include "keys/RemapRules.h"
#include "script/CodeLayout.h"
#include "script/Instructions.h"
#include "script/Patch.h"

namespace {

// Every key and cheat test and the data skip of every game, plus ordinary
// opcodes low and high.
const morvane::OpcodeTable& Table(morvane::GameId game) {
    static const auto tables = [] {
        std::vector<morvane::OpcodeTable> all(morvane::kGameCount);
        for (const morvane::GameId g : morvane::kAllGames)
            morvane::ParseOpcodeIni(
                "[x]\n0000=0\n0001=1,wait %1d%\n0002=1,jump %1p%\n0004=2,%2d% %1d% %3x% %0d% %1\n0005=2\n"
                "004D=1,jf %1p%\n004E=0\n004F=-1,start %1p% %9999999999999d%\n0050=1\n0051=0\n0871=18\n"
                "0872=18\n00BC=3,%%%1g%%\n00D6=1\n00E1=2,%2d%%1d%\n0107=4\n0A93=0\n0AB1=-1\n0AB2=-1\n0AC6=2\n"
                "05B6=0,skip\n05EE=1\n0A92=-1\n0AB0=1,key %1d%\n0ADC=1,test_cheat "
                "%1s%\n0BFF=2\n0C89=1\n0E3D=1\n0E3E=2\n2080=1\n7FFF=1\n",
                g, all[static_cast<std::size_t>(morvane::GameNumber(g))]);
        return all;
    }();
    return tables[static_cast<std::size_t>(morvane::GameNumber(game))];
}

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace morvane;
    for (const GameId game : kAllGames) {
        for (const HeaderSkip header : {HeaderSkip::Never, HeaderSkip::Always}) {
            ScriptImage image;
            image.game = game;
            Check(image.LoadFromBytes(data, size));
            std::vector<KeyTest> found;
            int32_t lastReport = -1;
            const ScanSummary summary = ScanKeyTests(image, Table(game), header, found, [&](int32_t at) {
                Check(at > lastReport && at < image.Size());
                lastReport = at;
            });
            const CodeLayout& code = summary.code;
            const std::optional<int32_t> footer = DebugFooterStart(data, size, code.start);
            Check(code.end == footer.value_or(static_cast<int32_t>(size)) && code.footer == footer.has_value());
            Check(!footer ||
                  (*footer >= code.start && static_cast<std::size_t>(*footer) + kDebugFooterTailSize <= size &&
                   std::memcmp(data + size - kDebugFooterTagSize, kDebugFooterTag, kDebugFooterTagSize) == 0));
            Check(code.start >= 0 && code.start <= code.end && (header == HeaderSkip::Always || code.start == 0));
            // Step by step, the walk stays inside the code and ends at its end.
            ScriptReader walk(image);
            Check(walk.LimitTo(code.end) && walk.Seek(code.start));
            std::vector<KeyTest> stepped;
            while (walk.Inside()) {
                const int32_t before = walk.Position();
                uint16_t opcode = 0;
                WalkInstruction(walk, Table(game), opcode, stepped);
                Check(walk.Position() > before && walk.Position() <= code.end);
            }
            Check(walk.Position() == code.end);
            int32_t blockEnd = code.start;
            for (const DataBlock& block : summary.dataBlocks) {
                Check(block.begin >= blockEnd && block.begin < block.end && block.end <= code.end);
                blockEnd = block.end;
            }
            Check(summary.HasUnknown() == summary.firstUnknownOffset.has_value());
            Check(!summary.HasUnknown() ||
                  (*summary.firstUnknownOffset >= code.start && *summary.firstUnknownOffset < code.end));
            for (const KeyTest& o : found) {
                Check(o.offset >= code.start && o.offset + kOpcodeWordSize < code.end);
                for (const DataBlock& block : summary.dataBlocks)
                    Check(o.offset < block.begin || o.offset >= block.end);
                Check(o.IsVKey() || ((o.pad == 0 || o.pad == 1) && !o.wide));
                if (!o.IsCheat()) continue;
                Check(o.opcode == 0x0ADC &&
                      o.offset + kOpcodeWordSize + static_cast<int32_t>(o.code.size()) <= image.Size());
                if (o.form == StringForm::LengthPrefixed)
                    Check(static_cast<int32_t>(o.code.size()) == o.room);
                else
                    Check(o.room == FixedStringRoom(o.form) &&
                          static_cast<int32_t>(o.code.size()) <= FixedStringBytes(o.form) &&
                          o.code.find('\0') == std::string::npos);
            }
            // Conditions and keys kept in variables: every assignment a key is
            // written to lies inside the code; every hotkey is made of tests of
            // one condition, the test itself among them.
            for (std::size_t n = 0; n < found.size(); ++n) {
                const KeyTest& o = found[n];
                Check(o.setAt.size() == o.keyAt.size() && (o.Changeable() || o.setAt.empty()));
                for (std::size_t k = 0; k < o.keyAt.size(); ++k)
                    Check(o.setAt[k] >= code.start && o.keyAt[k] > o.setAt[k] && o.keyAt[k] < code.end);
                const std::vector<std::size_t> hotkey = HotkeyOf(found, n);
                Check(std::find(hotkey.begin(), hotkey.end(), n) != hotkey.end());
                for (const std::size_t k : hotkey) Check(hotkey.size() == 1 || found[k].condition == o.condition);
                Check(o.IsCheat() == HotkeyText(found, n).empty());
            }
            const RemapResult chords = ApplyRemapRules(found, {RemapRule::ForHotkey({0x11, 0x4D}, {0x12, 0x74})});
            Check(chords.tests.size() == found.size());
            std::vector<int32_t> offsets;
            for (const KeyTest& o : found) offsets.push_back(o.offset);
            const auto contexts = InstructionsAroundEach(image, Table(game), summary, offsets, 4, 8);
            Check(contexts.size() == found.size());
            for (std::size_t n = 0; n < contexts.size(); ++n) {
                Check(!contexts[n].empty());
                bool hasTest = false;
                for (std::size_t k = 0; k < contexts[n].size(); ++k) {
                    const DecodedInstruction& i = contexts[n][k];
                    Check(i.offset >= code.start && i.size >= kOpcodeWordSize && i.offset + i.size <= code.end);
                    Check(k == 0 || i.offset >= contexts[n][k - 1].offset + contexts[n][k - 1].size);
                    Check(!i.text.empty());
                    hasTest = hasTest || i.offset == found[n].offset;
                }
                Check(hasTest);
            }

            PatchImage(image, found, code.end);
            Check(image.Size() == static_cast<int32_t>(size));
            Check(size == 0 || std::memcmp(image.Data(), data, size) == 0);

            // Any other values change only bytes inside the image, never its
            // length, and never what the walk sees: the tests stay where they were.
            for (KeyTest& o : found) {
                o.key ^= 0x5A5A;
                o.pad ^= 1;
                if (o.code.empty())
                    o.code = "Z";
                else
                    std::reverse(o.code.begin(), o.code.end());
                if (o.form != StringForm::LengthPrefixed && o.code.size() > 1) o.code.pop_back();
            }
            PatchImage(image, found, code.end);
            Check(image.Size() == static_cast<int32_t>(size));
            // Nothing after the code (a debug footer) changes.
            Check(static_cast<std::size_t>(code.end) == size ||
                  std::memcmp(image.Data() + code.end, data + code.end, size - static_cast<std::size_t>(code.end)) ==
                      0);
            if (header == HeaderSkip::Always) continue;
            std::vector<KeyTest> again;
            ScanKeyTests(image, Table(game), header, again, nullptr);
            Check(again.size() == found.size());
            for (std::size_t i = 0; i < again.size() && i < found.size(); ++i)
                Check(again[i].offset == found[i].offset && again[i].kind == found[i].kind);
        }
    }
    return 0;
}
