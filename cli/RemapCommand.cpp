// morvane-cli remap: changes keys and cheat codes by rules and writes each
// script back whole, safely, with only the key, pad and code payloads changed.

#include <algorithm>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "cli/Commands.h"
#include "keys/RemapRules.h"
#include "cli/KeyArgument.h"
#include "cli/ScriptFile.h"
#include "io/FileLock.h"
#include "cli/Escape.h"
#include "i18n/Translate.h"
#include "script/Patch.h"
#include "io/SafeWrite.h"
#include "io/SaveLeftovers.h"
#include "keys/KeyNames.h"
#include "script/ScriptFiles.h"

namespace morvane::cli {

namespace {

// Says what unfinished saves (killed, cut off by a power cut) left in the
// folder a file is about to be saved in, once for each folder of the run.
void WarnOfLeftovers(const std::string& target, std::set<std::string>& foldersLookedAt, std::ostream& err) {
    const std::string folder = std::filesystem::u8path(target).parent_path().u8string();
    if (!foldersLookedAt.insert(folder).second) return;
    for (const SaveLeftover& leftover : FindSaveLeftovers(folder))
        err << PlainText(leftover.path) << ": "
            << Fill(Tr("warning: {warning}"), {{"warning", SaveLeftoverText(leftover)}}) << "\n";
}

// Takes the lock of a file, saying so when another program holds it and
// then waiting for it.
void TakeLock(FileLock& lock, const std::string& path, std::ostream& err) {
    if (lock.TryLock(path) == FileLock::Outcome::Busy) {
        err << PlainText(path) << ": " << Tr("waiting for another program that is changing it") << "\n";
        lock.Lock(path);
    }
}

// Reads, patches and saves one file, holding its lock (and that of -o's
// target) throughout. The status of that file.
int RemapFile(const Setup& setup, const Options& options, const std::string& path,
              std::set<std::string>& foldersLookedAt, std::ostream& out, std::ostream& err) {
    // Another morvane-cli remapping the same file, or writing to the same
    // target, is waited for, so that neither undoes the other's changes. Two
    // locks are taken in the order of the files' identities, so that two runs
    // with each other's input as target cannot wait for each other for ever.
    std::vector<std::pair<std::optional<FileIdentity>, std::string>> locked = {{IdentifyFile(path), path}};
    if (!options.inPlace) {
        const std::optional<FileIdentity> target = IdentifyFile(options.output);
        if (target && target != locked.front().first) locked.emplace_back(target, options.output);
    }
    std::sort(locked.begin(), locked.end());
    FileLock locks[2];
    for (std::size_t i = 0; i < locked.size(); ++i) TakeLock(locks[i], locked[i].second, err);

    ScriptFile file;
    if (!LoadScript(setup, options, path, file, err)) return kExitFileFailed;
    WarnUnknown(file, err);
    if (file.summary.code.CutShort() && !options.allowUnknown) {
        const std::string cutShort =
            // TRANSLATORS: the main script of the file ends early, so it is not changed; {option} is --allow-unknown.
            Tr("refused: the main script is cut short; nothing written ({option} writes it "
               "all the same)");
        err << PlainText(path) << ": " << Fill(cutShort, {{"option", "--allow-unknown"}}) << "\n";
        return kExitFileFailed;
    }
    const RemapResult remapped = ApplyRemapRules(file.tests, options.rules);
    const std::vector<std::string> refusals = remapped.Refusals();
    if (!refusals.empty()) {
        // TRANSLATORS: {reason} is why a rule cannot change a test ("offset 20: VKey 128 needs 16 bits ...").
        err << PlainText(path) << ": " << Fill(Tr("refused: {reason}; nothing written"), {{"reason", refusals.front()}})
            << "\n";
        return kExitFileFailed;
    }
    // Only a change to a test after an instruction the opcode table does not
    // describe is a risk: that test may be data read as code.
    const std::vector<std::size_t> risky = RiskyChanges(file.summary, file.tests, remapped.tests);
    if (!risky.empty() && !options.allowUnknown) {
        const std::string risk =
            // TRANSLATORS: {count} tests a rule would change lie after an instruction the opcode table does not
            // describe, at offset {unknown}; {first} is the offset of the first; {option} is --allow-unknown.
            TrN("refused: {count} changed test lies after the unknown instruction at offset {unknown} and may be data "
                "read as code (the first at offset {first}); nothing written ({option} writes it all the same)",
                "refused: {count} changed tests lie after the unknown instruction at offset {unknown} and may be data "
                "read as code (the first at offset {first}); nothing written ({option} writes it all the same)",
                risky.size());
        err << PlainText(path) << ": "
            << Fill(risk, {{"count", std::to_string(risky.size())},
                           {"unknown", std::to_string(*file.summary.firstUnknownOffset)},
                           {"first", std::to_string(file.tests[risky.front()].offset)},
                           {"option", "--allow-unknown"}})
            << "\n";
        return kExitFileFailed;
    }
    const std::size_t changed = remapped.Count(RemapAnswer::Changed);
    const std::string target = options.inPlace ? path : options.output;
    if (options.inPlace && changed == 0) {
        // TRANSLATORS: no key test of the file was changed (in place), so it was not saved.
        out << PlainText(path) << ": " << Tr("0 changed (file left as it was)") << std::endl;
        return kExitDone;
    }
    PatchImage(file.image, remapped.tests, file.summary.code.end);
    // What was there stays as it was; only a file there is worth saying so.
    std::error_code ignored;
    const bool targetExisted = std::filesystem::is_regular_file(std::filesystem::u8path(target), ignored);
    WarnOfLeftovers(target, foldersLookedAt, err);
    const Result<SaveNotes> saved =
        WriteFileSafely(target, file.image.Data(), static_cast<std::size_t>(file.image.Size()));
    if (!saved) {
        err << PlainText(target) << ": "
            << (targetExisted ? Fill(Tr("cannot save: {cause}; the file is as it was"), {{"cause", saved.Cause()}})
                              : Fill(Tr("cannot save: {cause}; nothing written"), {{"cause", saved.Cause()}}))
            << "\n";
        return kExitFileFailed;
    }
    if (!saved->notKept.empty())
        err << PlainText(target) << ": " << Fill(Tr("warning: {warning}"), {{"warning", NotKeptText(*saved)}}) << "\n";
    // At once, so that a run cut short has said which files it changed.
    out << PlainText(path) << ": ";
    if (options.inPlace)
        // TRANSLATORS: {count} key tests of the file were changed and it was saved in place.
        out << Fill(TrN("{count} changed", "{count} changed", changed), {{"count", std::to_string(changed)}});
    else
        // TRANSLATORS: {count} key tests of the file were changed and the result saved as {target}.
        out << Fill(TrN("{count} changed -> {target}", "{count} changed -> {target}", changed),
                    {{"count", std::to_string(changed)}, {"target", PlainText(target)}});
    out << std::endl;
    return kExitDone;
}

// Why -o's target must not be written, or nothing: it is a file the run
// reads (an opcode file, the settings file), or another script, which the
// shell may have put there from a pattern ("-o *.cs").
std::optional<std::string> RefusedOutput(const Setup& setup, const Options& options) {
    if (options.output.empty()) return std::nullopt;
    if (const std::optional<std::string> input = InputNamedBy(options.output, setup.read))
        return Fill(Tr("{option} {path} is {input}, which this run reads; nothing written"),
                    {{"option", "-o"}, {"path", PlainText(options.output)}, {"input", PlainText(*input)}});
    const std::optional<FileIdentity> target = IdentifyFile(options.output);
    if (!target || options.force || !IsScriptFileName(options.output) || IdentifyFile(options.files.front()) == target)
        return std::nullopt;
    std::error_code error;
    const auto size = std::filesystem::file_size(std::filesystem::u8path(options.output), error);
    // TRANSLATORS: what -o would replace when its size cannot be told ("another script (a file)").
    const std::string what = error ? Tr("a file")
                                   : Fill(TrN("{count} byte", "{count} bytes", static_cast<uint64_t>(size)),
                                          {{"count", std::to_string(size)}});
    // TRANSLATORS: {option} is -o, {path} the file it names, {what} its size ("148 bytes") or "a file"; {force} is
    // --force.
    return Fill(Tr("{option} {path} would replace another script ({what}); nothing written. Name a new file, or give "
                   "{force} to replace it (a pattern such as *.cs may have put it there)"),
                {{"option", "-o"}, {"path", PlainText(options.output)}, {"what", what}, {"force", "--force"}});
}

}  // namespace

int RunRemap(const Options& options, std::ostream& out, std::ostream& err) {
    const Setup setup = PrepareSetup(options, err);
    if (const std::optional<std::string> refused = RefusedOutput(setup, options)) {
        err << "morvane-cli: " << *refused << "\n";
        return kExitUsage;
    }
    int status = kExitDone;
    std::set<std::string> foldersLookedAt;
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
            // TRANSLATORS: a file named twice on the command line, directly or through a link; {file} is the
            // first name.
            const std::string same = Tr("the same file as {file}, done once");
            err << PlainText(path) << ": " << Fill(same, {{"file", PlainText(first->second)}}) << "\n";
            continue;
        }
        if (RemapFile(setup, options, path, foldersLookedAt, out, err) != kExitDone) status = kExitFileFailed;
    }
    return status;
}

}  // namespace morvane::cli
