// morvane-cli remap: changes keys and cheat codes by rules and writes each
// script back whole, safely, with only the key, pad and code payloads changed.

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/Commands.h"
#include "keys/ChangeAll.h"
#include "cli/KeyArgument.h"
#include "cli/ScriptFile.h"
#include "io/FileLock.h"
#include "cli/Escape.h"
#include "script/Patch.h"
#include "io/SafeWrite.h"
#include "keys/KeyNames.h"

namespace morvane::cli {

namespace {

// The new pad and key, or cheat code, of one test under an --at rule,
// or a cause. A code is checked with the others once every rule is applied.
bool ApplyAt(const Rule& rule, const KeyTest& was, KeyTest& o, std::string& cause) {
    if (rule.pad && !o.IsButton()) {
        cause = rule.text + ": the " + (o.IsCheat() ? "cheat" : "key") + " test at offset " + std::to_string(o.offset) +
                " has no pad";
        return false;
    }
    if (o.IsCheat()) {
        o.code = IsSameCheatCode(was.code, rule.key) ? was.code : CheatCodeToWrite(rule.key);  // its own: no change
        return true;
    }
    const KeyKind kind = o.IsVKey() ? KeyKind::VKey : KeyKind::GameKey;
    const auto key = ParseKey(rule.key, kind);
    const int32_t highest = HighestValue(kind);
    if (!key || CheckRange(kind, *key) != KeyRefusal::Accepted) {
        cause = rule.text + ": not a " + (o.IsVKey() ? "VKey" : "game key") + " (0 to " + std::to_string(highest) +
                " or a name)";
        return false;
    }
    if (rule.pad) o.pad = *rule.pad;
    o.key = *key;
    return true;
}

// Applies every rule to the tests read from the file: each rule looks at
// the values as read, a later rule wins over an earlier one, and what the
// tests may hold is checked on the values the last rules give them.
bool ApplyRules(const std::vector<Rule>& rules, const std::vector<KeyTest>& read, std::vector<KeyTest>& result,
                std::string& cause) {
    result = read;
    for (const Rule& rule : rules) {
        if (rule.kind == Rule::Kind::VKey || rule.kind == Rule::Kind::Button) {
            // Every test of the key as read, on any pad; whether its
            // parameter holds the new key is checked on the final value.
            const KeyTestKind kind = rule.kind == Rule::Kind::VKey ? KeyTestKind::VKey : KeyTestKind::Button;
            for (std::size_t i = 0; i < read.size(); ++i)
                if (read[i].kind == kind && read[i].key == rule.from) result[i].key = rule.to;
            continue;
        }
        bool matched = false;
        for (std::size_t i = 0; i < read.size(); ++i) {
            const KeyTest& was = read[i];
            KeyTest& now = result[i];
            switch (rule.kind) {
                case Rule::Kind::VKey:
                case Rule::Kind::Button: break;
                case Rule::Kind::Pad:
                    if (was.IsButton() && was.pad == rule.from) now.pad = rule.to;
                    break;
                case Rule::Kind::Cheat:
                    if (was.IsCheat() && IsSameCheatCode(was.code, rule.fromCode))
                        now.code = IsSameCheatCode(was.code, rule.toCode) ? was.code : CheatCodeToWrite(rule.toCode);
                    break;
                case Rule::Kind::At:
                    if (was.offset == rule.offset) {
                        matched = true;
                        if (!ApplyAt(rule, was, now, cause)) return false;
                    }
                    break;
            }
        }
        if (rule.kind == Rule::Kind::At && !matched) {
            cause = rule.text + ": no key test at offset " + std::to_string(rule.offset);
            return false;
        }
    }
    // A new cheat code must be letters and digits that fit the old one's room.
    for (std::size_t i = 0; i < result.size(); ++i) {
        const KeyTest& o = result[i];
        if (!o.IsCheat() || o.code == read[i].code) continue;
        const CheatRefusal refusal = CheckCheatCode(read[i], o.code);
        if (refusal != CheatRefusal::Accepted) {
            cause = "offset " + std::to_string(o.offset) + ": cheat code " + PlainText(read[i].code) +
                    " cannot become " + PlainText(o.code) + ": " + CheatRefusalText(refusal, read[i]);
            return false;
        }
    }
    // An 8-bit key parameter holds VKeys up to 127 only.
    for (std::size_t i = 0; i < result.size(); ++i) {
        const KeyTest& o = result[i];
        if (!o.IsVKey() || o.key == read[i].key) continue;
        const KeyRefusal refusal = CheckVKey(read[i], o.key);
        if (refusal != KeyRefusal::Accepted) {
            cause = "offset " + std::to_string(o.offset) + ": " + RefusalText(refusal, o.key);
            return false;
        }
    }
    return true;
}

std::size_t CountChanged(const std::vector<KeyTest>& before, const std::vector<KeyTest>& after) {
    std::size_t changed = 0;
    for (std::size_t i = 0; i < before.size(); ++i) changed += !(before[i] == after[i]);
    return changed;
}

// Reads, patches and saves one file, holding its lock throughout. The status of that file.
int RemapFile(const Setup& setup, const Options& options, const std::string& path, std::ostream& out,
              std::ostream& err) {
    // Another morvane-cli remapping the same file is waited for, so that
    // neither undoes the other's changes.
    FileLock lock;
    if (lock.TryLock(path) == FileLock::Outcome::Busy) {
        err << PlainText(path) << ": waiting for another program that is changing it\n";
        lock.Lock(path);
    }

    ScriptFile file;
    if (!LoadScript(setup, options, path, file, err)) return kExitFileFailed;
    WarnUnknown(file, err);
    if (file.summary.HasUnknown() && !options.allowUnknown) {
        err << PlainText(path) << ": refused: key tests after offset " << *file.summary.firstUnknownOffset
            << " may be data read as code; nothing written (--allow-unknown writes it all the same)\n";
        return kExitFileFailed;
    }
    std::string cause;
    std::vector<KeyTest> remapped;
    if (!ApplyRules(options.rules, file.tests, remapped, cause)) {
        err << PlainText(path) << ": refused: " << cause << "; nothing written\n";
        return kExitFileFailed;
    }
    const std::size_t changed = CountChanged(file.tests, remapped);
    const std::string target = options.inPlace ? path : options.output;
    if (options.inPlace && changed == 0) {
        out << PlainText(path) << ": 0 changed (file left as it was)\n";
        return kExitDone;
    }
    PatchImage(file.image, remapped, file.summary.code.end);
    // What was there stays as it was; only a file there is worth saying so.
    std::error_code ignored;
    const bool targetExisted = std::filesystem::is_regular_file(std::filesystem::u8path(target), ignored);
    if (!WriteFileSafely(target, file.image.Data(), static_cast<std::size_t>(file.image.Size()), cause)) {
        err << PlainText(target) << ": cannot save: " << cause
            << (targetExisted ? "; the file is as it was\n" : "; nothing written\n");
        return kExitFileFailed;
    }
    out << PlainText(path) << ": " << changed << " changed" << (options.inPlace ? "" : " -> " + PlainText(target))
        << "\n";
    return kExitDone;
}

}  // namespace

int RunRemap(const Options& options, std::ostream& out, std::ostream& err) {
    const Setup setup = PrepareSetup(options, err);
    int status = kExitDone;
    // A file named twice, directly or through a link, is done once. Every
    // name is identified before the first save, which gives a file a new identity.
    std::vector<std::pair<std::optional<FileIdentity>, std::string>> named;
    for (const std::string& path : options.files) named.emplace_back(IdentifyFile(path), path);
    for (std::size_t i = 0; i < named.size(); ++i) {
        const std::optional<FileIdentity>& identity = named[i].first;
        const std::string& path = named[i].second;
        const auto first = std::find_if(named.begin(), named.begin() + static_cast<std::ptrdiff_t>(i),
                                        [&](const auto& earlier) { return identity && earlier.first == identity; });
        if (first != named.begin() + static_cast<std::ptrdiff_t>(i)) {
            err << PlainText(path) << ": the same file as " << PlainText(first->second) << ", done once\n";
            continue;
        }
        if (RemapFile(setup, options, path, out, err) != kExitDone) status = kExitFileFailed;
    }
    return status;
}

}  // namespace morvane::cli
