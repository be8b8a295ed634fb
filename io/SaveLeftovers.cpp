#include "io/SaveLeftovers.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <system_error>

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

std::string Counted(int64_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string AgeText(int64_t seconds) {
    constexpr int64_t kMinute = 60, kHour = 60 * kMinute, kDay = 24 * kHour;
    if (seconds < kMinute) return Counted(std::max<int64_t>(seconds, 0), "second", "seconds");
    if (seconds < kHour) return Counted(seconds / kMinute, "minute", "minutes");
    if (seconds < kDay) return Counted(seconds / kHour, "hour", "hours");
    return Counted(seconds / kDay, "day", "days");
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
    std::string text = "left by a save ";
    if (leftover.forName.empty())
        text += "that did not finish (its name does not say of which file; ";
    else if (leftover.nameCut)
        text += "of a file whose name begins " + leftover.forName + " that did not finish (";
    else
        text += "of " + leftover.forName + " that did not finish (";
    text += Counted(static_cast<int64_t>(leftover.bytes), "byte", "bytes") + ", " + AgeText(leftover.ageSeconds) +
            " old); not removed: delete it when no program is saving into this folder";
    return text;
}

}  // namespace morvane
