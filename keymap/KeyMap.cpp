#include "keymap/KeyMap.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <set>
#include <system_error>
#include <thread>
#include <tuple>

#include "keys/KeyNames.h"
#include "script/MainScript.h"
#include "script/ScriptImage.h"

namespace morvane {

bool MapKey::operator<(const MapKey& other) const {
    return std::tie(kind, pad, key, code) < std::tie(other.kind, other.pad, other.key, other.code);
}

std::string MapKeyName(const MapKey& key) {
    if (key.IsCheat()) return key.code;
    const std::string name = key.IsVKey() ? VKeyName(key.key) : GameKeyName(key.key);
    const std::size_t first = name.find_first_not_of(' ');
    if (first == std::string::npos) return name;
    return name.substr(first, name.find_last_not_of(' ') - first + 1);
}

ScriptKeys CountKeyTests(const std::string& path, const std::vector<KeyOccurrence>& occurrences,
                         const ScanSummary& summary) {
    std::map<MapKey, int32_t> counts;
    for (const KeyOccurrence& occurrence : occurrences) ++counts[MapKey::Of(occurrence)];
    ScriptKeys script;
    script.path = path;
    script.read = true;
    script.summary = summary;
    script.tests.assign(counts.begin(), counts.end());
    return script;
}

int64_t KeyEntry::Tests() const {
    int64_t total = 0;
    for (const KeyUse& use : uses) total += use.tests;
    return total;
}

std::size_t KeyMap::ConflictCount() const {
    return static_cast<std::size_t>(
        std::count_if(keys.begin(), keys.end(), [](const KeyEntry& entry) { return entry.IsConflict(); }));
}

const KeyEntry* KeyMap::Find(const MapKey& key) const {
    for (const KeyEntry& entry : keys)
        if (entry.key == key) return &entry;
    return nullptr;
}

KeyMap AggregateKeyMap(std::vector<ScriptKeys> scripts) {
    KeyMap map;
    std::set<std::string> seen;
    for (ScriptKeys& script : scripts)
        if (seen.insert(script.path).second) map.scripts.push_back(std::move(script));

    std::map<MapKey, std::vector<KeyUse>> uses;
    for (std::size_t i = 0; i < map.scripts.size(); ++i)
        for (const auto& [key, tests] : map.scripts[i].tests) uses[key].push_back(KeyUse{i, tests});
    for (auto& [key, list] : uses) map.keys.push_back(KeyEntry{key, std::move(list)});
    std::stable_partition(map.keys.begin(), map.keys.end(), [](const KeyEntry& entry) { return entry.IsConflict(); });
    return map;
}

namespace {

ScriptKeys ScanOne(const std::string& path, const OpcodeTable& table, GameId game, HeaderSkip header) {
    ScriptImage image;
    image.game = game;
    if (!image.LoadFromFile(path)) {
        ScriptKeys unread;
        unread.path = path;
        return unread;
    }
    const bool skipHeader = header == HeaderSkip::Always || (header == HeaderSkip::ByName && IsMainScriptPath(path));
    std::vector<KeyOccurrence> occurrences;
    const ScanSummary summary = ScanKeyOccurrences(image, table, skipHeader, occurrences, nullptr);
    return CountKeyTests(path, occurrences, summary);
}

}  // namespace

KeyMap BuildKeyMap(const std::vector<std::string>& paths, const OpcodeTable& table, GameId game, HeaderSkip header,
                   unsigned threads) {
    std::vector<ScriptKeys> scripts(paths.size());
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    threads = static_cast<unsigned>(std::min<std::size_t>(threads, paths.size()));

    // Each worker takes the next file and writes only its own slot; the table
    // is shared read-only.
    std::atomic<std::size_t> next{0};
    auto work = [&]() {
        for (std::size_t i; (i = next.fetch_add(1)) < paths.size();)
            scripts[i] = ScanOne(paths[i], table, game, header);
    };
    std::vector<std::thread> workers;
    for (unsigned t = 1; t < threads; ++t) {
        try {
            workers.emplace_back(work);
        } catch (const std::system_error&) {
            break;  // no more threads to be had: the ones running share the work
        }
    }
    work();
    for (std::thread& worker : workers) worker.join();
    return AggregateKeyMap(std::move(scripts));
}

}  // namespace morvane
