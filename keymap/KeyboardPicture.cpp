#include "keymap/KeyboardPicture.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <set>

#include "io/Utf8Text.h"
#include "keys/KeyNames.h"
#include "keys/KeyRules.h"

namespace morvane {

// clang-format off
const Rgb kPictureBackground{0xFF, 0xFF, 0xFF};
const Rgb kPictureText{0x1A, 0x1A, 0x1A};
const Rgb kPictureQuietText{0x44, 0x44, 0x44};
const Rgb kDiscFill{0xFF, 0xFF, 0xFF};
// clang-format on

KeyShade ShadeOf(std::size_t scripts) {
    return scripts == 0 ? KeyShade::Free : scripts == 1 ? KeyShade::One : KeyShade::Conflict;
}

const ShadeColours& ColoursOf(KeyShade shade) {
    // Light grey, sky blue, vermilion; the outline a darker tone of the fill.
    static const ShadeColours kFree{{0xF2, 0xF2, 0xF2}, {0xB3, 0xB3, 0xB3}, 1, {0x77, 0x77, 0x77}, false, kPictureText};
    static const ShadeColours kOne{{0x56, 0xB4, 0xE9}, {0x1F, 0x5F, 0x87}, 1, kPictureText, false, kPictureText};
    static const ShadeColours kConflict{{0xD5, 0x5E, 0x00}, {0x5C, 0x28, 0x00}, 2, {0xFF, 0xFF, 0xFF}, true,
                                        {0x5C, 0x28, 0x00}};
    switch (shade) {
        case KeyShade::Free: return kFree;
        case KeyShade::One: return kOne;
        case KeyShade::Conflict: return kConflict;
    }
    return kFree;
}

const TextLook& LookOf(TextStyle style) {
    static const TextLook kTitle{20, true, TextAnchor::Start};
    static const TextLook kQuiet{13, false, TextAnchor::Start};
    static const TextLook kSection{13, true, TextAnchor::Start};
    static const TextLook kLabel{12, false, TextAnchor::Middle};
    static const TextLook kSmall{10, false, TextAnchor::Middle};
    static const TextLook kCount{12, true, TextAnchor::End};
    switch (style) {
        case TextStyle::Title: return kTitle;
        case TextStyle::Quiet: return kQuiet;
        case TextStyle::Section: return kSection;
        case TextStyle::Label: return kLabel;
        case TextStyle::Small: return kSmall;
        case TextStyle::Count: return kCount;
    }
    return kQuiet;
}

const PictureKey* KeyboardPicture::KeyAt(double x, double y) const {
    for (const PictureKey& key : keys)
        if (key.box.Contains(x, y)) return &key;
    return nullptr;
}

namespace {

// ---- the keyboard: positions in key widths, US labels, virtual-key codes ----

struct Cap {
    double x, y, w, h;
    const char* label;
    int32_t code;
};

constexpr double kMainTop = 1.5;   // the function row is half a key above the rest
constexpr double kMouseLeft = 23;  // the mouse's buttons, right of the numeric pad
// A section's title stands this share of a key above the keys it names.
constexpr double kTitleAboveKeys = 0.25;

// clang-format off
const Cap kKeyboard[] = {
    // function row
    {0, 0, 1, 1, "Esc", 0x1B},
    {2, 0, 1, 1, "F1", 0x70}, {3, 0, 1, 1, "F2", 0x71}, {4, 0, 1, 1, "F3", 0x72}, {5, 0, 1, 1, "F4", 0x73},
    {6.5, 0, 1, 1, "F5", 0x74}, {7.5, 0, 1, 1, "F6", 0x75}, {8.5, 0, 1, 1, "F7", 0x76}, {9.5, 0, 1, 1, "F8", 0x77},
    {11, 0, 1, 1, "F9", 0x78}, {12, 0, 1, 1, "F10", 0x79}, {13, 0, 1, 1, "F11", 0x7A}, {14, 0, 1, 1, "F12", 0x7B},
    {15.25, 0, 1, 1, "PrtSc", 0x2C}, {16.25, 0, 1, 1, "ScrLk", 0x91}, {17.25, 0, 1, 1, "Pause", 0x13},
    // number row
    {0, 1.5, 1, 1, "`", 0xC0}, {1, 1.5, 1, 1, "1", 0x31}, {2, 1.5, 1, 1, "2", 0x32}, {3, 1.5, 1, 1, "3", 0x33},
    {4, 1.5, 1, 1, "4", 0x34}, {5, 1.5, 1, 1, "5", 0x35}, {6, 1.5, 1, 1, "6", 0x36}, {7, 1.5, 1, 1, "7", 0x37},
    {8, 1.5, 1, 1, "8", 0x38}, {9, 1.5, 1, 1, "9", 0x39}, {10, 1.5, 1, 1, "0", 0x30}, {11, 1.5, 1, 1, "-", 0xBD},
    {12, 1.5, 1, 1, "=", 0xBB}, {13, 1.5, 2, 1, "Backspace", 0x08},
    // top letter row
    {0, 2.5, 1.5, 1, "Tab", 0x09}, {1.5, 2.5, 1, 1, "Q", 0x51}, {2.5, 2.5, 1, 1, "W", 0x57}, {3.5, 2.5, 1, 1, "E", 0x45},
    {4.5, 2.5, 1, 1, "R", 0x52}, {5.5, 2.5, 1, 1, "T", 0x54}, {6.5, 2.5, 1, 1, "Y", 0x59}, {7.5, 2.5, 1, 1, "U", 0x55},
    {8.5, 2.5, 1, 1, "I", 0x49}, {9.5, 2.5, 1, 1, "O", 0x4F}, {10.5, 2.5, 1, 1, "P", 0x50}, {11.5, 2.5, 1, 1, "[", 0xDB},
    {12.5, 2.5, 1, 1, "]", 0xDD}, {13.5, 2.5, 1.5, 1, "\\", 0xDC},
    // home row
    {0, 3.5, 1.75, 1, "Caps Lock", 0x14}, {1.75, 3.5, 1, 1, "A", 0x41}, {2.75, 3.5, 1, 1, "S", 0x53},
    {3.75, 3.5, 1, 1, "D", 0x44}, {4.75, 3.5, 1, 1, "F", 0x46}, {5.75, 3.5, 1, 1, "G", 0x47}, {6.75, 3.5, 1, 1, "H", 0x48},
    {7.75, 3.5, 1, 1, "J", 0x4A}, {8.75, 3.5, 1, 1, "K", 0x4B}, {9.75, 3.5, 1, 1, "L", 0x4C}, {10.75, 3.5, 1, 1, ";", 0xBA},
    {11.75, 3.5, 1, 1, "'", 0xDE}, {12.75, 3.5, 2.25, 1, "Enter", 0x0D},
    // bottom letter row
    {0, 4.5, 2.25, 1, "Shift", 0xA0}, {2.25, 4.5, 1, 1, "Z", 0x5A}, {3.25, 4.5, 1, 1, "X", 0x58},
    {4.25, 4.5, 1, 1, "C", 0x43}, {5.25, 4.5, 1, 1, "V", 0x56}, {6.25, 4.5, 1, 1, "B", 0x42}, {7.25, 4.5, 1, 1, "N", 0x4E},
    {8.25, 4.5, 1, 1, "M", 0x4D}, {9.25, 4.5, 1, 1, ",", 0xBC}, {10.25, 4.5, 1, 1, ".", 0xBE}, {11.25, 4.5, 1, 1, "/", 0xBF},
    {12.25, 4.5, 2.75, 1, "Shift", 0xA1},
    // space row
    {0, 5.5, 1.25, 1, "Ctrl", 0xA2}, {1.25, 5.5, 1.25, 1, "Win", 0x5B}, {2.5, 5.5, 1.25, 1, "Alt", 0xA4},
    {3.75, 5.5, 6.25, 1, "Space", 0x20}, {10, 5.5, 1.25, 1, "Alt", 0xA5}, {11.25, 5.5, 1.25, 1, "Win", 0x5C},
    {12.5, 5.5, 1.25, 1, "Menu", 0x5D}, {13.75, 5.5, 1.25, 1, "Ctrl", 0xA3},
    // navigation block
    {15.25, 1.5, 1, 1, "Ins", 0x2D}, {16.25, 1.5, 1, 1, "Home", 0x24}, {17.25, 1.5, 1, 1, "PgUp", 0x21},
    {15.25, 2.5, 1, 1, "Del", 0x2E}, {16.25, 2.5, 1, 1, "End", 0x23}, {17.25, 2.5, 1, 1, "PgDn", 0x22},
    {16.25, 4.5, 1, 1, "\xE2\x86\x91", 0x26}, {15.25, 5.5, 1, 1, "\xE2\x86\x90", 0x25},
    {16.25, 5.5, 1, 1, "\xE2\x86\x93", 0x28}, {17.25, 5.5, 1, 1, "\xE2\x86\x92", 0x27},
    // numeric pad
    {18.5, 1.5, 1, 1, "Num", 0x90}, {19.5, 1.5, 1, 1, "/", 0x6F}, {20.5, 1.5, 1, 1, "*", 0x6A}, {21.5, 1.5, 1, 1, "-", 0x6D},
    {18.5, 2.5, 1, 1, "7", 0x67}, {19.5, 2.5, 1, 1, "8", 0x68}, {20.5, 2.5, 1, 1, "9", 0x69}, {21.5, 2.5, 1, 2, "+", 0x6B},
    {18.5, 3.5, 1, 1, "4", 0x64}, {19.5, 3.5, 1, 1, "5", 0x65}, {20.5, 3.5, 1, 1, "6", 0x66},
    {18.5, 4.5, 1, 1, "1", 0x61}, {19.5, 4.5, 1, 1, "2", 0x62}, {20.5, 4.5, 1, 1, "3", 0x63}, {21.5, 4.5, 1, 2, "Enter", 0x0D},
    {18.5, 5.5, 2, 1, "0", 0x60}, {20.5, 5.5, 1, 1, ".", 0x6E},
    // the mouse, beside the keyboard
    {23, 1.5, 2.5, 1, "Mouse 1 left", 0x01}, {23, 2.5, 2.5, 1, "Mouse 2 right", 0x02},
    {23, 3.5, 2.5, 1, "Mouse 3 middle", 0x04}, {23, 4.5, 2.5, 1, "Mouse 4 back", 0x05},
    {23, 5.5, 2.5, 1, "Mouse 5 forward", 0x06},
};
// clang-format on

constexpr double kKeyboardUnits = 25.5;  // the width of the keyboard and the mouse, in keys
constexpr double kKeyboardRows = 6.5;

// A Shift, Ctrl or Alt key of one side also raises the code that stands for
// either side; the code, or -1 for any other key.
int32_t EitherSideCode(int32_t code) {
    switch (code) {
        case 0xA0:
        case 0xA1: return 0x10;  // Shift
        case 0xA2:
        case 0xA3: return 0x11;  // Ctrl
        case 0xA4:
        case 0xA5: return 0x12;  // Alt (VK_MENU)
        default: return -1;
    }
}

bool OnKeyboard(int32_t code) {
    if (code == 0x10 || code == 0x11 || code == 0x12) return true;
    return std::any_of(std::begin(kKeyboard), std::end(kKeyboard), [&](const Cap& cap) { return cap.code == code; });
}

// ---- the layout ----

constexpr double kUnit = 44;  // a key's width in pixels, gap included
constexpr double kGap = 4;    // between two keys
constexpr double kMargin = 20;
constexpr double kHeadingHeight = 96;
constexpr double kSectionTitle = 26;
constexpr double kChipHeight = 40;
constexpr int kChipsPerRow = 10;
constexpr double kWidth = kMargin * 2 + kKeyboardUnits * kUnit;
// The list of cheat codes beside the keyboard, drawn only when some script
// tests a code: its width, in keys.
constexpr double kCheatColumnUnits = 6;
constexpr double kKeyCorner = 5;
constexpr double kSwatchCorner = 4;
constexpr double kDiscRadius = 8;
// Room between the keyboard and the keys it lacks, and under each section of chips.
constexpr double kAfterKeyboard = 12;
constexpr double kAfterSection = 8;
// A key's labels: the first baseline below its top (one line, or the first
// of two), the lines' spacing (a small label, or one of the key's size).
constexpr double kLabelBaseline = 16;
constexpr double kFirstOfTwoBaseline = 13;
constexpr double kSmallLineHeight = 11;
constexpr double kLineHeight = 13;
// A key narrower than this share of a unit, or lower than a unit's room,
// takes the small labels.
constexpr double kNarrowKeyShare = 0.95;
// The number of scripts: its centre this far in from the key's bottom right
// corner, and its text's end and baseline from there.
constexpr double kCountInset = 10;
constexpr double kCountInDiscX = 3.5;
constexpr double kCountBaselineDrop = 4;
constexpr double kCountWithoutDiscRight = 5;
// The heading: baselines of the title, the totals and the legend's texts
// below its top, and the legend's swatches.
constexpr double kTitleBaseline = 18;
constexpr double kTotalsBaseline = 40;
constexpr double kLegendTop = 56;
constexpr double kLegendTextBaseline = 16;
constexpr double kSwatchWidth = 26;
constexpr double kSwatchHeight = 22;
constexpr double kSwatchToText = 34;
constexpr double kLegendCharacterWidth = 7.0;  // what a character of its text takes, about
constexpr double kLegendSpacing = 24;
// A section's title baseline below the section's top.
constexpr double kSectionBaseline = 16;
// The longest chip name on one line, in characters.
constexpr std::size_t kLongestChipLine = 16;

std::string Plural(std::size_t count, const char* one, const char* many) {
    return morvane::Plural(static_cast<int64_t>(count), one, many);
}

// The keys a cap or chip stands for, and the scripts that test any of them.
struct Tested {
    std::vector<const KeyEntry*> entries;
    std::set<std::size_t> scripts;

    void Add(const KeyEntry* entry) {
        if (entry == nullptr) return;
        entries.push_back(entry);
        for (const KeyUse& use : entry->uses) scripts.insert(use.script);
    }
};

class Layout {
public:
    Layout(const KeyMap& map, const KeyboardCaption& caption) : map_(map), caption_(caption) {}

    KeyboardPicture Make() {
        picture_.title = ValidUtf8("Key map of " + caption_.folder);
        double y = kMargin;
        Heading(y);
        y += kHeadingHeight;
        const double cheatsBottom = CheatCodes(y);
        Keyboard(y);
        y += kKeyboardRows * kUnit + kAfterKeyboard;
        y = OtherKeys(y);
        for (int32_t pad = 0; pad <= kHighestPad; ++pad) y = PadButtons(y, pad);
        y = std::max(y, cheatsBottom);
        picture_.height = y + kMargin - kGap;
        picture_.width = HasCheatCodes() ? kWidth + kCheatColumnUnits * kUnit : kWidth;
        return std::move(picture_);
    }

private:
    void Text(double x, double y, TextStyle style, const std::string& text) {
        picture_.texts.push_back(PictureText{x, y, style, ValidUtf8(text)});
    }

    // A key or chip: its box in its colour, its tooltip, its label lines and
    // the number of scripts.
    void Key(double x, double y, double w, double h, const std::vector<std::string>& lines, const Tested& tested,
             const std::string& tooltip) {
        PictureKey key;
        key.box = PictureBox{x, y, w, h, kKeyCorner};
        key.scripts = tested.scripts.size();
        key.shade = ShadeOf(key.scripts);
        key.tooltip = ValidUtf8(tooltip);
        const bool small = lines.size() > 1 || w < kUnit * kNarrowKeyShare || h < kUnit - kGap;
        const double lineHeight = small ? kSmallLineHeight : kLineHeight;
        double ty = y + (lines.size() > 1 ? kFirstOfTwoBaseline : kLabelBaseline);
        for (const std::string& line : lines) {
            key.labels.push_back(
                PictureText{x + w / 2, ty, small ? TextStyle::Small : TextStyle::Label, ValidUtf8(line)});
            ty += lineHeight;
        }
        if (key.scripts >= 1) {
            const double cx = x + w - kCountInset;
            const double cy = y + h - kCountInset;
            key.hasDisc = key.scripts >= 2;
            key.discX = cx;
            key.discY = cy;
            key.discRadius = key.hasDisc ? kDiscRadius : 0;
            key.hasCount = true;
            key.count = PictureText{key.hasDisc ? cx + kCountInDiscX : x + w - kCountWithoutDiscRight,
                                    cy + kCountBaselineDrop, TextStyle::Count, std::to_string(key.scripts)};
        }
        picture_.keys.push_back(std::move(key));
    }

    std::string Tooltip(const std::string& heading, const Tested& tested) const {
        std::string text = heading;
        if (tested.scripts.empty()) return text + "\nno script tests it";
        text += "\n" + Plural(tested.scripts.size(), "script", "scripts") +
                (tested.scripts.size() >= 2 ? ", a conflict:" : ":");
        for (const KeyEntry* entry : tested.entries) {
            if (tested.entries.size() > 1) text += "\n" + KeyHeading(entry->key) + ":";
            for (const KeyUse& use : entry->uses)
                text += "\n  " + map_.scripts[use.script].path + " (" +
                        Plural(static_cast<std::size_t>(use.tests), "test", "tests") + ")";
        }
        return text;
    }

    void Heading(double y) {
        Text(kMargin, y + kTitleBaseline, TextStyle::Title, "Key map of " + caption_.folder);
        std::size_t incomplete = 0, unread = 0;
        for (const ScriptKeys& script : map_.scripts) {
            if (!script.read)
                ++unread;
            else if (script.IsIncomplete())
                ++incomplete;
        }
        const std::size_t codes = CheatEntries().size();
        std::string totals = caption_.date + "  \xC2\xB7  " +
                             Plural(map_.scripts.size() - unread, "script", "scripts") + ", " +
                             Plural(map_.keys.size() - codes, "key", "keys") +
                             (codes > 0 ? " and " + Plural(codes, "cheat code", "cheat codes") : std::string()) +
                             " tested, " + Plural(map_.ConflictCount(), "conflict", "conflicts");
        if (incomplete > 0) totals += "; " + std::to_string(incomplete) + " may test more (unknown instructions)";
        if (unread > 0) totals += "; " + std::to_string(unread) + " could not be read";
        Text(kMargin, y + kTotalsBaseline, TextStyle::Quiet, totals);

        // The legend.
        const double ly = y + kLegendTop;
        const struct {
            KeyShade shade;
            const char* text;
        } kLegend[] = {{KeyShade::Free, "no script"},
                       {KeyShade::One, "one script"},
                       {KeyShade::Conflict, "two or more: a conflict"}};
        double lx = kMargin;
        for (const auto& item : kLegend) {
            picture_.legend.push_back(
                PictureSwatch{PictureBox{lx, ly, kSwatchWidth, kSwatchHeight, kSwatchCorner}, item.shade,
                              PictureText{lx + kSwatchToText, ly + kLegendTextBaseline, TextStyle::Quiet, item.text}});
            lx += kSwatchToText + kLegendCharacterWidth * static_cast<double>(std::string(item.text).size()) +
                  kLegendSpacing;
        }
        Text(lx, ly + kLegendTextBaseline, TextStyle::Quiet,
             "The number on a key: how many scripts test it. Hover a key for the scripts.");
    }

    void Keyboard(double top) {
        const double mouseLabelY = top + (kMainTop - kTitleAboveKeys) * kUnit;
        Text(kMargin + kMouseLeft * kUnit, mouseLabelY, TextStyle::Section, "Mouse");
        for (const Cap& cap : kKeyboard) {
            Tested tested;
            tested.Add(map_.Find(TestedKey::VKey(cap.code)));
            const int32_t either = EitherSideCode(cap.code);
            if (either >= 0) tested.Add(map_.Find(TestedKey::VKey(either)));
            const std::string heading = cap.label + std::string(" (VKey ") + std::to_string(cap.code) +
                                        (either >= 0 ? ", or " + std::to_string(either) + " for either side" : "") +
                                        ")";
            std::vector<std::string> lines{cap.label};
            if (cap.code >= 0x01 && cap.code <= 0x06) {  // "Mouse 1 left" on two lines
                const std::string label = cap.label;
                const std::size_t space = label.rfind(' ');
                lines = {label.substr(0, space), label.substr(space + 1)};
            }
            Key(kMargin + cap.x * kUnit, top + cap.y * kUnit, cap.w * kUnit - kGap, cap.h * kUnit - kGap, lines, tested,
                Tooltip(heading, tested));
        }
    }

    // Chips in rows of equal width across the picture.
    struct ChipGrid {
        double top;
        int perRow;
        double Width() const { return (kWidth - 2 * kMargin + kGap) / perRow - kGap; }
        double X(int i) const { return kMargin + (i % perRow) * (Width() + kGap); }
        double Y(int i) const { return top + (i / perRow) * (kChipHeight + kGap); }
        double Bottom(int count) const { return top + ((count + perRow - 1) / perRow) * (kChipHeight + kGap); }
    };

    // Splits a name into at most two lines: at "|" (on foot | in a car), or
    // at the space nearest the middle of a long name.
    static std::vector<std::string> Lines(const std::string& name, std::size_t longest) {
        auto trim = [](const std::string& s) {
            const std::size_t a = s.find_first_not_of(' ');
            return a == std::string::npos ? std::string() : s.substr(a, s.find_last_not_of(' ') - a + 1);
        };
        std::size_t split = name.find('|');
        if (split != std::string::npos) return {trim(name.substr(0, split)), trim(name.substr(split + 1))};
        if (name.size() <= longest) return {name};
        split = std::string::npos;
        for (std::size_t i = 0; i < name.size(); ++i)
            if (name[i] == ' ' &&
                (split == std::string::npos || std::abs(static_cast<double>(i) - name.size() / 2.0) <
                                                   std::abs(static_cast<double>(split) - name.size() / 2.0)))
                split = i;
        if (split == std::string::npos) return {name};
        return {trim(name.substr(0, split)), trim(name.substr(split + 1))};
    }

    double OtherKeys(double top) {
        std::vector<const KeyEntry*> others;
        for (const KeyEntry& entry : map_.keys)
            if (entry.key.IsVKey() && !OnKeyboard(entry.key.key)) others.push_back(&entry);
        std::sort(others.begin(), others.end(), [](const KeyEntry* a, const KeyEntry* b) { return a->key < b->key; });
        Text(kMargin, top + kSectionBaseline, TextStyle::Section,
             others.empty() ? "Keys the keyboard lacks: none tested"
                            : "Keys the keyboard lacks (F13\xE2\x80\x93"
                              "F24, media and other keys)");
        const ChipGrid grid{top + kSectionTitle, kChipsPerRow};
        for (std::size_t i = 0; i < others.size(); ++i) {
            Tested tested;
            tested.Add(others[i]);
            std::string name = TestedKeyName(others[i]->key);
            if (name == "?") name = "VKey " + std::to_string(others[i]->key.key);
            const int n = static_cast<int>(i);
            Key(grid.X(n), grid.Y(n), grid.Width(), kChipHeight, Lines(name, kLongestChipLine), tested,
                Tooltip(KeyHeading(others[i]->key), tested));
        }
        return others.empty() ? top + kSectionTitle : grid.Bottom(static_cast<int>(others.size())) + kAfterSection;
    }

    std::vector<const KeyEntry*> CheatEntries() const {
        std::vector<const KeyEntry*> codes;
        for (const KeyEntry& entry : map_.keys)
            if (entry.key.IsCheat()) codes.push_back(&entry);
        std::sort(codes.begin(), codes.end(), [](const KeyEntry* a, const KeyEntry* b) { return a->key < b->key; });
        return codes;
    }

    bool HasCheatCodes() const { return !CheatEntries().empty(); }

    // The codes typed as cheats, one a line in a column right of the mouse,
    // from the top of the keyboard down; the column's bottom.
    double CheatCodes(double top) {
        const std::vector<const KeyEntry*> codes = CheatEntries();
        if (codes.empty()) return top;
        const double x = kWidth;
        Text(x, top + (kMainTop - kTitleAboveKeys) * kUnit, TextStyle::Section, "Cheat codes typed");
        double y = top + kMainTop * kUnit;
        for (const KeyEntry* entry : codes) {
            Tested tested;
            tested.Add(entry);
            Key(x, y, kCheatColumnUnits * kUnit - kGap - kMargin, kUnit - kGap, {entry->key.code}, tested,
                Tooltip(KeyHeading(entry->key), tested));
            y += kUnit;
        }
        return y;
    }

    double PadButtons(double top, int32_t pad) {
        Text(kMargin, top + kSectionBaseline, TextStyle::Section,
             std::string(kPadNames[pad]) + ": buttons by game key");
        const ChipGrid grid{top + kSectionTitle, kChipsPerRow};
        for (int32_t key = 0; key < kGameKeyCount; ++key) {
            Tested tested;
            tested.Add(map_.Find(TestedKey::Button(pad, key)));
            const std::vector<std::string> lines =
                Lines(std::to_string(key) + ": " + TestedKeyName(TestedKey::Button(pad, key)), kLongestChipLine);
            Key(grid.X(key), grid.Y(key), grid.Width(), kChipHeight, lines, tested,
                Tooltip(KeyHeading(TestedKey::Button(pad, key)), tested));
        }
        return grid.Bottom(kGameKeyCount) + kAfterSection;
    }

    const KeyMap& map_;
    const KeyboardCaption& caption_;
    KeyboardPicture picture_;
};

}  // namespace

std::string KeyHeading(const TestedKey& key) {
    if (key.IsCheat()) return "Cheat " + key.code;
    if (key.IsVKey()) return TestedKeyName(key) + " (VKey " + std::to_string(key.key) + ")";
    return std::string(kPadNames[key.pad]) + " " + TestedKeyName(key) + " (button " + std::to_string(key.key) + ")";
}

KeyboardPicture LayOutKeyboard(const KeyMap& map, const KeyboardCaption& caption) {
    return Layout(map, caption).Make();
}

}  // namespace morvane
