#include "opcodes/OpcodeJson.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <nlohmann/json.hpp>

#include "i18n/Translate.h"
#include "opcodes/IniLoader.h"
#include "io/ReadFile.h"

namespace morvane {

namespace {

using Json = nlohmann::json;

constexpr const char* kJsonExtension = ".json";
constexpr const char* kVariableListType = "arguments";
constexpr const char* kLabelType = "label";

// "0AB0" (four hexadecimal digits, as the libraries write ids) as an opcode.
bool ParseCommandId(const Json& id, int& opcode) {
    if (!id.is_string()) return false;
    const std::string& text = id.get_ref<const std::string&>();
    if (text.empty() || text.size() > 4) return false;
    int value = 0;
    for (const char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
        value = value * 16 + (std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::tolower(c) - 'a' + 10);
    }
    if (value > kHighestOpcode) return false;
    opcode = value;
    return true;
}

// A variable list may stand among a command's inputs or its outputs
// (0AD4 SCAN_STRING writes its values into `arguments`).
bool TakesVariableList(const Json& command) {
    for (const char* side : {"input", "output"}) {
        const auto parameters = command.find(side);
        if (parameters == command.end() || !parameters->is_array()) continue;
        for (const Json& parameter : *parameters) {
            if (!parameter.is_object()) continue;
            const auto type = parameter.find("type");
            if (type != parameter.end() && type->is_string() && *type == kVariableListType) return true;
        }
    }
    return false;
}

// The count of a command, or false when it has none that can be read.
bool ParameterCount(const Json& command, int32_t& count) {
    if (TakesVariableList(command)) {
        count = kVariableParameterCount;
        return true;
    }
    const auto numParams = command.find("num_params");
    if (numParams == command.end() || !numParams->is_number_integer()) return false;
    const auto value = numParams->get<int64_t>();
    if (value < 0 || value > INT32_MAX) return false;
    count = static_cast<int32_t>(value);
    return true;
}

// Why a file that could be read describes no opcode.
std::string NothingReadCause(const std::string& text, bool json) {
    if (text.empty()) return Tr("the file is empty");
    if (text.find('\0') != std::string::npos)
        return Tr("describes no opcode: the text is UTF-16 or not text at all (save it as ANSI or UTF-8)");
    if (json) return Tr("describes no opcode: no command with an id and a parameter count");
    if (text[0] != '[' && text.find("\n[") == std::string::npos && text.find("\r[") == std::string::npos) {
        // TRANSLATORS: the cause after an opcode file's name; "[section]" is a line of an INI file, as it is written.
        return Tr("describes no opcode: there is no [section] line");
    }
    // TRANSLATORS: the cause after an opcode file's name; "OPCODE=COUNT" is the form of an INI file's line.
    return Tr("describes no opcode: no line of its first section reads as OPCODE=COUNT");
}

// A description in the INI's form from a command's name and inputs:
// "IS_KEY_PRESSED %1d%", a label input as %Np% so it reads as an offset. The
// values of a variable list get no placeholder; they follow the text.
std::string CommandDescription(const Json& command) {
    std::string description;
    const auto name = command.find("name");
    if (name != command.end() && name->is_string()) description = name->get<std::string>();
    const auto input = command.find("input");
    if (input == command.end() || !input->is_array()) return description;
    int number = 0;
    for (const Json& parameter : *input) {
        char letter = 'd';
        if (parameter.is_object()) {
            const auto type = parameter.find("type");
            if (type != parameter.end() && type->is_string()) {
                if (*type == kVariableListType) break;
                if (*type == kLabelType) letter = 'p';
            }
        }
        description += (description.empty() ? "%" : " %") + std::to_string(++number) + letter + "%";
    }
    return description;
}

}  // namespace

Status ParseOpcodeJson(const std::string& text, GameId game, OpcodeTable& table) {
    // JSON text holds no zero byte (a string writes it \u0000); the parser
    // would take one for the end of the text and the rest for nothing.
    if (const std::size_t zero = text.find('\0'); zero != std::string::npos)
        return Failure{Fill(Tr("not valid JSON: a zero byte at offset {offset}"), {{"offset", std::to_string(zero)}})};
    const Json document = Json::parse(text, nullptr, /*allow_exceptions=*/false);
    if (document.is_discarded()) return Failure{Tr("not valid JSON")};
    if (!document.is_object()) return Failure{Tr("not a command library: the top level is not an object")};
    const auto extensions = document.find("extensions");
    if (extensions == document.end() || !extensions->is_array()) {
        // TRANSLATORS: "extensions" is a key of a JSON file, as it is written.
        return Failure{Tr("not a command library: no \"extensions\" list")};
    }
    OpcodeTable loaded;
    loaded.Reset(game);
    for (const Json& extension : *extensions) {
        if (!extension.is_object()) continue;
        const auto commands = extension.find("commands");
        if (commands == extension.end() || !commands->is_array()) continue;
        for (const Json& command : *commands) {
            if (!command.is_object()) continue;
            int opcode = 0;
            int32_t count = 0;
            const auto id = command.find("id");
            if (id == command.end() || !ParseCommandId(*id, opcode) || !ParameterCount(command, count)) continue;
            loaded.Set(opcode, count, CommandDescription(command));
        }
    }
    table = std::move(loaded);
    return {};
}

bool IsOpcodeJsonPath(const std::string& path) {
    const std::size_t length = std::strlen(kJsonExtension);
    if (path.size() < length) return false;
    for (std::size_t i = 0; i < length; ++i)
        if (std::tolower(static_cast<unsigned char>(path[path.size() - length + i])) != kJsonExtension[i]) return false;
    return true;
}

Status LoadOpcodeFile(const std::string& path, GameId game, OpcodeTable& table) {
    const Result<std::string> read = ReadWholeFile(path, kLargestOpcodeFile);
    if (!read) return Failure{read.Cause()};
    const std::string& text = *read;
    OpcodeTable loaded;
    if (IsOpcodeJsonPath(path)) {
        Status parsed = ParseOpcodeJson(text, game, loaded);
        if (!parsed) return parsed;
    } else {
        ParseOpcodeIni(text, game, loaded);
    }
    if (loaded.KnownCount() == 0) return Failure{NothingReadCause(text, IsOpcodeJsonPath(path))};
    table = std::move(loaded);
    return {};
}

}  // namespace morvane
