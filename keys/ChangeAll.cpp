#include "keys/ChangeAll.h"

#include "keys/KeyRules.h"

namespace morvane {

ChangeReport ApplyKeyChange(const std::vector<KeyTest>& read, std::vector<KeyTest>& result, const KeyChange& change) {
    ChangeReport report;
    if (change.kind == KeyTestKind::Cheat) return report;  // codes are changed one by one, never by key
    const std::size_t count = read.size() < result.size() ? read.size() : result.size();
    for (std::size_t i = 0; i < count; ++i) {
        const KeyTest& was = read[i];
        if (was.kind != change.kind || was.key != change.from) continue;
        if (change.kind == KeyTestKind::Button && change.pad && was.pad != *change.pad) continue;
        if (change.kind == KeyTestKind::VKey && CheckVKey(was, change.to) != KeyRefusal::Accepted) {
            report.refused.push_back(i);
            continue;
        }
        if (change.kind == KeyTestKind::Button && CheckRange(KeyKind::GameKey, change.to) != KeyRefusal::Accepted) {
            report.refused.push_back(i);
            continue;
        }
        if (result[i].key != change.to) ++report.changed;
        result[i].key = change.to;
    }
    return report;
}

}  // namespace morvane
