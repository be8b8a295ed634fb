#include "io/SaveLeftovers.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <system_error>

#include "i18n/Translate.h"
#include "io/SafeWrite.h"

namespace morvane {

namespace {

namespace fs = std::filesystem;

// The length of a UTF-8 text cut to at most `room` bytes at a whole character.
std::size_t WholeCharacters(const std::string& text, std::size_t room) {
    if (text.size() <= room) return text.size();
    std::size_t end = room;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;  // inside a character
    return end;
}

// "3 minutes": how old a leftover is, in its largest whole unit.
std::string AgeText(int64_t seconds) {
    constexpr int64_t kMinute = 60, kHour = 60 * kMinute, kDay = 24 * kHour;
    const auto counted = [](const std::string& form, int64_t count) {
        return Fill(form, {{"count", std::to_string(count)}});
    };
    if (seconds < kMinute) {
        const int64_t count = std::max<int64_t>(seconds, 0);
        // TRANSLATORS: how old a file is, put in "... ({size}, {age} old)".
        return counted(TrN("{count} second", "{count} seconds", static_cast<uint64_t>(count)), count);
    }
    if (seconds < kHour) {
        // TRANSLATORS: how old a file is, put in "... ({size}, {age} old)".
        return counted(TrN("{count} minute", "{count} minutes", static_cast<uint64_t>(seconds / kMinute)),
                       seconds / kMinute);
    }
    if (seconds < kDay) {
        // TRANSLATORS: how old a file is, put in "... ({size}, {age} old)".
        return counted(TrN("{count} hour", "{count} hours", static_cast<uint64_t>(seconds / kHour)), seconds / kHour);
    }
    // TRANSLATORS: how old a file is, put in "... ({size}, {age} old)".
    return counted(TrN("{count} day", "{count} days", static_cast<uint64_t>(seconds / kDay)), seconds / kDay);
}

}  // namespace

std::string TemporaryFileName(const std::string& unique, const std::string& targetName) {
    const std::size_t head = std::char_traits<char>::length(kTemporaryPrefix) + unique.size() + 1;
    const std::size_t room = head < kLongestFileName ? kLongestFileName - head : 0;
    const std::size_t kept = WholeCharacters(targetName, room);
    return kTemporaryPrefix + unique + (kept < targetName.size() ? kCutNameMark : kWholeNameMark) +
           targetName.substr(0, kept);
}

std::vector<SaveLeftover> FindSaveLeftovers(const std::string& folder) {
    const std::string prefix = kTemporaryPrefix;
    std::vector<SaveLeftover> found;
    std::error_code error;
    const fs::path where = folder.empty() ? fs::path(".") : fs::u8path(folder);
    fs::directory_iterator it(where, error);
    for (const fs::directory_iterator end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().u8string();
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        std::error_code statusError;
        if (!fs::is_regular_file(fs::symlink_status(it->path(), statusError)) || statusError) continue;
        const std::string path = folder.empty() ? name : it->path().u8string();
        if (SaveStillWriting(path)) continue;
        SaveLeftover leftover;
        leftover.path = path;
        // After the prefix: the unique part, a mark, the name of the file it was for.
        const std::size_t mark = name.find_first_of(std::string{kWholeNameMark, kCutNameMark}, prefix.size());
        if (mark != std::string::npos && mark + 1 < name.size()) {
            leftover.forName = name.substr(mark + 1);
            leftover.nameCut = name[mark] == kCutNameMark;
        }
        const uintmax_t bytes = fs::file_size(it->path(), statusError);
        leftover.bytes = statusError ? 0 : static_cast<uint64_t>(bytes);
        const fs::file_time_type written = fs::last_write_time(it->path(), statusError);
        if (!statusError)
            leftover.ageSeconds =
                std::chrono::duration_cast<std::chrono::seconds>(fs::file_time_type::clock::now() - written).count();
        found.push_back(std::move(leftover));
    }
    std::sort(found.begin(), found.end(), [](const SaveLeftover& a, const SaveLeftover& b) { return a.path < b.path; });
    return found;
}

std::string SaveLeftoverText(const SaveLeftover& leftover) {
    const std::string size =
        Fill(TrN("{count} byte", "{count} bytes", leftover.bytes), {{"count", std::to_string(leftover.bytes)}});
    const std::string age = AgeText(leftover.ageSeconds);
    if (leftover.forName.empty()) {
        // TRANSLATORS: said of a temporary file after its path; {size} is "1204 bytes", {age} "3 minutes".
        return Fill(Tr("left by a save that did not finish (its name does not say of which file; {size}, {age} old); "
                       "not removed: delete it when no program is saving into this folder"),
                    {{"size", size}, {"age", age}});
    }
    if (leftover.nameCut) {
        // TRANSLATORS: said of a temporary file after its path; {name} is the beginning of a file name, {size} is
        // "1204 bytes", {age} "3 minutes".
        return Fill(Tr("left by a save of a file whose name begins {name} that did not finish ({size}, {age} old); "
                       "not removed: delete it when no program is saving into this folder"),
                    {{"name", leftover.forName}, {"size", size}, {"age", age}});
    }
    // TRANSLATORS: said of a temporary file after its path; {name} is a file name, {size} is "1204 bytes", {age}
    // "3 minutes".
    return Fill(Tr("left by a save of {name} that did not finish ({size}, {age} old); not removed: delete it when no "
                   "program is saving into this folder"),
                {{"name", leftover.forName}, {"size", size}, {"age", age}});
}

}  // namespace morvane
