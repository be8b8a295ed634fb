#include "script/ScriptReader.h"

#include <algorithm>

#include "io/LittleEndian.h"

namespace morvane {

namespace {

constexpr int kInt8Width = 1;
constexpr int kInt16Width = 2;
constexpr int kInt32Width = 4;

}  // namespace

bool ScriptReader::LimitTo(int64_t end) {
    if (end < 0 || end > static_cast<int64_t>(size_)) return false;
    end_ = static_cast<std::size_t>(end);
    if (at_ > end_) at_ = end_;
    return true;
}

bool ScriptReader::Seek(int64_t offset) {
    if (offset < 0 || offset > End()) return false;
    at_ = static_cast<std::size_t>(offset);
    return true;
}

bool ScriptReader::IntegerPayload(std::size_t& payload, int& width, uint8_t& typeByte) {
    if (!Inside()) return false;
    const std::size_t typePosition = at_;
    typeByte = bytes_[at_++];
    switch (static_cast<ParamType>(typeByte)) {
        case ParamType::Int8: width = kInt8Width; break;
        case ParamType::Int16: width = kInt16Width; break;
        case ParamType::Int32: width = kInt32Width; break;
        default:
            at_ = typePosition;
            SkipParam();
            return false;
    }
    // The payload's last byte must lie inside; otherwise the position stays
    // one byte past the type byte.
    if (Remaining() < width) return false;
    payload = at_;
    return true;
}

bool ScriptReader::ReadIntParam(int32_t& value, Extension extension) {
    std::size_t at = 0;
    int width = 0;
    uint8_t typeByte = 0;
    if (!IntegerPayload(at, width, typeByte)) return false;
    const uint8_t* payload = bytes_ + at;
    const bool zero = extension == Extension::Zero;
    switch (static_cast<ParamType>(typeByte)) {
        case ParamType::Int8:
            value = zero ? static_cast<int32_t>(payload[0]) : static_cast<int32_t>(static_cast<int8_t>(payload[0]));
            break;
        case ParamType::Int16: {
            const uint16_t word = ReadLe16(payload);
            value = zero ? static_cast<int32_t>(word) : static_cast<int32_t>(static_cast<int16_t>(word));
            break;
        }
        default: value = static_cast<int32_t>(ReadLe32(payload)); break;
    }
    at_ += static_cast<std::size_t>(width);
    return true;
}

bool ScriptReader::ReadVariableParam(Variable& variable) {
    if (!Inside()) return false;
    const auto type = static_cast<ParamType>(bytes_[at_]);
    const bool local = type == ParamType::LocalVar;
    if ((!local && type != ParamType::GlobalVar) || StartsInlineString(RulesForGame(game_), bytes_[at_])) {
        SkipParam();
        return false;
    }
    if (Remaining() < 1 + kInt16Width) {
        at_ = end_;
        return false;
    }
    variable.scope = local ? Variable::Scope::Local : Variable::Scope::Global;
    variable.index = ReadLe16(bytes_ + at_ + 1);
    at_ += 1 + kInt16Width;
    return true;
}

std::string VariableName(const Variable& variable) {
    switch (variable.scope) {
        case Variable::Scope::Local: return std::to_string(variable.index) + "@";
        case Variable::Scope::Global:
            // A global variable's parameter is its byte offset, four bytes a variable.
            return variable.index % kGlobalVariableBytes == 0
                       ? "$" + std::to_string(variable.index / kGlobalVariableBytes)
                       : "&" + std::to_string(variable.index);
        case Variable::Scope::None: break;
    }
    return std::string();
}

bool ScriptReader::StringPayload(std::size_t& payload, int& length, StringForm& form) {
    if (!Inside()) return false;
    const std::optional<StringForm> found = StringFormOf(RulesForGame(game_), bytes_[at_]);
    if (!found) {
        SkipParam();
        return false;
    }
    form = *found;
    const int header = StringHeaderSize(form);
    if (form == StringForm::LengthPrefixed)
        length = Remaining() >= header ? bytes_[at_ + 1] : 0;
    else
        length = FixedStringBytes(form);
    if (Remaining() < header + length) {
        at_ = end_;
        return false;
    }
    at_ += static_cast<std::size_t>(header);
    payload = at_;
    return true;
}

bool ScriptReader::ReadStringParam(StringConstant& value) {
    std::size_t at = 0;
    int length = 0;
    StringForm form = StringForm::Fixed8;
    if (!StringPayload(at, length, form)) return false;
    const uint8_t* first = bytes_ + at;
    const auto last = first + length;
    value.form = form;
    if (form == StringForm::LengthPrefixed) {
        value.text.assign(first, last);
        value.room = length;
    } else {
        value.text.assign(first, std::find(first, last, 0));
        value.room = FixedStringRoom(form);
    }
    at_ += static_cast<std::size_t>(length);
    return true;
}

bool ScriptReader::SkipHeader() {
    const int links = HeaderLinksFor(game_);
    for (int link = 0; link < links; ++link) {
        int32_t target = 0;
        if (ReadOpcode() != kJumpOpcode || !ReadSignedParam(target) || target < 0 || target >= End()) {
            at_ = 0;
            return false;
        }
        at_ = static_cast<std::size_t>(target);
    }
    return true;
}

}  // namespace morvane
