#include "session/EditSession.h"

#include <algorithm>

#include "keys/Hotkeys.h"

#include "i18n/Translate.h"
#include "io/SafeWrite.h"
#include "script/Patch.h"

namespace morvane {

Status EditSession::Open(const std::string& path, GameId game, std::shared_ptr<const OpcodeTable> table,
                         HeaderSkip header, const ScanProgress& progress) {
    Result<ScannedScript> script = ReadAndScan(path, game, *table, header, progress);
    if (!script) return Failure{script.Cause()};
    Adopt(std::move(*script), path, std::move(table));
    return {};
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

bool EditSession::IsModified() const { return script_.tests != saved_ || HasPendingCheatCode(); }

bool EditSession::HasPendingCheatCode() const {
    return pendingTest_ && *pendingTest_ < script_.tests.size() && pendingCode_ != script_.tests[*pendingTest_].code;
}

bool EditSession::IsTestOfKind(std::size_t index, KeyTestKind kind) const {
    return index < script_.tests.size() && script_.tests[index].kind == kind;
}

std::vector<std::size_t> EditSession::ChangedDoubtfulTests() const {
    return RiskyChanges(script_.summary, saved_, script_.tests);
}

void EditSession::Commit(std::vector<KeyTest> tests) {
    undo_.push_back(std::move(script_.tests));
    redo_.clear();
    script_.tests = std::move(tests);
    Patch();
}

void EditSession::Patch() { PatchImage(script_.image, script_.tests, script_.summary.code.end); }

KeyRefusal EditSession::SetVKey(std::size_t index, int32_t vkey) {
    if (!IsTestOfKind(index, KeyTestKind::VKey)) return KeyRefusal::NoSuchTest;
    const KeyRefusal refusal = CheckVKey(script_.tests[index], vkey);
    if (refusal != KeyRefusal::Accepted || script_.tests[index].key == vkey) return refusal;
    std::vector<KeyTest> tests = script_.tests;
    for (const std::size_t sharing : SharingKey(index)) tests[sharing].key = vkey;
    Commit(std::move(tests));
    return refusal;
}

std::vector<std::size_t> EditSession::SharingKey(std::size_t index) const {
    if (index >= script_.tests.size()) return {};
    const KeyTest& test = script_.tests[index];
    if (!test.KeyInVariable() || !test.Changeable()) return {index};
    std::vector<std::size_t> sharing;
    for (std::size_t i = 0; i < script_.tests.size(); ++i)
        if (script_.tests[i].KeyInVariable() && script_.tests[i].keyAt == test.keyAt) sharing.push_back(i);
    return sharing;
}

std::string EditSession::SetChord(std::size_t index, const std::vector<int32_t>& pressed) {
    if (!IsTestOfKind(index, KeyTestKind::VKey)) return Tr("there is no such key test");
    std::vector<std::size_t> chord;
    for (const std::size_t i : HotkeyOf(script_.tests, index))
        if (!script_.tests[i].negated) chord.push_back(i);
    const std::vector<int32_t> keys = InHotkeyOrder(pressed);
    const std::string hotkey = HotkeyText(script_.tests, index);
    if (keys.size() != chord.size()) {
        // TRANSLATORS: put in "{hotkey} is a hotkey of 2 keys; {pressed}": how many keys were pressed.
        const std::string pressedText = Fill(TrN("{count} was pressed", "{count} were pressed", keys.size()),
                                             {{"count", std::to_string(keys.size())}});
        // TRANSLATORS: {hotkey} is "Ctrl+M"; {pressed} is "1 was pressed".
        return Fill(TrN("{hotkey} is a hotkey of {count} key; {pressed}",
                        "{hotkey} is a hotkey of {count} keys; {pressed}", chord.size()),
                    {{"hotkey", hotkey}, {"count", std::to_string(chord.size())}, {"pressed", pressedText}});
    }
    std::stable_sort(chord.begin(), chord.end(), [&](std::size_t a, std::size_t b) {
        return ModifierRank(script_.tests[a].key) < ModifierRank(script_.tests[b].key);
    });
    std::vector<KeyTest> tests = script_.tests;
    for (std::size_t n = 0; n < chord.size(); ++n) {
        KeyTest& test = tests[chord[n]];
        if (!test.IsVKey())
            return Fill(Tr("{hotkey} holds a pad button, which no key takes the place of"), {{"hotkey", hotkey}});
        const bool sameModifier = ModifierRank(test.key) == ModifierRank(keys[n]) &&
                                  ModifierRank(keys[n]) < ModifierRank(0);  // 0 is no modifier
        const int32_t key = sameModifier ? test.key : keys[n];
        const KeyRefusal refusal = CheckVKey(script_.tests[chord[n]], key);
        if (refusal != KeyRefusal::Accepted) return RefusalText(refusal, key, VKeyNaming::AsListed);
        test.key = key;
    }
    if (tests != script_.tests) Commit(std::move(tests));
    return std::string();
}

KeyRefusal EditSession::SetGameKey(std::size_t index, int32_t key) { return SetButton(index, KeyKind::GameKey, key); }

KeyRefusal EditSession::SetPad(std::size_t index, int32_t pad) { return SetButton(index, KeyKind::Pad, pad); }

KeyRefusal EditSession::SetTouchValue(std::size_t index, int32_t value) {
    if (index >= script_.tests.size() || !script_.tests[index].IsTouch()) return KeyRefusal::NoSuchTest;
    const KeyRefusal refusal = CheckTouchValue(script_.tests[index], value);
    if (refusal != KeyRefusal::Accepted || script_.tests[index].key == value) return refusal;
    std::vector<KeyTest> tests = script_.tests;
    tests[index].key = value;
    Commit(std::move(tests));
    return refusal;
}

KeyRefusal EditSession::SetButton(std::size_t index, KeyKind kind, int32_t value) {
    if (!IsTestOfKind(index, KeyTestKind::Button)) return KeyRefusal::NoSuchTest;
    const KeyRefusal refusal = CheckRange(kind, value);
    int32_t KeyTest::*field = kind == KeyKind::Pad ? &KeyTest::pad : &KeyTest::key;
    if (refusal != KeyRefusal::Accepted || script_.tests[index].*field == value) return refusal;
    std::vector<KeyTest> tests = script_.tests;
    tests[index].*field = value;
    Commit(std::move(tests));
    return refusal;
}

CheatRefusal EditSession::SetCheatCode(std::size_t index, const std::string& typed) {
    if (!IsTestOfKind(index, KeyTestKind::Cheat)) return CheatRefusal::NoSuchTest;
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

RemapResult EditSession::ApplyRules(const std::vector<RemapRule>& rules) {
    RemapResult result = ApplyRemapRules(script_.tests, rules);
    if (result.Count(RemapAnswer::Changed) > 0) Commit(result.tests);
    return result;
}

void EditSession::TypeCheatCode(std::size_t index, const std::string& typed) {
    if (!IsTestOfKind(index, KeyTestKind::Cheat)) return;
    if (typed == script_.tests[index].code) {
        pendingTest_.reset();
        return;
    }
    pendingTest_ = index;
    pendingCode_ = typed;
}

std::string EditSession::TypedCheatCode(std::size_t index) const {
    if (pendingTest_ == index) return pendingCode_;
    return index < script_.tests.size() ? script_.tests[index].code : std::string();
}

CheatRefusal EditSession::SetPendingCheatCode() {
    if (!HasPendingCheatCode()) {
        pendingTest_.reset();
        return CheatRefusal::Accepted;
    }
    const CheatRefusal refusal = SetCheatCode(*pendingTest_, pendingCode_);
    if (refusal == CheatRefusal::Accepted) pendingTest_.reset();
    return refusal;
}

bool EditSession::Undo() {
    if (HasPendingCheatCode() && SetPendingCheatCode() != CheatRefusal::Accepted) {
        pendingTest_.reset();  // what cannot be set is the typing undone
        return true;
    }
    pendingTest_.reset();
    if (undo_.empty()) return false;
    redo_.push_back(std::move(script_.tests));
    script_.tests = std::move(undo_.back());
    undo_.pop_back();
    Patch();
    return true;
}

bool EditSession::Redo() {
    // A code set is a new edit, after which nothing is left to redo.
    if (HasPendingCheatCode()) return SetPendingCheatCode() == CheatRefusal::Accepted;
    pendingTest_.reset();
    if (redo_.empty()) return false;
    undo_.push_back(std::move(script_.tests));
    script_.tests = std::move(redo_.back());
    redo_.pop_back();
    Patch();
    return true;
}

Result<SaveNotes> EditSession::SaveTo(const std::string& path) {
    const ScriptImage& image = script_.image;
    Result<SaveNotes> saved = WriteFileSafely(path, image.Data(), static_cast<std::size_t>(image.Size()));
    if (!saved) return saved;
    savedPath_ = path;
    saved_ = script_.tests;
    return saved;
}

std::vector<DecodedInstruction> EditSession::Around(std::size_t index, int before, int after, LabelForm labels) {
    if (index >= script_.tests.size()) return {};
    return InstructionsAround(script_.image, *table_, script_.summary, script_.tests[index].offset, before, after,
                              labels);
}

}  // namespace morvane
