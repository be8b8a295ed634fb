#include "i18n/Catalog.h"

#include <algorithm>
#include <cctype>

#include "io/ReadFile.h"
#include "io/Utf8Text.h"

namespace morvane {

namespace {

constexpr std::uint32_t kMoMagic = 0x950412de;
constexpr std::uint32_t kMoMagicSwapped = 0xde120495;
constexpr std::size_t kMoHeaderSize = 28;  // magic, revision, count, two table offsets, hash size and offset
constexpr char kContextEnd = '\x04';       // between a context and its text

class MoReader {
public:
    MoReader(std::string_view bytes, bool swapped) : bytes_(bytes), swapped_(swapped) {}

    bool Word(std::size_t at, std::uint32_t& value) const {
        if (at > bytes_.size() || bytes_.size() - at < 4) return false;
        const auto byte = [&](std::size_t i) {
            return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes_[at + i]));
        };
        value = swapped_ ? byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3)
                         : byte(3) << 24 | byte(2) << 16 | byte(1) << 8 | byte(0);
        return true;
    }
    // The string of entry `index` of the table at `table`: its length, then
    // its offset.
    bool String(std::uint32_t table, std::uint32_t index, std::string_view& text) const {
        std::uint32_t length = 0;
        std::uint32_t offset = 0;
        const std::size_t entry = static_cast<std::size_t>(table) + static_cast<std::size_t>(index) * 8;
        if (!Word(entry, length) || !Word(entry + 4, offset)) return false;
        if (offset > bytes_.size() || bytes_.size() - offset < length) return false;
        text = bytes_.substr(offset, length);
        return true;
    }

private:
    std::string_view bytes_;
    bool swapped_;
};

// The forms of a translation, which NUL bytes part.
std::vector<std::string> Forms(std::string_view text) {
    std::vector<std::string> forms;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find('\0', start);
        forms.emplace_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return forms;
}

// The value of a header field ("Plural-Forms: ..."), to its line's end.
std::string_view HeaderField(std::string_view header, std::string_view name) {
    for (std::size_t line = 0; line < header.size();) {
        std::size_t end = header.find('\n', line);
        if (end == std::string_view::npos) end = header.size();
        const std::string_view text = header.substr(line, end - line);
        if (text.substr(0, name.size()) == name && text.size() > name.size() && text[name.size()] == ':')
            return text.substr(name.size() + 1);
        line = end + 1;
    }
    return {};
}

}  // namespace

std::string Catalog::Key(std::string_view context, std::string_view text) {
    std::string key;
    if (!context.empty()) {
        key.append(context);
        key += kContextEnd;
    }
    key.append(text);
    return key;
}

Result<Catalog> Catalog::FromMo(std::string_view bytes) {
    std::uint32_t magic = 0;
    if (!MoReader(bytes, false).Word(0, magic) || (magic != kMoMagic && magic != kMoMagicSwapped))
        return Failure{"is not a message catalog"};
    const MoReader reader(bytes, magic == kMoMagicSwapped);
    std::uint32_t count = 0;
    std::uint32_t originals = 0;
    std::uint32_t translations = 0;
    if (bytes.size() < kMoHeaderSize || !reader.Word(8, count) || !reader.Word(12, originals) ||
        !reader.Word(16, translations))
        return Failure{"is cut short"};
    if (count > bytes.size() / 16) return Failure{"is cut short"};
    Catalog catalog;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::string_view original;
        std::string_view translation;
        if (!reader.String(originals, i, original) || !reader.String(translations, i, translation))
            return Failure{"is cut short"};
        if (original.empty()) {
            // Texts are shown as UTF-8: a catalog in another encoding is refused.
            const std::string_view type = HeaderField(translation, "Content-Type");
            const std::size_t charset = type.find("charset=");
            if (charset != std::string_view::npos) {
                std::string name(type.substr(charset + 8));
                name.erase(std::find_if(name.begin(), name.end(), [](char c) { return c == ';' || c == ' '; }),
                           name.end());
                std::string folded = name;
                for (char& c : folded) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
                if (folded != "UTF-8" && folded != "UTF8") return Failure{"is not in UTF-8 (charset " + name + ")"};
            }
            const std::string_view rule = HeaderField(translation, "Plural-Forms");
            if (!rule.empty()) {
                Result<PluralRule> parsed = PluralRule::Parse(rule);
                if (!parsed) return Failure{"has " + parsed.Cause()};
                catalog.rule_ = std::move(*parsed);
            }
            continue;
        }
        if (!IsValidUtf8(std::string(translation))) return Failure{"holds text that is not UTF-8"};
        // A counted text is its English forms one and other: the first names it.
        const std::size_t one = original.find('\0');
        std::vector<std::string> forms = Forms(translation);
        bool empty = true;
        for (const std::string& form : forms) empty = empty && form.empty();
        if (empty) continue;
        catalog.entries_[std::string(original.substr(0, one))] = std::move(forms);
    }
    return catalog;
}

Result<Catalog> Catalog::Load(const std::string& path) {
    Result<std::string> bytes = ReadWholeFile(path, kLargestCatalog);
    if (!bytes) return Failure{bytes.Cause()};
    return FromMo(*bytes);
}

const std::string* Catalog::Find(std::string_view context, std::string_view text) const {
    const auto found = entries_.find(Key(context, text));
    if (found == entries_.end() || found->second.front().empty()) return nullptr;
    return &found->second.front();
}

const std::string* Catalog::FindForm(std::string_view one, std::uint64_t count) const {
    const auto found = entries_.find(std::string(one));
    if (found == entries_.end()) return nullptr;
    const auto form = static_cast<std::size_t>(rule_.FormOf(count));
    if (form >= found->second.size() || found->second[form].empty()) return nullptr;
    return &found->second[form];
}

}  // namespace morvane
