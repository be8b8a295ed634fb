#include "keymap/KeyMap.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <new>
#include <map>
#include <string_view>
#include <system_error>
#include <thread>
#include <tuple>
#include <unordered_set>

#include "io/ReadFile.h"
#include "keys/KeyNames.h"
#include "script/ScriptFiles.h"
#include "script/ScriptImage.h"

namespace morvane {

bool TestedKey::operator<(const TestedKey& other) const {
    return std::tie(kind, pad, key, code) < std::tie(other.kind, other.pad, other.key, other.code);
}

std::string TestedKeyName(const TestedKey& key) {
    if (key.IsCheat()) return key.code;
    return key.IsVKey() ? VKeyName(key.key) : GameKeyName(key.key);
}

ScriptKeys CountKeyTests(const std::string& path, const std::vector<KeyTest>& tests, const ScanSummary& summary) {
    std::map<TestedKey, int32_t> counts;
    for (const KeyTest& test : tests) ++counts[TestedKey::Of(test)];
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

const KeyEntry* KeyMap::Find(const TestedKey& key) const {
    for (const KeyEntry& entry : keys)
        if (entry.key == key) return &entry;
    return nullptr;
}

bool TestsNoKey(const TestedKey& key) { return key.IsVKey() && (key.key < 0 || key.key >= kVKeyCount); }

bool FightsOver(const TestedKey& key, const std::string& path) {
    if (TestsNoKey(key)) return false;
    if (key.IsButton()) return !IsMainScriptPath(path);
    return true;
}

KeyMap AggregateKeyMap(std::vector<ScriptKeys> scripts) {
    KeyMap map;
    // Each path once, the first time it comes; what is compared are the
    // paths where they are, not copies of them (a deep folder's are long).
    std::vector<bool> again(scripts.size(), false);
    {
        std::unordered_set<std::string_view> seen;
        for (std::size_t i = 0; i < scripts.size(); ++i) again[i] = !seen.insert(scripts[i].path).second;
    }
    for (std::size_t i = 0; i < scripts.size(); ++i)
        if (!again[i]) map.scripts.push_back(std::move(scripts[i]));

    std::map<TestedKey, std::vector<KeyUse>> uses;
    for (std::size_t i = 0; i < map.scripts.size(); ++i)
        for (const auto& [key, tests] : map.scripts[i].tests) uses[key].push_back(KeyUse{i, tests});
    for (auto& [key, list] : uses) {
        KeyEntry entry{key, std::move(list), 0};
        for (const KeyUse& use : entry.uses)
            if (FightsOver(key, map.scripts[use.script].path)) ++entry.contenders;
        map.keys.push_back(std::move(entry));
    }
    std::stable_partition(map.keys.begin(), map.keys.end(), [](const KeyEntry& entry) { return entry.IsConflict(); });
    return map;
}

namespace {

ScriptKeys ScanOne(const std::string& path, FolderOpener& folders, const OpcodeTable& table, GameId game,
                   HeaderSkip header) {
    ScriptImage image;
    image.game = game;
    if (const Status loaded = image.LoadFromFile(path, folders); !loaded) {
        ScriptKeys unread;
        unread.path = path;
        unread.cause = loaded.Cause();
        return unread;
    }
    std::vector<KeyTest> tests;
    const ScanSummary summary = ScanKeyTests(image, table, header, tests, nullptr);
    return CountKeyTests(path, tests, summary);
}

// Threads that are joined when the object ends, however its scope is left.
class JoinedThreads {
public:
    JoinedThreads() = default;
    JoinedThreads(const JoinedThreads&) = delete;
    JoinedThreads& operator=(const JoinedThreads&) = delete;
    ~JoinedThreads() {
        for (std::thread& thread : threads_) thread.join();
    }
    // Starts one more; false when the system has no more threads to give.
    bool Start(const std::function<void()>& work) {
        try {
            threads_.emplace_back(work);
            return true;
        } catch (const std::system_error&) {
            return false;
        }
    }

private:
    std::vector<std::thread> threads_;
};

}  // namespace

KeyMap BuildKeyMap(const std::vector<std::string>& paths, const OpcodeTable& table, GameId game, HeaderSkip header,
                   unsigned threads) {
    std::vector<ScriptKeys> scripts(paths.size());
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    threads = static_cast<unsigned>(std::min<std::size_t>(threads, paths.size()));

    // Each worker takes the next file and writes only its own slot; the table
    // is shared read-only. A file that cannot be held in memory is one that
    // could not be read.
    std::atomic<std::size_t> next{0};
    // The files of a folder come one after another: each worker keeps the
    // folder of its last file open and opens the next one in it by name.
    auto work = [&]() {
        FolderOpener folders;
        for (std::size_t i; (i = next.fetch_add(1)) < paths.size();) {
            try {
                scripts[i] = ScanOne(paths[i], folders, table, game, header);
            } catch (const std::bad_alloc&) {
                scripts[i] = ScriptKeys();
                scripts[i].path = paths[i];
                scripts[i].cause = "not enough memory to read it";
            }
        }
    };
    {
        JoinedThreads workers;
        for (unsigned t = 1; t < threads && workers.Start(work); ++t) {}
        work();  // the ones running share the work
    }
    return AggregateKeyMap(std::move(scripts));
}

}  // namespace morvane
