#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "i18n/Translate.h"
#include "io/Result.h"

namespace morvane {

// What a save could not keep of the file it replaced.
struct SaveNotes {
    // Each in plain words: "the set-user-ID bit (the file now belongs to
    // user 1000, not to user 0)", "the extended attribute user.origin
    // (operation not supported)". Empty when all was kept or no file was there.
    std::vector<std::string> notKept;
};

// Writes `size` bytes as the whole content of the file at `path` without ever
// leaving a partly written file there: the bytes go to a temporary file in the
// same folder, which replaces the target only after every byte has been
// written and flushed. A Failure on any failure (missing or unwritable folder,
// a write-protected or non-regular target, disk full, a file size limit, short
// write, refused rename); whatever was at `path` is then exactly as it was,
// and the cause says why in plain words ("folder does not exist", "disk full",
// "is write-protected", the system's reason).
//
// Nothing is left behind either: on POSIX systems a file size limit makes the
// write fail like a full disk instead of ending the program (SIGXFSZ is
// ignored during the save), and SIGINT, SIGTERM or SIGHUP during the save
// remove the temporary file before the signal takes its usual course (a
// signal the program ignores stays ignored). On Windows the temporary file is
// deleted by the system if the program ends before it is complete. One save
// runs at a time; a second thread waits for the first.
//
// The new file keeps what the system lets the writer keep of the one it
// replaces, as `cp -p` does: its permissions, its set-user-ID and
// set-group-ID bits (only while the file keeps the owner and group they
// were for), its owner and group (a privileged writer; any user may keep a
// group it belongs to) and, on Linux, its extended attributes (among them
// its access control lists); on Windows its attributes, security settings
// and alternate data streams. What could not be kept is told in the result.
Result<SaveNotes> WriteFileSafely(const std::string& path, const uint8_t* bytes, std::size_t size);

// "not kept from the file it replaced: the set-user-ID bit (...); ...", for
// a warning after a save whose notes name something.
inline std::string NotKeptText(const SaveNotes& notes) {
    std::string list;
    for (std::size_t i = 0; i < notes.notKept.size(); ++i) list += (i > 0 ? "; " : "") + notes.notKept[i];
    // TRANSLATORS: {list} is what a save could not keep, each part after "; ".
    return Fill(Tr("not kept from the file it replaced: {list}"), {{"list", list}});
}

// The name every temporary file of a save begins with.
constexpr const char* kTemporaryPrefix = ".morvane-save-";

// The longest file name, in bytes, that the systems Morvane runs on take.
constexpr std::size_t kLongestFileName = 255;

// The name of a save's temporary file, the one place its form is written:
// kTemporaryPrefix, `unique` (what makes it unique: letters, digits and
// dots), kWholeNameMark and the name of the file the save is for; or, when
// the whole would pass kLongestFileName bytes, kCutNameMark and as much of
// the name as fits (at a whole UTF-8 character). A save that does not end
// leaves a file that says whose it is (io/SaveLeftovers.h).
constexpr char kWholeNameMark = '-';
constexpr char kCutNameMark = '~';
std::string TemporaryFileName(const std::string& unique, const std::string& targetName);

}  // namespace morvane
