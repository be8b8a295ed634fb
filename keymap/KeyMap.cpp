#include "keymap/KeyMap.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <map>
#include <new>
#include <set>
#include <string_view>
#include <system_error>
#include <optional>
#include <thread>
#include <tuple>
#include <unordered_set>

#include "i18n/Translate.h"
#include "io/ReadFile.h"
#include "keys/Hotkeys.h"
#include "keys/KeyNames.h"
#include "script/ScriptFiles.h"
#include "script/ScriptImage.h"
#include "script/StartedScripts.h"

namespace morvane {

bool TestedKey::operator<(const TestedKey& other) const {
    return std::tie(kind, chord, pad, key, code) < std::tie(other.kind, other.chord, other.pad, other.key, other.code);
}

std::string TestedKeyName(const TestedKey& key) {
    if (key.IsCheat() || key.IsChord()) return key.code;
    if (key.IsZone()) return TouchZoneEntryName(key.key);
    if (key.IsWidget()) return WidgetEntryName(key.key);
    return key.IsVKey() ? VKeyName(key.key) : GameKeyName(key.key);
}

std::string ShownKeyName(const TestedKey& key) { return key.IsChord() ? key.shown : TestedKeyName(key); }

ScriptKeys CountKeyTests(const std::string& path, const std::vector<KeyTest>& tests, const ScanSummary& summary) {
    std::map<TestedKey, int32_t> counts;
    // A chord is one entry, its hotkey; a key kept in a variable counts as
    // the key it is set to; one whose value cannot be told is no key.
    for (std::size_t i = 0; i < tests.size(); ++i) {
        const KeyTest& test = tests[i];
        if (InChord(tests, i)) {
            if (HotkeyOf(tests, i).front() != i) continue;
            std::vector<int32_t> keys;
            for (const std::size_t k : HotkeyOf(tests, i))
                if (tests[k].IsVKey() && !tests[k].negated) keys.push_back(tests[k].key);
            // The hotkey's English text names the entry (tsv and json write
            // it); people read it in their language.
            std::string hotkey;
            {
                const EnglishTexts english;
                hotkey = HotkeyText(tests, i);
            }
            ++counts[TestedKey::Chord(hotkey, keys, HotkeyText(tests, i))];
            continue;
        }
        if (test.Changeable()) ++counts[TestedKey::Of(test)];
    }
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

bool KeyMap::IsLoneScript(std::size_t mod) const {
    const Mod& m = mods[mod];
    if (m.scripts.size() != 1 || !m.copies.empty()) return false;
    const std::string& path = scripts[m.scripts.front()].path;
    const std::size_t slash = path.find_last_of("/\\");
    return (slash == std::string::npos ? path : path.substr(slash + 1)) == m.name;
}

std::size_t KeyMap::ConflictCount() const {
    return static_cast<std::size_t>(
        std::count_if(keys.begin(), keys.end(), [](const KeyEntry& entry) { return entry.IsConflict(); }));
}

bool KeyMap::ShowsTouchScreen() const {
    return touchScreen || std::any_of(keys.begin(), keys.end(),
                                      [](const KeyEntry& entry) { return entry.key.IsZone() || entry.key.IsWidget(); });
}

const KeyEntry* KeyMap::Find(const TestedKey& key) const {
    for (const KeyEntry& entry : keys)
        if (entry.key == key) return &entry;
    return nullptr;
}

bool TestsNoKey(const TestedKey& key) {
    if (key.IsZone()) return CheckRange(KeyKind::TouchZone, key.key) != KeyRefusal::Accepted;
    return key.IsVKey() && (key.key < 0 || key.key >= kVKeyCount);
}

bool IsGameControl(const TestedKey& key) { return key.IsButton() || key.IsWidget(); }

bool FightsOver(const TestedKey& key, const std::string& /*path*/) { return !TestsNoKey(key) && !IsGameControl(key); }

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

    std::vector<ScriptFacts> facts;
    for (const ScriptKeys& script : map.scripts)
        facts.push_back(ScriptFacts{script.path, script.starts, script.size, script.fingerprint, script.read});
    std::vector<std::size_t> modOf;
    map.mods = GroupIntoMods(facts, modOf);
    for (std::size_t i = 0; i < map.scripts.size(); ++i) map.scripts[i].mod = modOf[i];

    std::map<TestedKey, std::vector<KeyUse>> uses;
    for (std::size_t i = 0; i < map.scripts.size(); ++i)
        for (const auto& [key, tests] : map.scripts[i].tests) uses[key].push_back(KeyUse{i, tests});
    for (auto& [key, list] : uses) {
        KeyEntry entry{key, std::move(list), 0, 0};
        std::set<std::size_t> contenders, mods;
        for (const KeyUse& use : entry.uses) {
            mods.insert(modOf[use.script]);
            if (FightsOver(key, map.scripts[use.script].path)) contenders.insert(modOf[use.script]);
        }
        entry.contenders = contenders.size();
        entry.mods = mods.size();
        map.keys.push_back(std::move(entry));
    }
    std::stable_partition(map.keys.begin(), map.keys.end(), [](const KeyEntry& entry) { return entry.IsConflict(); });

    // Keys of different mods that fire together.
    const auto modsOf = [&](const KeyEntry& entry) {
        std::set<std::size_t> mods;
        for (const KeyUse& use : entry.uses) mods.insert(modOf[use.script]);
        return mods;
    };
    const auto apart = [&](const KeyEntry& a, const KeyEntry& b) {
        const std::set<std::size_t> first = modsOf(a), second = modsOf(b);
        return first.size() > 1 || second.size() > 1 || first != second;
    };
    for (std::size_t w = 0; w < map.keys.size(); ++w) {
        const TestedKey& wider = map.keys[w].key;
        for (std::size_t k = 0; k < map.keys.size(); ++k) {
            const TestedKey& within = map.keys[k].key;
            bool overlaps = false;
            if (wider.IsChord() && within.IsVKey())
                overlaps =
                    std::find(wider.chordKeys.begin(), wider.chordKeys.end(), within.key) != wider.chordKeys.end() &&
                    ModifierRank(within.key) == ModifierRank(0);
            if (wider.IsCheat() && within.IsCheat() && wider.code.size() > within.code.size())
                overlaps =
                    wider.code.compare(wider.code.size() - within.code.size(), within.code.size(), within.code) == 0;
            if (overlaps && apart(map.keys[w], map.keys[k])) map.overlaps.push_back(Overlap{w, k});
        }
    }
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
    ScriptKeys script = CountKeyTests(path, tests, summary);
    script.starts = StartedScripts(image, table, summary);
    script.size = static_cast<uint64_t>(image.Size());
    script.fingerprint = Fingerprint(image.Data(), static_cast<std::size_t>(image.Size()));
    return script;
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
    // The workers speak the caller's language, English too.
    const bool english = EnglishTexts::Active();
    auto work = [&]() {
        std::optional<EnglishTexts> inEnglish;
        if (english) inEnglish.emplace();
        FolderOpener folders;
        for (std::size_t i; (i = next.fetch_add(1)) < paths.size();) {
            try {
                scripts[i] = ScanOne(paths[i], folders, table, game, header);
            } catch (const std::bad_alloc&) {
                scripts[i] = ScriptKeys();
                scripts[i].path = paths[i];
                scripts[i].cause = Tr("not enough memory to read it");
            }
        }
    };
    {
        JoinedThreads workers;
        for (unsigned t = 1; t < threads && workers.Start(work); ++t) {}
        work();  // the ones running share the work
    }
    KeyMap map = AggregateKeyMap(std::move(scripts));
    map.touchScreen = IsMobile(game);
    return map;
}

}  // namespace morvane
