#include "keymap/Mods.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <numeric>
#include <set>

namespace morvane {

namespace {

constexpr uint64_t kFnvOffset = 14695981039346656037ull;
constexpr uint64_t kFnvPrime = 1099511628211ull;
constexpr const char* kCleoFolder = "cleo";
constexpr const char* kModLoaderFolder = "modloader";

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// A name a script writes is split at either slash; a path found on this
// system at its own separators (a Linux file name may hold a backslash).
constexpr const char* kEitherSlash = "/\\";
#ifdef _WIN32
constexpr const char* kSystemSeparators = "/\\";
#else
constexpr const char* kSystemSeparators = "/";
#endif

// A path's parts, split at `separators`, without empty parts or ".".
std::vector<std::string> Parts(const std::string& path, const char* separators) {
    std::vector<std::string> parts;
    std::string part;
    for (const char c : path + "/") {
        if (c == '/' || std::char_traits<char>::find(separators, std::char_traits<char>::length(separators), c)) {
            if (!part.empty() && part != ".") parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    return parts;
}

std::string Joined(const std::vector<std::string>& parts, std::size_t count) {
    std::string path;
    for (std::size_t i = 0; i < count && i < parts.size(); ++i) path += (i ? "/" : "") + parts[i];
    return path;
}

// Where a script stands: the index of the last `cleo` folder of its path
// (none: npos), and of the folder inside a `modloader` folder.
struct Place {
    std::vector<std::string> parts;
    std::size_t cleo = std::string::npos;
    std::size_t modloaderMod = std::string::npos;
};

Place PlaceOf(const std::string& path) {
    Place place;
    place.parts = Parts(path, kSystemSeparators);
    for (std::size_t i = 0; i + 1 < place.parts.size(); ++i) {
        const std::string part = Lower(place.parts[i]);
        if (part == kCleoFolder) place.cleo = i;
        if (part == kModLoaderFolder && place.modloaderMod == std::string::npos && i + 2 < place.parts.size())
            place.modloaderMod = i + 1;
    }
    return place;
}

std::string FileStem(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

class UnionFind {
public:
    explicit UnionFind(std::size_t n) : parent_(n) { std::iota(parent_.begin(), parent_.end(), std::size_t{0}); }
    std::size_t Find(std::size_t x) {
        while (parent_[x] != x) x = parent_[x] = parent_[parent_[x]];
        return x;
    }
    // The smaller root stays the root: the first mod keeps the name.
    void Join(std::size_t a, std::size_t b) {
        a = Find(a);
        b = Find(b);
        if (a != b) parent_[std::max(a, b)] = std::min(a, b);
    }

private:
    std::vector<std::size_t> parent_;
};

}  // namespace

uint64_t Fingerprint(const uint8_t* data, std::size_t size) {
    uint64_t hash = kFnvOffset;
    for (std::size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * kFnvPrime;
    return hash;
}

std::vector<Mod> GroupIntoMods(const std::vector<ScriptFacts>& scripts, std::vector<std::size_t>& modOf) {
    const std::size_t n = scripts.size();
    std::vector<Place> places;
    std::map<std::string, std::size_t> byPath;  // lower-case path, "/" separated
    for (std::size_t i = 0; i < n; ++i) {
        places.push_back(PlaceOf(scripts[i].path));
        byPath.emplace(Lower(Joined(places[i].parts, places[i].parts.size())), i);
    }
    // The scripts each one starts, found among those given.
    std::vector<std::vector<std::size_t>> started(n);
    for (std::size_t i = 0; i < n; ++i) {
        const Place& place = places[i];
        for (const std::string& name : scripts[i].starts) {
            const std::vector<std::string> named = Parts(name, kEitherSlash);
            std::vector<std::string> bases;
            if (place.cleo != std::string::npos) {
                bases.push_back(Joined(place.parts, place.cleo));      // the game folder
                bases.push_back(Joined(place.parts, place.cleo + 1));  // the cleo folder
            } else {
                bases.push_back(Joined(place.parts, place.parts.size() - 1));
            }
            for (const std::string& base : bases) {
                const std::string candidate = Lower((base.empty() ? "" : base + "/") + Joined(named, named.size()));
                const auto found = byPath.find(candidate);
                if (found != byPath.end() && found->second != i) {
                    started[i].push_back(found->second);
                    break;
                }
            }
        }
    }

    // Each script's group key and name, by the rules in their order.
    std::vector<std::string> key(n), name(n);
    std::vector<bool> done(n, false);
    for (std::size_t i = 0; i < n; ++i) {
        const Place& p = places[i];
        if (p.modloaderMod == std::string::npos) continue;
        key[i] = "modloader:" + Lower(Joined(p.parts, p.modloaderMod + 1));
        name[i] = p.parts[p.modloaderMod];
        done[i] = true;
    }
    for (std::size_t i = 0; i < n; ++i) {
        const Place& p = places[i];
        if (done[i] || p.cleo == std::string::npos || p.cleo + 2 != p.parts.size()) continue;
        // A script directly in the cleo folder: it and what it starts.
        const std::string group = "cleo:" + Lower(Joined(p.parts, p.parts.size()));
        std::vector<std::size_t> pending = {i};
        while (!pending.empty()) {
            const std::size_t s = pending.back();
            pending.pop_back();
            if (done[s] && s != i) continue;
            done[s] = true;
            key[s] = group;
            name[s] = FileStem(p.parts.back());
            for (const std::size_t t : started[s])
                if (!done[t]) pending.push_back(t);
        }
    }
    for (std::size_t i = 0; i < n; ++i) {
        const Place& p = places[i];
        if (done[i]) continue;
        done[i] = true;
        if (p.cleo != std::string::npos && p.cleo + 2 < p.parts.size()) {
            key[i] = "cleo-folder:" + Lower(Joined(p.parts, p.cleo + 2));
            name[i] = p.parts[p.cleo + 1];
        } else {
            key[i] = "file:" + Lower(Joined(p.parts, p.parts.size()));
            name[i] = p.parts.empty() ? scripts[i].path : p.parts.back();
        }
    }

    // The mods in the order of their first script.
    std::vector<Mod> mods;
    std::map<std::string, std::size_t> modByKey;
    modOf.assign(n, 0);
    for (std::size_t i = 0; i < n; ++i) {
        const auto [at, added] = modByKey.emplace(key[i], mods.size());
        if (added) mods.push_back(Mod{name[i], {}, {}});
        modOf[i] = at->second;
        mods[at->second].scripts.push_back(i);
    }

    // A mod every one of whose scripts has a copy with the same bytes in one
    // other mod is that mod installed again.
    UnionFind same(mods.size());
    for (std::size_t m = 0; m < mods.size(); ++m) {
        std::set<std::size_t> others;
        bool first = true;
        for (const std::size_t s : mods[m].scripts) {
            std::set<std::size_t> holding;
            for (std::size_t t = 0; t < n; ++t)
                if (modOf[t] != m && scripts[t].read && scripts[s].read && scripts[s].size > 0 &&
                    scripts[t].size == scripts[s].size && scripts[t].fingerprint == scripts[s].fingerprint)
                    holding.insert(modOf[t]);
            if (first) {
                others = holding;
                first = false;
            } else {
                std::set<std::size_t> both;
                std::set_intersection(others.begin(), others.end(), holding.begin(), holding.end(),
                                      std::inserter(both, both.begin()));
                others = both;
            }
        }
        for (const std::size_t o : others) same.Join(m, o);
    }
    std::vector<Mod> merged;
    std::vector<std::size_t> mergedOf(mods.size());
    for (std::size_t m = 0; m < mods.size(); ++m) {
        const std::size_t root = same.Find(m);
        if (root == m) {
            mergedOf[m] = merged.size();
            merged.push_back(Mod{mods[m].name, {}, {}});
        } else {
            mergedOf[m] = mergedOf[root];
            merged[mergedOf[root]].copies.push_back(mods[m].name);
        }
    }
    for (std::size_t i = 0; i < n; ++i) {
        modOf[i] = mergedOf[modOf[i]];
        merged[modOf[i]].scripts.push_back(i);
    }
    return merged;
}

}  // namespace morvane
