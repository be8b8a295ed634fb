#include "script/KeyVariables.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "i18n/Translate.h"
#include "script/Instructions.h"
#include "script/ScriptReader.h"

namespace morvane {

namespace {

// The locals the game counts up by itself (TIMERA and TIMERB).
constexpr int32_t kSanAndreasTimers = 32;
constexpr int32_t kOlderTimers = 16;
constexpr int32_t kTimerCount = 2;

// The parameter at a reader's position as a variable it may touch: the
// variable and how many slots from it on (locals) or bytes (globals) the
// parameter covers; none for a constant. An array may reach any element
// after its base.
struct Touched {
    Variable first;
    int64_t span = 0;
};
constexpr int64_t kReachesOn = INT32_MAX;

std::optional<Touched> TouchedBy(const uint8_t* bytes, std::size_t at, std::size_t end, ParamRules rules) {
    if (at >= end || StartsInlineString(rules, bytes[at])) return std::nullopt;
    const auto type = static_cast<ParamType>(bytes[at]);
    const auto index = [&] { return at + 2 < end ? static_cast<int32_t>(bytes[at + 1] | (bytes[at + 2] << 8)) : 0; };
    const auto local = [&](int64_t span) { return Touched{Variable{Variable::Scope::Local, index()}, span}; };
    const auto global = [&](int64_t span) { return Touched{Variable{Variable::Scope::Global, index()}, span}; };
    switch (type) {
        case ParamType::LocalVar: return local(1);
        case ParamType::GlobalVar: return global(kGlobalVariableBytes);
        default: break;
    }
    if (!HasTypedStrings(rules)) return std::nullopt;
    switch (type) {
        case ParamType::LocalArray:
        case ParamType::LocalString8Array:
        case ParamType::LocalString16Array: return local(kReachesOn);
        case ParamType::GlobalArray:
        case ParamType::GlobalString8Array:
        case ParamType::GlobalString16Array: return global(kReachesOn);
        case ParamType::LocalString8Var: return local(2);
        case ParamType::LocalString16Var: return local(4);
        case ParamType::GlobalString8Var: return global(8);
        case ParamType::GlobalString16Var: return global(16);
        default: return std::nullopt;
    }
}

bool Covers(const Touched& touched, const Variable& variable) {
    return touched.first.scope == variable.scope && touched.first.index <= variable.index &&
           variable.index - static_cast<int64_t>(touched.first.index) < touched.span;
}

struct Assignment {
    int32_t offset = 0;   // the instruction's
    int32_t valueAt = 0;  // its constant's parameter
    int32_t value = 0;
    bool narrow = false;  // an 8-bit constant
};

// What the walk found of one variable.
struct Uses {
    std::vector<Assignment> assignments;
    std::optional<std::string> other;  // the first use that is no assignment and no key test
};

std::string At(int32_t offset) { return HexOffsetText(offset); }

class VariableWalk {
public:
    VariableWalk(const ScriptImage& image, const OpcodeTable& table, const ScanSummary& walked,
                 const std::set<Variable>& wanted)
        : image_(image), table_(table), walked_(walked), wanted_(wanted) {}

    std::map<Variable, Uses> Run() {
        WalkScannedCode(image_, walked_, [this](ScriptReader& reader) {
            const int32_t start = reader.Position();
            const uint16_t opcode = reader.ReadOpcode();
            const OpcodeEntry* entry = table_.Find(opcode);
            if (entry == nullptr) return false;  // the scan counted it: every variable is then in doubt
            if (entry->role == OpcodeRole::SkipsData)
                reader.SkipBytes(kSkippedDataBytes);
            else
                Instruction(reader, start, opcode, *entry);
            return true;
        });
        return uses_;
    }

private:
    void Instruction(ScriptReader& reader, int32_t start, uint16_t opcode, const OpcodeEntry& entry) {
        const uint8_t* bytes = image_.Data();
        const auto end = static_cast<std::size_t>(reader.End());
        const ParamRules rules = RulesForGame(image_.game);
        const int32_t count = entry.parameterCount;
        std::vector<int32_t> constants;  // the integer constants, for the calls' argument counts
        int32_t param = 0;
        for (; count == kVariableParameterCount || param < count; ++param) {
            const auto at = static_cast<std::size_t>(reader.Position());
            const std::optional<Touched> touched = TouchedBy(bytes, at, end, rules);
            if (touched) {
                for (const Variable& variable : wanted_)
                    if (Covers(*touched, variable)) Use(variable, *touched, reader, start, opcode, entry, param);
            }
            ScriptReader value = reader;
            int32_t number = 0;
            if (value.ReadSignedParam(number)) constants.push_back(number);
            if (!reader.SkipParam()) break;  // the end of a list
        }
        ImplicitLocals(start, opcode, constants, param);
    }

    // A use of `variable` by parameter `param` of the instruction at `start`.
    void Use(const Variable& variable, const Touched& touched, const ScriptReader& reader, int32_t start,
             uint16_t opcode, const OpcodeEntry& entry, int32_t param) {
        const bool plain = touched.span == 1 ||
                           (touched.first.scope == Variable::Scope::Global && touched.span == kGlobalVariableBytes);
        if (plain && param == 0 && entry.role == OpcodeRole::VKeyTest) return;  // read as a key
        const uint16_t setter = variable.scope == Variable::Scope::Local ? kSetLocalInt : kSetGlobalInt;
        if (plain && param == 0 && opcode == setter) {
            ScriptReader value = reader;
            value.SkipParam();
            const int32_t valueAt = value.Position();
            const bool narrow = value.PeekByte() == TypeByte(ParamType::Int8);
            int32_t number = 0;
            if (value.ReadSignedParam(number)) {
                uses_[variable].assignments.push_back(Assignment{start, valueAt, number, narrow});
                return;
            }
        }
        // TRANSLATORS: an instruction of a script, put in "{variable} is also set or used by {use}".
        Other(variable, Fill(Tr("{opcode} at {offset}"), {{"opcode", OpcodeText(opcode)}, {"offset", At(start)}}));
    }

    // The calls set the first locals of what they call from their arguments.
    void ImplicitLocals(int32_t start, uint16_t opcode, const std::vector<int32_t>& constants, int32_t params) {
        int64_t set = 0;
        if (opcode == kCallFunction && constants.size() >= 2) set = constants[1];
        if (opcode == kStartNewScript) set = params - 1;  // the arguments after its label
        for (const Variable& variable : wanted_)
            if (variable.scope == Variable::Scope::Local && variable.index < set) {
                // TRANSLATORS: an instruction of a script, put in "{variable} is also set or used by {use}".
                const std::string form = Tr("the call {opcode} at {offset}");
                Other(variable, Fill(form, {{"opcode", OpcodeText(opcode)}, {"offset", At(start)}}));
            }
    }

    void Other(const Variable& variable, const std::string& what) {
        std::optional<std::string>& other = uses_[variable].other;
        if (!other) other = what;
    }

    const ScriptImage& image_;
    const OpcodeTable& table_;
    const ScanSummary& walked_;
    const std::set<Variable>& wanted_;
    std::map<Variable, Uses> uses_;
};

// Why a variable of this scope cannot be told in this kind of script, or nothing.
std::optional<std::string> OutOfScope(const Variable& variable, const ScanSummary& walked, GameId game) {
    const bool main = walked.code.headerExpected;
    const std::string name = VariableName(variable);
    if (variable.scope == Variable::Scope::Global && !main) {
        // TRANSLATORS: why a key kept in a variable cannot be told; {variable} is a script's variable, "$12" or "3@".
        return Fill(Tr("{variable} is a variable of the main script, which sets it"), {{"variable", name}});
    }
    if (variable.scope == Variable::Scope::Local && main)
        return Fill(Tr("{variable} is a local variable of one of the main script's scripts"), {{"variable", name}});
    const int32_t timers = HasTypedStrings(RulesForGame(game)) ? kSanAndreasTimers : kOlderTimers;
    if (variable.scope == Variable::Scope::Local && variable.index >= timers && variable.index < timers + kTimerCount)
        return Fill(Tr("{variable} is a timer, which the game counts up"), {{"variable", name}});
    if (walked.HasUnknown()) {
        return Fill(Tr("the walk met instructions the opcode table does not describe, which may set {variable}"),
                    {{"variable", name}});
    }
    return std::nullopt;
}

}  // namespace

void ResolveKeyVariables(const ScriptImage& image, const OpcodeTable& table, const ScanSummary& walked,
                         std::vector<KeyTest>& tests, std::size_t from) {
    std::set<Variable> wanted;
    for (std::size_t i = from; i < tests.size(); ++i) {
        KeyTest& test = tests[i];
        if (!test.KeyInVariable()) continue;
        if (const std::optional<std::string> cause = OutOfScope(test.variable, walked, image.game))
            test.unresolved = *cause;
        else
            wanted.insert(test.variable);
    }
    if (wanted.empty()) return;
    const std::map<Variable, Uses> uses = VariableWalk(image, table, walked, wanted).Run();
    for (std::size_t i = from; i < tests.size(); ++i) {
        KeyTest& test = tests[i];
        if (!test.KeyInVariable() || wanted.count(test.variable) == 0) continue;
        const std::string name = VariableName(test.variable);
        const auto found = uses.find(test.variable);
        const Uses none;
        const Uses& use = found == uses.end() ? none : found->second;
        if (use.other) {
            // TRANSLATORS: {use} is an instruction, "0008 at 0x1F" or "the call 0AB1 at 0x1F".
            const std::string form = Tr("{variable} is also set or used by {use}");
            test.unresolved = Fill(form, {{"variable", name}, {"use", *use.other}});
            continue;
        }
        if (use.assignments.empty()) {
            test.unresolved = Fill(Tr("{variable} is never set to a number in this file"), {{"variable", name}});
            continue;
        }
        const Assignment& first = use.assignments.front();
        const auto differs = std::find_if(use.assignments.begin(), use.assignments.end(),
                                          [&](const Assignment& a) { return a.value != first.value; });
        if (differs != use.assignments.end()) {
            // TRANSLATORS: {first} and {second} are numbers, {firstAt} and {secondAt} offsets in the file.
            test.unresolved = Fill(Tr("{variable} is set to {first} at {firstAt} and to {second} at {secondAt}"),
                                   {{"variable", name},
                                    {"first", std::to_string(first.value)},
                                    {"firstAt", At(first.offset)},
                                    {"second", std::to_string(differs->value)},
                                    {"secondAt", At(differs->offset)}});
            continue;
        }
        test.key = first.value;
        test.wide =
            std::none_of(use.assignments.begin(), use.assignments.end(), [](const Assignment& a) { return a.narrow; });
        for (const Assignment& a : use.assignments) {
            test.setAt.push_back(a.offset);
            test.keyAt.push_back(a.valueAt);
        }
    }
}

}  // namespace morvane
