#include "i18n/Translate.h"

#include <memory>

#include "i18n/Catalog.h"
#include "i18n/Language.h"
#include "io/ReadFile.h"

namespace morvane {

namespace {

// The catalog in use, set at start-up (or when the language changes) before
// the texts are read; none for English.
std::shared_ptr<const Catalog>& Current() {
    static std::shared_ptr<const Catalog> catalog;
    return catalog;
}
std::string& CurrentCode() {
    static std::string code = kEnglish;
    return code;
}
thread_local bool inEnglish = false;

const Catalog* Used() { return inEnglish ? nullptr : Current().get(); }

}  // namespace

std::string Tr(const char* text) { return TrC("", text); }
std::string Tr(const std::string& text) { return TrC("", text); }

std::string TrC(const char* context, const std::string& text) {
    const Catalog* catalog = Used();
    const std::string* found = catalog != nullptr ? catalog->Find(context, text) : nullptr;
    return found != nullptr ? *found : text;
}

std::string TrN(const char* one, const char* other, std::uint64_t count) {
    const Catalog* catalog = Used();
    const std::string* found = catalog != nullptr ? catalog->FindForm(one, count) : nullptr;
    if (found != nullptr) return *found;
    return count == 1 ? one : other;
}

std::string Fill(std::string_view text, std::initializer_list<std::pair<std::string_view, std::string>> values) {
    std::string filled;
    filled.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t open = text.find('{', at);
        if (open == std::string_view::npos) {
            filled.append(text.substr(at));
            break;
        }
        filled.append(text.substr(at, open - at));
        const std::size_t close = text.find('}', open);
        const std::pair<std::string_view, std::string>* value = nullptr;
        if (close != std::string_view::npos)
            for (const auto& pair : values)
                if (pair.first == text.substr(open + 1, close - open - 1)) value = &pair;
        if (value == nullptr) {
            filled += '{';
            at = open + 1;
        } else {
            filled += value->second;
            at = close + 1;
        }
    }
    return filled;
}

EnglishTexts::EnglishTexts() : before_(inEnglish) { inEnglish = true; }
bool EnglishTexts::Active() { return inEnglish; }
EnglishTexts::~EnglishTexts() { inEnglish = before_; }

Result<void> UseLanguage(const std::string& code, const std::vector<std::string>& folders) {
    Current().reset();
    CurrentCode() = kEnglish;
    if (code == kEnglish) return {};
    // The first catalog found is the one: a bad one is worth a message (and
    // leaves English), not passed over for another; none at all (a program
    // copied without its folders) only means English.
    for (const std::string& folder : folders) {
        const std::string path = CatalogPath(folder, code);
        Result<Catalog> catalog = Catalog::Load(path);
        if (catalog) {
            Current() = std::make_shared<const Catalog>(std::move(*catalog));
            CurrentCode() = code;
            return {};
        }
        if (catalog.Cause() != kNotFoundCause) return Failure{path + ": " + catalog.Cause()};
    }
    return {};
}

std::string CurrentLanguage() { return CurrentCode(); }

}  // namespace morvane
