#include "session/EditSession.h"

#include "io/SafeWrite.h"
#include "script/Patch.h"

namespace morvane {

bool EditSession::Open(const std::string& path, GameId game, std::shared_ptr<const OpcodeTable> table,
                       HeaderSkip header, std::string& cause, const ScanProgress& progress) {
    Result<ScannedScript> script = ReadAndScan(path, game, *table, header, progress);
    if (!script) {
        cause = script.Cause();
        return false;
    }
    Adopt(std::move(*script), path, std::move(table));
    return true;
}

void EditSession::Adopt(ScannedScript script, const std::string& path, std::shared_ptr<const OpcodeTable> table) {
    Close();
    script_ = std::move(script);
    table_ = std::move(table);
    openedPath_ = path;
    saved_ = script_.tests;
    open_ = true;
}

void EditSession::Close() {
    open_ = false;
    script_ = ScannedScript();
    table_.reset();
    openedPath_.clear();
    savedPath_.clear();
    saved_.clear();
    undo_.clear();
    redo_.clear();
    pendingTest_.reset();
    pendingCode_.clear();
}

bool EditSession::IsChanged(std::size_t index) const {
    return index < script_.tests.size() && index < saved_.size() && script_.tests[index] != saved_[index];
}

bool EditSession::IsModified() const {
    if (script_.tests != saved_) return true;
    return pendingTest_ && pendingCode_ != script_.tests[*pendingTest_].code;
}

std::vector<std::size_t> EditSession::ChangedDoubtfulTests() const {
    std::vector<std::size_t> doubtful;
    for (std::size_t i = 0; i < script_.tests.size(); ++i)
        if (IsChanged(i) && script_.summary.IsDoubtful(script_.tests[i])) doubtful.push_back(i);
    return doubtful;
}

void EditSession::Commit(std::vector<KeyTest> tests) {
    undo_.push_back(std::move(script_.tests));
    redo_.clear();
    script_.tests = std::move(tests);
    Patch();
}

void EditSession::Patch() { PatchImage(script_.image, script_.tests, script_.summary.code.end); }

KeyRefusal EditSession::SetVKey(std::size_t index, int32_t vkey) {
    if (index >= script_.tests.size() || !script_.tests[index].IsVKey()) return KeyRefusal::VKeyOutOfRange;
    const KeyRefusal refusal = CheckVKey(script_.tests[index], vkey);
    if (refusal != KeyRefusal::Accepted || script_.tests[index].key == vkey) return refusal;
    std::vector<KeyTest> tests = script_.tests;
    tests[index].key = vkey;
    Commit(std::move(tests));
    return refusal;
}

KeyRefusal EditSession::SetGameKey(std::size_t index, int32_t key) { return SetButton(index, KeyKind::GameKey, key); }

KeyRefusal EditSession::SetPad(std::size_t index, int32_t pad) { return SetButton(index, KeyKind::Pad, pad); }

KeyRefusal EditSession::SetButton(std::size_t index, KeyKind kind, int32_t value) {
    const KeyRefusal refusal = CheckRange(kind, value);
    if (index >= script_.tests.size() || !script_.tests[index].IsButton()) return CheckRange(kind, -1);
    int32_t KeyTest::*field = kind == KeyKind::Pad ? &KeyTest::pad : &KeyTest::key;
    if (refusal != KeyRefusal::Accepted || script_.tests[index].*field == value) return refusal;
    std::vector<KeyTest> tests = script_.tests;
    tests[index].*field = value;
    Commit(std::move(tests));
    return refusal;
}

CheatRefusal EditSession::SetCheatCode(std::size_t index, const std::string& typed) {
    if (index >= script_.tests.size() || !script_.tests[index].IsCheat()) return CheatRefusal::NotLettersAndDigits;
    const KeyTest& test = script_.tests[index];
    // What the test holds, in any case, stays as it is.
    if (IsSameCheatCode(test.code, typed)) return CheatRefusal::Accepted;
    const CheatRefusal refusal = CheckCheatCode(test, typed);
    const std::string code = CheatCodeToWrite(typed);
    if (refusal != CheatRefusal::Accepted) return refusal;
    std::vector<KeyTest> tests = script_.tests;
    tests[index].code = code;
    Commit(std::move(tests));
    return refusal;
}

ChangeReport EditSession::ChangeAll(const KeyChange& change) {
    std::vector<KeyTest> tests = script_.tests;
    const ChangeReport report = ApplyKeyChange(script_.tests, tests, change);
    if (report.changed > 0) Commit(std::move(tests));
    return report;
}

void EditSession::TypeCheatCode(std::size_t index, const std::string& typed) {
    if (index >= script_.tests.size() || !script_.tests[index].IsCheat()) return;
    pendingTest_ = index;
    pendingCode_ = typed;
}

CheatRefusal EditSession::SetPendingCheatCode() {
    if (!pendingTest_) return CheatRefusal::Accepted;
    const std::size_t index = *pendingTest_;
    pendingTest_.reset();
    return SetCheatCode(index, pendingCode_);
}

bool EditSession::Undo() {
    if (undo_.empty()) return false;
    redo_.push_back(std::move(script_.tests));
    script_.tests = std::move(undo_.back());
    undo_.pop_back();
    Patch();
    return true;
}

bool EditSession::Redo() {
    if (redo_.empty()) return false;
    undo_.push_back(std::move(script_.tests));
    script_.tests = std::move(redo_.back());
    redo_.pop_back();
    Patch();
    return true;
}

bool EditSession::SaveTo(const std::string& path, std::string& cause) {
    const ScriptImage& image = script_.image;
    if (!WriteFileSafely(path, image.Data(), static_cast<std::size_t>(image.Size()), cause)) return false;
    savedPath_ = path;
    saved_ = script_.tests;
    return true;
}

std::vector<DecodedInstruction> EditSession::Around(std::size_t index, int before, int after, LabelForm labels) {
    if (index >= script_.tests.size()) return {};
    return InstructionsAround(script_.image, *table_, script_.summary, script_.tests[index].offset, before, after,
                              labels);
}

}  // namespace morvane
