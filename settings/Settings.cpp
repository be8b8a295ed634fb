#include "settings/Settings.h"

#include <cstdint>
#include <cstdlib>

#include "i18n/Translate.h"
#include "io/ReadFile.h"

namespace morvane {

namespace {

constexpr int kSavedGameBase = 16;

bool IsWordSeparator(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

GameId ParseSavedGame(const std::string& text) {
    std::size_t begin = 0;
    while (begin < text.size() && IsWordSeparator(text[begin])) ++begin;
    std::size_t end = begin;
    while (end < text.size() && !IsWordSeparator(text[end])) ++end;
    const std::string word = text.substr(begin, end - begin);
    const auto value = static_cast<uint8_t>(std::strtoul(word.c_str(), nullptr, kSavedGameBase));
    return GameFromNumber(value).value_or(kGameGta3);
}

Result<std::optional<GameId>> ReadSavedGameFile(const std::string& path) {
    const Result<std::string> text = ReadWholeFile(path, kLargestSettingsFile);
    if (!text && text.Cause() == Tr(kNotFoundCause)) return std::optional<GameId>();
    if (!text) return Failure{text.Cause()};
    return std::optional<GameId>(ParseSavedGame(*text));
}

Result<std::optional<GameId>> ReadSavedGame() { return ReadSavedGameFile(kSettingsFileName); }

std::string FormatSavedGame(GameId game) { return std::to_string(GameNumber(game)); }

}  // namespace morvane
