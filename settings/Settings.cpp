#include "settings/Settings.h"

#include <cstdint>
#include <cstdlib>

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

std::optional<GameId> ReadSavedGameFile(const std::string& path, std::string& problem) {
    problem.clear();
    const Result<std::string> text = ReadWholeFile(path, kLargestSettingsFile);
    if (!text) {
        if (text.Cause() != kNotFoundCause) problem = text.Cause();
        return std::nullopt;
    }
    return ParseSavedGame(*text);
}

std::optional<GameId> ReadSavedGame(std::string& problem) { return ReadSavedGameFile(kSettingsFileName, problem); }

GameId LoadSavedGame(std::string& problem) { return ReadSavedGame(problem).value_or(kGameGta3); }

std::string FormatSavedGame(GameId game) { return std::to_string(GameNumber(game)); }

}  // namespace morvane
