#include "session/GameGuess.h"

namespace morvane {

bool ReadsPoorly(const ScanSummary& summary) {
    return summary.unknownInstructions > 0 && static_cast<double>(summary.unknownInstructions) >
                                                  kSmallUnknownShare * static_cast<double>(summary.instructions);
}

std::optional<BetterReading> BetterGame(const ScannedScript& script,
                                        const std::function<const OpcodeTable*(GameId)>& tableFor) {
    if (!ReadsPoorly(script.summary)) return std::nullopt;
    const HeaderSkip header = script.summary.code.header ? HeaderSkip::Always : HeaderSkip::Never;
    const double most = kFarFewerUnknown * static_cast<double>(script.summary.unknownInstructions);
    std::optional<BetterReading> best;
    for (const GameId other : kAllGames) {
        if (other == script.image.game) continue;
        const OpcodeTable* table = tableFor(other);
        if (table == nullptr) continue;
        ScriptImage copy;
        copy.game = other;
        if (!copy.LoadFromBytes(script.image.Data(), static_cast<std::size_t>(script.image.Size()))) continue;
        std::vector<KeyTest> tests;
        const ScanSummary summary = ScanKeyTests(copy, *table, header, tests, nullptr);
        if (!summary.LooksLikeScript() || static_cast<double>(summary.unknownInstructions) > most) continue;
        if (!best || summary.unknownInstructions < best->unknownInstructions)
            best = BetterReading{other, summary.unknownInstructions};
    }
    return best;
}

}  // namespace morvane
