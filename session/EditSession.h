#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "io/Result.h"
#include "io/SafeWrite.h"
#include "keys/KeyRules.h"
#include "keys/RemapRules.h"
#include "opcodes/OpcodeTable.h"
#include "script/Instructions.h"
#include "script/KeyScan.h"

namespace morvane {

// One opened script and what the user does to it, without any window: its
// key tests, the edits made to them with their undo and redo steps, a cheat
// code typed and not yet set, and the copy on disk they are compared with.
// The script's bytes always hold the edits, so what is decoded from them (the
// view around a test) and what a save writes are the same bytes.
class EditSession {
public:
    // Reads and scans a script of `game` with `table` (which must be loaded
    // for that game); the session then holds it, with no edit. A Failure
    // with the cause, and the session as it was, when the file cannot be read.
    Status Open(const std::string& path, GameId game, std::shared_ptr<const OpcodeTable> table, HeaderSkip header,
                const ScanProgress& progress = nullptr);
    // Takes a script already read and scanned, from `path`, with its table.
    void Adopt(ScannedScript script, const std::string& path, std::shared_ptr<const OpcodeTable> table);
    void Close();

    bool IsOpen() const { return open_; }
    const std::string& OpenedPath() const { return openedPath_; }
    // The file last saved to; empty until the first save.
    const std::string& SavedPath() const { return savedPath_; }
    // The file the edits belong to: the one last saved to, else the one opened.
    const std::string& CurrentPath() const { return savedPath_.empty() ? openedPath_ : savedPath_; }
    GameId Game() const { return script_.image.game; }
    const OpcodeTable& Table() const { return *table_; }

    const std::vector<KeyTest>& Tests() const { return script_.tests; }
    const ScanSummary& Summary() const { return script_.summary; }
    // The script's bytes as they are now, edits included.
    const ScriptImage& Image() const { return script_.image; }

    // Whether a test differs from the file on disk, and whether any does or
    // a typed cheat code waits to be set.
    bool IsChanged(std::size_t index) const;
    bool IsModified() const;
    // The changed tests that lie after an instruction the opcode table does
    // not describe: they may be data read as code (see RiskyChanges).
    std::vector<std::size_t> ChangedDoubtfulTests() const;

    // Edits of one test, each one step of undo; nothing changes (and no step
    // is taken) when the test already holds the value or it is refused. A
    // number that names no test, or a test of another kind, is NoSuchTest.
    // A key kept in a variable changes for every test that reads it.
    KeyRefusal SetVKey(std::size_t index, int32_t vkey);
    // The tests whose key the same variable keeps as test `index`'s, itself
    // included; only itself for any other test.
    std::vector<std::size_t> SharingKey(std::size_t index) const;
    // Gives the chord of test `index` (see HotkeyOf) the keys pressed
    // together, in one step: the chord's keys and those pressed, each in
    // hotkey order, key for key; a modifier keeps the side the test has
    // ("Left Ctrl" stays left when Ctrl is pressed). Empty when done, else why not.
    std::string SetChord(std::size_t index, const std::vector<int32_t>& pressed);
    KeyRefusal SetGameKey(std::size_t index, int32_t key);
    // A touch test's zone (1 to 9) or widget (see CheckTouchValue).
    KeyRefusal SetTouchValue(std::size_t index, int32_t value);
    KeyRefusal SetPad(std::size_t index, int32_t pad);
    CheatRefusal SetCheatCode(std::size_t index, const std::string& typed);
    // The rules applied to the tests as they are now (see ApplyRemapRules),
    // every test they do not refuse changed in one step: Change All.
    RemapResult ApplyRules(const std::vector<RemapRule>& rules);

    // A code typed for a cheat test and not set yet; typing again replaces
    // it, and typing what the test holds drops it. It counts as an edit: the
    // session is modified while it waits, and undo can take it back.
    void TypeCheatCode(std::size_t index, const std::string& typed);
    std::optional<std::size_t> PendingCheatTest() const { return pendingTest_; }
    // What is typed for a test: the pending code, else the code it holds.
    std::string TypedCheatCode(std::size_t index) const;
    // Sets the code typed (see SetCheatCode). Set, it is no longer pending;
    // refused, it stays typed, so that nothing the user wrote is lost.
    CheatRefusal SetPendingCheatCode();
    void DropPendingCheatCode() { pendingTest_.reset(); }

    // Undo takes back the last edit; a code typed and not set is set first
    // and so taken back as a step of its own (one that cannot be set is
    // dropped instead). Redo sets a typed code first too.
    bool CanUndo() const { return !undo_.empty() || HasPendingCheatCode(); }
    bool CanRedo() const { return !redo_.empty(); }
    bool Undo();
    bool Redo();

    // Writes the script with its edits to `path` without ever leaving a
    // partly written file (WriteFileSafely); the file becomes the copy the
    // tests are compared with and the one CurrentPath names. A Failure when
    // it cannot be written; the session then names the file it named before.
    // What the new file could not keep of the one it replaced is in the
    // result (io/SafeWrite.h).
    Result<SaveNotes> SaveTo(const std::string& path);

    // The instructions around a test as its bytes read now.
    std::vector<DecodedInstruction> Around(std::size_t index, int before, int after, LabelForm labels = LabelForm::Raw);

private:
    // A button test's game key or pad.
    KeyRefusal SetButton(std::size_t index, KeyKind kind, int32_t value);
    // Makes `tests` the session's, remembering the tests before for undo.
    void Commit(std::vector<KeyTest> tests);
    // Writes the tests into the bytes.
    void Patch();
    bool HasPendingCheatCode() const;
    bool IsTestOfKind(std::size_t index, KeyTestKind kind) const;

    bool open_ = false;
    ScannedScript script_;
    std::shared_ptr<const OpcodeTable> table_;
    std::string openedPath_;
    std::string savedPath_;
    std::vector<KeyTest> saved_;  // as the file on disk has them
    std::vector<std::vector<KeyTest>> undo_;
    std::vector<std::vector<KeyTest>> redo_;
    std::optional<std::size_t> pendingTest_;
    std::string pendingCode_;
};

}  // namespace morvane
