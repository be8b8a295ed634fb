#include "keymap/KeyboardPicture.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <set>

#include "i18n/Translate.h"
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
    static const TextLook kSection{14, true, TextAnchor::Start};
    static const TextLook kLabel{14, false, TextAnchor::Middle};
    static const TextLook kSmall{12, false, TextAnchor::Middle};
    static const TextLook kCount{12, true, TextAnchor::Middle};
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
// The labels of the keys that carry a word are marked for the catalogs and
// shown in the language chosen (TrC("key", label)); letters, digits, signs
// and F-keys are the same in every language.

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
    {0, 0, 1, 1, NC_("key", "Esc"), 0x1B}, {2, 0, 1, 1, "F1", 0x70}, {3, 0, 1, 1, "F2", 0x71}, {4, 0, 1, 1, "F3", 0x72},
    {5, 0, 1, 1, "F4", 0x73}, {6.5, 0, 1, 1, "F5", 0x74}, {7.5, 0, 1, 1, "F6", 0x75}, {8.5, 0, 1, 1, "F7", 0x76},
    {9.5, 0, 1, 1, "F8", 0x77}, {11, 0, 1, 1, "F9", 0x78}, {12, 0, 1, 1, "F10", 0x79}, {13, 0, 1, 1, "F11", 0x7A},
    {14, 0, 1, 1, "F12", 0x7B}, {15.25, 0, 1, 1, NC_("key", "PrtSc"), 0x2C},
    {16.25, 0, 1, 1, NC_("key", "ScrLk"), 0x91}, {17.25, 0, 1, 1, NC_("key", "Pause"), 0x13},
    // number row
    {0, 1.5, 1, 1, "`", 0xC0}, {1, 1.5, 1, 1, "1", 0x31}, {2, 1.5, 1, 1, "2", 0x32}, {3, 1.5, 1, 1, "3", 0x33},
    {4, 1.5, 1, 1, "4", 0x34}, {5, 1.5, 1, 1, "5", 0x35}, {6, 1.5, 1, 1, "6", 0x36}, {7, 1.5, 1, 1, "7", 0x37},
    {8, 1.5, 1, 1, "8", 0x38}, {9, 1.5, 1, 1, "9", 0x39}, {10, 1.5, 1, 1, "0", 0x30}, {11, 1.5, 1, 1, "-", 0xBD},
    {12, 1.5, 1, 1, "=", 0xBB}, {13, 1.5, 2, 1, NC_("key", "Backspace"), 0x08},
    // top letter row
    {0, 2.5, 1.5, 1, NC_("key", "Tab"), 0x09}, {1.5, 2.5, 1, 1, "Q", 0x51}, {2.5, 2.5, 1, 1, "W", 0x57},
    {3.5, 2.5, 1, 1, "E", 0x45}, {4.5, 2.5, 1, 1, "R", 0x52}, {5.5, 2.5, 1, 1, "T", 0x54}, {6.5, 2.5, 1, 1, "Y", 0x59},
    {7.5, 2.5, 1, 1, "U", 0x55}, {8.5, 2.5, 1, 1, "I", 0x49}, {9.5, 2.5, 1, 1, "O", 0x4F}, {10.5, 2.5, 1, 1, "P", 0x50},
    {11.5, 2.5, 1, 1, "[", 0xDB}, {12.5, 2.5, 1, 1, "]", 0xDD}, {13.5, 2.5, 1.5, 1, "\\", 0xDC},
    // home row
    {0, 3.5, 1.75, 1, NC_("key", "Caps Lock"), 0x14}, {1.75, 3.5, 1, 1, "A", 0x41}, {2.75, 3.5, 1, 1, "S", 0x53},
    {3.75, 3.5, 1, 1, "D", 0x44}, {4.75, 3.5, 1, 1, "F", 0x46}, {5.75, 3.5, 1, 1, "G", 0x47},
    {6.75, 3.5, 1, 1, "H", 0x48}, {7.75, 3.5, 1, 1, "J", 0x4A}, {8.75, 3.5, 1, 1, "K", 0x4B},
    {9.75, 3.5, 1, 1, "L", 0x4C}, {10.75, 3.5, 1, 1, ";", 0xBA}, {11.75, 3.5, 1, 1, "'", 0xDE},
    {12.75, 3.5, 2.25, 1, NC_("key", "Enter"), 0x0D},
    // bottom letter row
    {0, 4.5, 2.25, 1, NC_("key", "Shift"), 0xA0}, {2.25, 4.5, 1, 1, "Z", 0x5A}, {3.25, 4.5, 1, 1, "X", 0x58},
    {4.25, 4.5, 1, 1, "C", 0x43}, {5.25, 4.5, 1, 1, "V", 0x56}, {6.25, 4.5, 1, 1, "B", 0x42},
    {7.25, 4.5, 1, 1, "N", 0x4E}, {8.25, 4.5, 1, 1, "M", 0x4D}, {9.25, 4.5, 1, 1, ",", 0xBC},
    {10.25, 4.5, 1, 1, ".", 0xBE}, {11.25, 4.5, 1, 1, "/", 0xBF}, {12.25, 4.5, 2.75, 1, NC_("key", "Shift"), 0xA1},
    // space row
    {0, 5.5, 1.25, 1, NC_("key", "Ctrl"), 0xA2}, {1.25, 5.5, 1.25, 1, NC_("key", "Win"), 0x5B},
    {2.5, 5.5, 1.25, 1, NC_("key", "Alt"), 0xA4}, {3.75, 5.5, 6.25, 1, NC_("key", "Space"), 0x20},
    {10, 5.5, 1.25, 1, NC_("key", "Alt"), 0xA5}, {11.25, 5.5, 1.25, 1, NC_("key", "Win"), 0x5C},
    {12.5, 5.5, 1.25, 1, NC_("key", "Menu"), 0x5D}, {13.75, 5.5, 1.25, 1, NC_("key", "Ctrl"), 0xA3},
    // navigation block
    {15.25, 1.5, 1, 1, NC_("key", "Ins"), 0x2D}, {16.25, 1.5, 1, 1, NC_("key", "Home"), 0x24},
    {17.25, 1.5, 1, 1, NC_("key", "PgUp"), 0x21}, {15.25, 2.5, 1, 1, NC_("key", "Del"), 0x2E},
    {16.25, 2.5, 1, 1, NC_("key", "End"), 0x23}, {17.25, 2.5, 1, 1, NC_("key", "PgDn"), 0x22},
    {16.25, 4.5, 1, 1, "\xE2\x86\x91", 0x26}, {15.25, 5.5, 1, 1, "\xE2\x86\x90", 0x25},
    {16.25, 5.5, 1, 1, "\xE2\x86\x93", 0x28}, {17.25, 5.5, 1, 1, "\xE2\x86\x92", 0x27},
    // numeric pad
    {18.5, 1.5, 1, 1, NC_("key", "Num"), 0x90}, {19.5, 1.5, 1, 1, "/", 0x6F}, {20.5, 1.5, 1, 1, "*", 0x6A},
    {21.5, 1.5, 1, 1, "-", 0x6D}, {18.5, 2.5, 1, 1, "7", 0x67}, {19.5, 2.5, 1, 1, "8", 0x68},
    {20.5, 2.5, 1, 1, "9", 0x69}, {21.5, 2.5, 1, 2, "+", 0x6B}, {18.5, 3.5, 1, 1, "4", 0x64},
    {19.5, 3.5, 1, 1, "5", 0x65}, {20.5, 3.5, 1, 1, "6", 0x66}, {18.5, 4.5, 1, 1, "1", 0x61},
    {19.5, 4.5, 1, 1, "2", 0x62}, {20.5, 4.5, 1, 1, "3", 0x63}, {21.5, 4.5, 1, 2, NC_("key", "Enter"), 0x0D},
    {18.5, 5.5, 2, 1, "0", 0x60}, {20.5, 5.5, 1, 1, ".", 0x6E},
    // the mouse, beside the keyboard
    {23, 1.5, 2.5, 1, NC_("key", "Mouse 1 left"), 0x01}, {23, 2.5, 2.5, 1, NC_("key", "Mouse 2 right"), 0x02},
    {23, 3.5, 2.5, 1, NC_("key", "Mouse 3 middle"), 0x04}, {23, 4.5, 2.5, 1, NC_("key", "Mouse 4 back"), 0x05},
    {23, 5.5, 2.5, 1, NC_("key", "Mouse 5 forward"), 0x06},
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

// A cap as the main window's VKey list names its code ("Y Key (0x59)"); a
// code the list has no name for (the mouse's side buttons) by the cap's label.
std::string CapName(const Cap& cap) {
    if (VKeyName(cap.code) != kUnnamedKey) return VKeyEntryName(cap.code);
    // TRANSLATORS: a key by its label and its code: "Mouse 4 back (0x05)".
    return Fill(Tr("{key} ({code})"), {{"key", TrC("key", cap.label)}, {"code", VKeyCodeText(cap.code)}});
}

bool OnKeyboard(int32_t code) {
    if (code == 0x10 || code == 0x11 || code == 0x12) return true;
    return std::any_of(std::begin(kKeyboard), std::end(kKeyboard), [&](const Cap& cap) { return cap.code == code; });
}

// ---- the layout ----

// A key's width in pixels, gap included: as large as the width gives, from
// the least to the most.
constexpr double kUnit = 40;
constexpr double kLeastUnit = 34;
constexpr double kGap = 4;  // between two keys
constexpr double kMargin = 20;
constexpr double kSectionTitle = 26;
// Chips: at least this wide, at most this many in a row; their height is
// their longest name's lines and this padding.
constexpr double kLeastChipWidth = 120;
constexpr int kMostChipsPerRow = 10;
constexpr int kLeastChipsPerRow = 4;
constexpr double kChipPadding = 10;
constexpr double kLeastChipHeight = 36;
// The keyboard and the mouse, margins included, at the most and the least unit.
constexpr double kKeyboardWidth = kMargin * 2 + kKeyboardUnits * kUnit;
constexpr double kLeastKeyboardWidth = kMargin * 2 + kKeyboardUnits * kLeastUnit;
// The list of cheat codes beside the keyboard, drawn only when some script
// tests a code and the picture is wide enough: its width, in keys.
constexpr double kCheatColumnUnits = 6;
constexpr double kCheatColumnWidth = kCheatColumnUnits * kUnit;
// The height of a row of cheat codes in their column.
constexpr double kCheatRow = kUnit;
constexpr double kKeyCorner = 5;
constexpr double kSwatchCorner = 4;
// A key's labels: this far in from each side at least, from the top down;
// their lines this far apart (a small label, or one of the key's size).
constexpr double kLabelInset = 3;
constexpr double kLabelTop = 5;
constexpr double kSmallLineHeight = 14;
constexpr double kLineHeight = 16;
// The number of scripts stands in the key's bottom right corner, kCountInset
// in from it, below the key's labels: in a box kCountHeight high and wide
// enough for the digits and kCountPadding each side (a conflict's filled as
// a disc, or a pill for more digits). A chip keeps kCountRoom for it under
// its name; a row of the keyboard is kCountRow higher than a key is wide.
constexpr double kCountHeight = 14;
constexpr double kCountPadding = 3;
constexpr double kCountInset = 1;
constexpr double kCountBaseline = 10.6;  // below the box's top
constexpr double kCountRoom = 11;
constexpr double kCountRow = 17;
// The touch screen: at most this wide, its height this share of its width (16:9).
constexpr double kScreenWidth = 720;
constexpr double kScreenAspect = 9.0 / 16.0;
// Room between the keyboard and the keys it lacks, and under each section of chips.
constexpr double kAfterKeyboard = 12;
constexpr double kAfterSection = 8;
// The heading: baselines of the title and the totals below its top, the
// legend's row, and the room under the heading.
constexpr double kTitleBaseline = 18;
constexpr double kTotalsBaseline = 40;
constexpr double kLegendTop = 52;
constexpr double kLegendTextBaseline = 16;
constexpr double kLegendRow = 28;
constexpr double kHintLineHeight = 18;
constexpr double kAfterHeading = 12;
constexpr double kSwatchWidth = 26;
constexpr double kSwatchHeight = 22;
constexpr double kSwatchToText = 34;
constexpr double kLegendSpacing = 24;
// A section's title baseline below the section's top.
constexpr double kSectionBaseline = 16;

// "3 scripts" and the like: `form` (a TrN text) with its {count} filled in.
std::string Counted(const std::string& form, std::size_t count) {
    return Fill(form, {{"count", std::to_string(count)}});
}

// The keys a cap or chip stands for, the scripts that test any of them and
// those of them that fight over it (see KeyEntry::contenders).
struct Tested {
    std::vector<const KeyEntry*> entries;
    std::set<std::size_t> scripts;
    std::set<std::size_t> contenders;
    const KeyMap* map = nullptr;

    explicit Tested(const KeyMap& m) : map(&m) {}
    void Add(const KeyEntry* entry) {
        if (entry == nullptr) return;
        entries.push_back(entry);
        for (const KeyUse& use : entry->uses) {
            scripts.insert(use.script);
            if (FightsOver(entry->key, map->scripts[use.script].path)) contenders.insert(map->scripts[use.script].mod);
        }
    }
    KeyShade Shade() const {
        if (scripts.empty()) return KeyShade::Free;
        return contenders.size() >= 2 ? KeyShade::Conflict : KeyShade::One;
    }
};

class Layout {
public:
    Layout(const KeyMap& map, const KeyboardCaption& caption, double width)
        : map_(map), caption_(caption), width_(width <= 0 ? kKeyboardWidth : std::max(width, kLeastKeyboardWidth)) {
        if (width <= 0 && HasCheatCodes()) width_ = kKeyboardWidth + kCheatColumnWidth;
        cheatsBeside_ = HasCheatCodes() && width_ >= kKeyboardWidth + kCheatColumnWidth;
        const double keyboardRoom = cheatsBeside_ ? width_ - kCheatColumnWidth : width_;
        unit_ = std::clamp((keyboardRoom - 2 * kMargin) / kKeyboardUnits, kLeastUnit, kUnit);
    }

    KeyboardPicture Make() {
        picture_.title = ValidUtf8(Title());
        double y = Heading(kMargin);
        if (map_.ShowsTouchScreen()) {
            cheatsBeside_ = false;  // no keyboard to stand beside
            y = TouchScreen(y);
            y = Widgets(y);
            y = OtherKeys(y, true);
            if (HasCheatCodes()) y = CheatChips(y);
            picture_.height = y + kMargin - kGap;
            picture_.width = width_;
            return std::move(picture_);
        }
        const double cheatsBottom = cheatsBeside_ ? CheatColumn(y) : y;
        Keyboard(y);
        y += kKeyboardRows * RowUnit() + kAfterKeyboard;
        y = OtherKeys(y);
        y = Hotkeys(y);
        if (!cheatsBeside_ && HasCheatCodes()) y = CheatChips(y);
        for (int32_t pad = 0; pad <= kHighestPad; ++pad) y = PadButtons(y, pad);
        y = std::max(y, cheatsBottom);
        picture_.height = y + kMargin - kGap;
        picture_.width = width_;
        return std::move(picture_);
    }

private:
    // A row of the keyboard, from the top of a key to the top of the next.
    double RowUnit() const { return unit_ + kCountRow; }

    void Text(double x, double y, TextStyle style, const std::string& text, double maxWidth) {
        picture_.texts.push_back(PictureText{x, y, style, ValidUtf8(text), maxWidth});
    }

    // The lines a key's name takes in a box `width` wide: at most two on a
    // key of the keyboard, as many as it needs on a chip.
    static std::vector<std::string> KeyLines(const std::string& name, double width, TextStyle style) {
        return WrapText(name, width - 2 * kLabelInset, style);
    }

    // No more lines than a key `height` high holds: the last takes the rest
    // (and is drawn smaller when it must).
    static std::vector<std::string> FitLines(std::vector<std::string> lines, double height, TextStyle style) {
        const double size = LookOf(style).size;
        const double lineHeight = style == TextStyle::Small ? kSmallLineHeight : kLineHeight;
        const auto most =
            static_cast<std::size_t>(std::max(1.0, 1 + std::floor((height - kLabelTop - size) / lineHeight)));
        while (lines.size() > most) {
            lines[lines.size() - 2] += " " + lines.back();
            lines.pop_back();
        }
        return lines;
    }

    // A key or chip: its box in its colour, its tooltip, its label lines and
    // the number of scripts.
    void Key(double x, double y, double w, double h, const std::vector<std::string>& lines, TextStyle style,
             const Tested& tested, const std::string& tooltip) {
        PictureKey key;
        key.box = PictureBox{x, y, w, h, kKeyCorner};
        key.scripts = tested.scripts.size();
        key.shade = tested.Shade();
        key.tooltip = ValidUtf8(tooltip);
        const double lineHeight = style == TextStyle::Small ? kSmallLineHeight : kLineHeight;
        // From the top down, as on a key cap, clear of the number below.
        double ty = y + kLabelTop + LookOf(style).size * kAscentShare;
        for (const std::string& line : lines) {
            key.labels.push_back(PictureText{x + w / 2, ty, style, ValidUtf8(line), w - 2 * kLabelInset});
            ty += lineHeight;
        }
        if (key.scripts >= 1) {
            const std::string digits = std::to_string(key.scripts);
            const double boxWidth =
                std::max(kCountHeight, EstimatedWidth(digits, TextStyle::Count) + 2 * kCountPadding);
            key.countBox = PictureBox{x + w - boxWidth - kCountInset, y + h - kCountHeight - kCountInset, boxWidth,
                                      kCountHeight, kCountHeight / 2};
            key.hasDisc = key.shade == KeyShade::Conflict;
            key.hasCount = true;
            key.count = PictureText{key.countBox.x + boxWidth / 2, key.countBox.y + kCountBaseline, TextStyle::Count,
                                    digits, boxWidth - kCountPadding};
        }
        picture_.keys.push_back(std::move(key));
    }

    std::string Tooltip(const std::string& heading, const Tested& tested) const {
        if (tested.scripts.empty()) return heading + "\n" + Tr("no script tests it");
        const std::size_t scripts = tested.scripts.size();
        std::string form;
        if (tested.contenders.size() >= 2) {
            // TRANSLATORS: a key's tooltip; the scripts that test it follow, one a line.
            form = TrN("{count} script, a conflict:", "{count} scripts, a conflict:", scripts);
        } else if (tested.contenders.size() < scripts &&
                   std::any_of(tested.entries.begin(), tested.entries.end(),
                               [](const KeyEntry* e) { return TestsNoKey(e->key); })) {
            // TRANSLATORS: a key's tooltip; the scripts that test it follow, one a line.
            form = TrN("{count} script, no key the game reads:", "{count} scripts, no key the game reads:", scripts);
        } else if (tested.contenders.size() < scripts) {
            // TRANSLATORS: a key's tooltip; the scripts that test it follow, one a line.
            form = TrN("{count} script, the game's controls:", "{count} scripts, the game's controls:", scripts);
        } else {
            // TRANSLATORS: a key's tooltip; the scripts that test it follow, one a line.
            form = TrN("{count} script:", "{count} scripts:", scripts);
        }
        std::string text = heading + "\n" + Counted(form, scripts);
        for (const KeyEntry* entry : tested.entries) {
            if (tested.entries.size() > 1) text += "\n" + KeyHeading(entry->key) + ":";
            for (const KeyUse& use : entry->uses) {
                const auto tests = static_cast<std::size_t>(use.tests);
                // TRANSLATORS: a script in a key's tooltip: its path and how many of its tests test the key.
                text += "\n  " + Fill(TrN("{path} ({count} test)", "{path} ({count} tests)", tests),
                                      {{"path", map_.scripts[use.script].path}, {"count", std::to_string(tests)}});
            }
        }
        return text;
    }

    // TRANSLATORS: the title of a picture of the keys a folder's scripts test; {folder} is the folder's path.
    std::string Title() const { return Fill(Tr("Key map of {folder}"), {{"folder", caption_.folder}}); }

    // "12 scripts, 40 keys and 2 cheat codes tested, 3 conflicts".
    std::string Totals(std::size_t scripts, std::size_t keys, std::size_t codes, std::size_t conflicts) const {
        const std::string scriptsText = Counted(TrN("{count} script", "{count} scripts", scripts), scripts);
        // TRANSLATORS: a number of keys of the keyboard, a mouse or a pad, in "{scripts}, {keys} tested, ...".
        const std::string keysText = Counted(TrN("{count} key", "{count} keys", keys), keys);
        const std::string conflictsText = Counted(TrN("{count} conflict", "{count} conflicts", conflicts), conflicts);
        if (codes == 0) {
            // TRANSLATORS: {scripts} is "12 scripts", {keys} "40 keys", {conflicts} "3 conflicts".
            return Fill(Tr("{scripts}, {keys} tested, {conflicts}"),
                        {{"scripts", scriptsText}, {"keys", keysText}, {"conflicts", conflictsText}});
        }
        const std::string codesText = Counted(TrN("{count} cheat code", "{count} cheat codes", codes), codes);
        // TRANSLATORS: {scripts} is "12 scripts", {keys} "40 keys", {codes} "2 cheat codes", {conflicts} "3 conflicts".
        return Fill(Tr("{scripts}, {keys} and {codes} tested, {conflicts}"),
                    {{"scripts", scriptsText}, {"keys", keysText}, {"codes", codesText}, {"conflicts", conflictsText}});
    }

    // The title, the totals and the legend; where the keys start below them.
    double Heading(double y) {
        const double room = width_ - 2 * kMargin;
        Text(kMargin, y + kTitleBaseline, TextStyle::Title, Title(), room);
        std::size_t incomplete = 0, unread = 0;
        for (const ScriptKeys& script : map_.scripts) {
            if (!script.read)
                ++unread;
            else if (script.IsIncomplete())
                ++incomplete;
        }
        const std::size_t codes = CheatEntries().size();
        std::string totals =
            caption_.date + "  \xC2\xB7  " +
            Totals(map_.scripts.size() - unread, map_.keys.size() - codes, codes, map_.ConflictCount());
        if (incomplete > 0) {
            // TRANSLATORS: after the totals of a key map: how many of its scripts may test more keys.
            totals += "; " + Counted(TrN("{count} may test more (unknown instructions)",
                                         "{count} may test more (unknown instructions)", incomplete),
                                     incomplete);
        }
        if (unread > 0) {
            // TRANSLATORS: after the totals of a key map: how many of its scripts could not be read.
            totals += "; " + Counted(TrN("{count} could not be read", "{count} could not be read", unread), unread);
        }
        Text(kMargin, y + kTotalsBaseline, TextStyle::Quiet, totals, room);

        // The legend, then the hint: on the legend's row when it fits, else
        // on a row of its own.
        double ly = y + kLegendTop;
        const struct {
            KeyShade shade;
            const char* text;
            // TRANSLATORS: the legend of the key map's colours: a key no script tests, one mod tests, two or more test.
        } kLegend[] = {{KeyShade::Free, N_("no script")},
                       {KeyShade::One, N_("tested, no conflict")},
                       {KeyShade::Conflict, N_("a conflict: two or more mods test it")}};
        double lx = kMargin;
        for (const auto& item : kLegend) {
            const std::string text = ValidUtf8(Tr(item.text));
            const double textWidth = EstimatedWidth(text, TextStyle::Quiet);
            picture_.legend.push_back(PictureSwatch{
                PictureBox{lx, ly, kSwatchWidth, kSwatchHeight, kSwatchCorner}, item.shade,
                PictureText{lx + kSwatchToText, ly + kLegendTextBaseline, TextStyle::Quiet, text, textWidth}});
            lx += kSwatchToText + textWidth + kLegendSpacing;
        }
        const std::string hint =
            Tr("The number on a key: how many scripts test it. Hover a key for the scripts; a pad button the main "
               "script also tests is one of the game's controls, not a conflict.");
        const double hintWidth = EstimatedWidth(hint, TextStyle::Quiet);
        if (lx + hintWidth > width_ - kMargin) {
            lx = kMargin;
            ly += kLegendRow;
        }
        // Too long even for a row of its own: its lines, one under the other.
        for (const std::string& line : WrapText(hint, width_ - kMargin - lx, TextStyle::Quiet)) {
            Text(lx, ly + kLegendTextBaseline, TextStyle::Quiet, line, width_ - kMargin - lx);
            ly += kHintLineHeight;
        }
        return ly + kLegendRow - kHintLineHeight + kAfterHeading;
    }

    void Keyboard(double top) {
        const double mouseLabelY = top + (kMainTop - kTitleAboveKeys) * RowUnit();
        // TRANSLATORS: the title over the mouse's buttons, beside the keyboard.
        Text(kMargin + kMouseLeft * unit_, mouseLabelY, TextStyle::Section, Tr("Mouse"),
             (kKeyboardUnits - kMouseLeft) * unit_);
        for (const Cap& cap : kKeyboard) {
            Tested tested(map_);
            tested.Add(map_.Find(TestedKey::VKey(cap.code)));
            const int32_t either = EitherSideCode(cap.code);
            if (either >= 0) tested.Add(map_.Find(TestedKey::VKey(either)));
            std::string heading = CapName(cap);
            if (either >= 0) {
                // TRANSLATORS: a key of one side, then the code that stands for either side: "Left Shift (0xA0), or
                // Shift (0x10) for either side".
                heading = Fill(Tr("{key}, or {either} for either side"),
                               {{"key", heading}, {"either", VKeyEntryName(either)}});
            }
            const double w = cap.w * unit_ - kGap;
            const double h = cap.h * RowUnit() - kGap;
            // One line in the key's size when it fits, else the small size.
            const std::string label = TrC("key", cap.label);
            TextStyle style = TextStyle::Label;
            std::vector<std::string> lines = KeyLines(label, w, style);
            if (lines.size() > 1) {
                style = TextStyle::Small;
                lines = FitLines(KeyLines(label, w, style), h - kCountHeight - kCountInset, style);
            }
            Key(kMargin + cap.x * unit_, top + cap.y * RowUnit(), w, h, lines, style, tested, Tooltip(heading, tested));
        }
    }

    // Chips in rows of equal width across the picture, as many a row as
    // their least width lets; each row as high as its longest name needs.
    class ChipGrid {
    public:
        ChipGrid(double top, double width) : top_(top) {
            const int fit = static_cast<int>((width - 2 * kMargin + kGap) / (kLeastChipWidth + kGap));
            perRow_ = std::clamp(fit, kLeastChipsPerRow, kMostChipsPerRow);
            chipWidth_ = (width - 2 * kMargin + kGap) / perRow_ - kGap;
        }
        double ChipWidth() const { return chipWidth_; }
        // The chips' lines given, their places: call Place for each in order.
        void Plan(const std::vector<std::vector<std::string>>& lines) {
            rowHeights_.assign(
                (lines.size() + static_cast<std::size_t>(perRow_) - 1) / static_cast<std::size_t>(perRow_),
                kLeastChipHeight);
            for (std::size_t i = 0; i < lines.size(); ++i) {
                double& row = rowHeights_[i / static_cast<std::size_t>(perRow_)];
                row = std::max(row, kSmallLineHeight * static_cast<double>(lines[i].size() - 1) +
                                        LookOf(TextStyle::Small).size + kChipPadding + kCountRoom);
            }
        }
        PictureBox Box(std::size_t i) const {
            const std::size_t row = i / static_cast<std::size_t>(perRow_);
            double y = top_;
            for (std::size_t r = 0; r < row; ++r) y += rowHeights_[r] + kGap;
            const auto column = static_cast<double>(i % static_cast<std::size_t>(perRow_));
            return PictureBox{kMargin + column * (chipWidth_ + kGap), y, chipWidth_, rowHeights_[row], kKeyCorner};
        }
        double Bottom() const {
            double y = top_;
            for (const double h : rowHeights_) y += h + kGap;
            return y;
        }

    private:
        double top_;
        int perRow_ = kMostChipsPerRow;
        double chipWidth_ = kLeastChipWidth;
        std::vector<double> rowHeights_;
    };

    // A section of chips under its title: each the name, the tested keys and
    // the tooltip's heading of one chip. Returns the section's bottom.
    struct Chip {
        std::string name;
        Tested tested;
        std::string heading;
    };
    double Chips(double top, const std::string& title, const std::vector<Chip>& chips) {
        // Under the keyboard only, when the cheat codes' column stands beside it.
        const double width = cheatsBeside_ ? width_ - kCheatColumnWidth : width_;
        Text(kMargin, top + kSectionBaseline, TextStyle::Section, title, width - 2 * kMargin);
        if (chips.empty()) return top + kSectionTitle;
        ChipGrid grid(top + kSectionTitle, width);
        std::vector<std::vector<std::string>> lines;
        for (const Chip& chip : chips) lines.push_back(KeyLines(chip.name, grid.ChipWidth(), TextStyle::Small));
        grid.Plan(lines);
        for (std::size_t i = 0; i < chips.size(); ++i) {
            const PictureBox box = grid.Box(i);
            Key(box.x, box.y, box.width, box.height, lines[i], TextStyle::Small, chips[i].tested,
                Tooltip(chips[i].heading, chips[i].tested));
        }
        return grid.Bottom() + kAfterSection;
    }

    // The screen of a phone held sideways, its nine touch zones in a 3x3
    // grid (zone 1 left top, numbered down each column), each coloured by
    // the scripts that touch it or slide from or to it. Returns its bottom.
    double TouchScreen(double top) {
        const double room = width_ - 2 * kMargin;
        Text(kMargin, top + kSectionBaseline, TextStyle::Section, Tr("Touch zones of the screen (held sideways)"),
             room);
        const double screenWidth = std::min(room, kScreenWidth);
        const double screenHeight = screenWidth * kScreenAspect;
        const double cellWidth = screenWidth / kTouchZoneColumns;
        const double cellHeight = screenHeight / kTouchZoneRows;
        const double y0 = top + kSectionTitle;
        for (int32_t zone = kLowestTouchZone; zone <= kHighestTouchZone; ++zone) {
            const int32_t column = (zone - kLowestTouchZone) / kTouchZoneRows;
            const int32_t row = (zone - kLowestTouchZone) % kTouchZoneRows;
            Tested tested(map_);
            tested.Add(map_.Find(TestedKey::Zone(zone)));
            const std::string name = std::to_string(zone) + ": " + TouchZoneName(zone);
            Key(kMargin + column * cellWidth, y0 + row * cellHeight, cellWidth - kGap, cellHeight - kGap,
                KeyLines(name, cellWidth - kGap, TextStyle::Label), TextStyle::Label, tested,
                Tooltip(KeyHeading(TestedKey::Zone(zone)), tested));
        }
        return y0 + screenHeight + kAfterKeyboard;
    }

    // The widgets of the game's touch interface some script tests, as chips.
    double Widgets(double top) {
        std::vector<const KeyEntry*> widgets;
        for (const KeyEntry& entry : map_.keys)
            if (entry.key.IsWidget()) widgets.push_back(&entry);
        std::sort(widgets.begin(), widgets.end(), [](const KeyEntry* a, const KeyEntry* b) { return a->key < b->key; });
        std::vector<Chip> chips;
        for (const KeyEntry* entry : widgets) {
            Tested tested(map_);
            tested.Add(entry);
            chips.push_back(Chip{TestedKeyName(entry->key), tested, KeyHeading(entry->key)});
        }
        return Chips(
            top,
            chips.empty() ? Tr("Widgets of the touch interface: none tested") : Tr("Widgets of the touch interface"),
            chips);
    }

    // The keys the keyboard lacks; with `all`, every VKey tested (a picture
    // without the keyboard), none drawn when there are none.
    double OtherKeys(double top, bool all = false) {
        std::vector<const KeyEntry*> others;
        for (const KeyEntry& entry : map_.keys)
            if (entry.key.IsVKey() && (all || !OnKeyboard(entry.key.key))) others.push_back(&entry);
        if (all && others.empty()) return top;
        std::sort(others.begin(), others.end(), [](const KeyEntry* a, const KeyEntry* b) { return a->key < b->key; });
        std::vector<Chip> chips;
        for (const KeyEntry* entry : others) {
            Tested tested(map_);
            tested.Add(entry);
            std::string name = TestedKeyName(entry->key);
            if (name == kUnnamedKey) name = VKeyEntryName(entry->key.key);  // "VKey 0xE8"
            chips.push_back(Chip{name, tested, KeyHeading(entry->key)});
        }
        if (all) return Chips(top, Tr("Keys of a keyboard"), chips);
        return Chips(top,
                     others.empty() ? Tr("Keys the keyboard lacks: none tested")
                                    : Tr("Keys the keyboard lacks (F13\xE2\x80\x93"
                                         "F24, media and other keys)"),
                     chips);
    }

    // The chords, keys pressed together, as chips by their hotkey; none
    // drawn when no script tests one.
    double Hotkeys(double top) {
        std::vector<Chip> chips;
        for (const KeyEntry& entry : map_.keys) {
            if (!entry.key.IsChord()) continue;
            Tested tested(map_);
            tested.Add(&entry);
            chips.push_back(Chip{entry.key.shown, tested, KeyHeading(entry.key)});
        }
        if (chips.empty()) return top;
        return Chips(top, Tr("Hotkeys: keys pressed together"), chips);
    }

    std::vector<const KeyEntry*> CheatEntries() const {
        std::vector<const KeyEntry*> codes;
        for (const KeyEntry& entry : map_.keys)
            if (entry.key.IsCheat()) codes.push_back(&entry);
        std::sort(codes.begin(), codes.end(), [](const KeyEntry* a, const KeyEntry* b) { return a->key < b->key; });
        return codes;
    }

    bool HasCheatCodes() const { return !CheatEntries().empty(); }

    // The codes typed as cheats, one a line in a column at the picture's
    // right edge, from the top of the keyboard down; the column's bottom.
    double CheatColumn(double top) {
        const double x = width_ - kCheatColumnWidth;
        const double w = kCheatColumnWidth - kGap - kMargin;
        Text(x, top + (kMainTop - kTitleAboveKeys) * RowUnit(), TextStyle::Section, Tr("Cheat codes typed"), w);
        double y = top + kMainTop * RowUnit();
        for (const KeyEntry* entry : CheatEntries()) {
            Tested tested(map_);
            tested.Add(entry);
            Key(x, y, w, kCheatRow - kGap, KeyLines(entry->key.code, w, TextStyle::Label), TextStyle::Label, tested,
                Tooltip(KeyHeading(entry->key), tested));
            y += kCheatRow;
        }
        return y;
    }

    // The same codes as chips below the keyboard, when the picture has no
    // room beside it.
    double CheatChips(double top) {
        std::vector<Chip> chips;
        for (const KeyEntry* entry : CheatEntries()) {
            Tested tested(map_);
            tested.Add(entry);
            chips.push_back(Chip{entry->key.code, tested, KeyHeading(entry->key)});
        }
        return Chips(top, Tr("Cheat codes typed"), chips);
    }

    double PadButtons(double top, int32_t pad) {
        std::vector<Chip> chips;
        for (int32_t key = 0; key < kGameKeyCount; ++key) {
            Tested tested(map_);
            tested.Add(map_.Find(TestedKey::Button(pad, key)));
            chips.push_back(Chip{std::to_string(key) + ": " + TestedKeyName(TestedKey::Button(pad, key)), tested,
                                 KeyHeading(TestedKey::Button(pad, key))});
        }
        // TRANSLATORS: a section's title; {pad} is "Pad 1".
        return Chips(top, Fill(Tr("{pad}: buttons by game key"), {{"pad", TrC("key", kPadNames[pad])}}), chips);
    }

    const KeyMap& map_;
    const KeyboardCaption& caption_;
    double width_;
    bool cheatsBeside_ = false;
    double unit_ = kUnit;
    KeyboardPicture picture_;
};

}  // namespace

std::string KeyHeading(const TestedKey& key) {
    // TRANSLATORS: a cheat code a script tests, {code} the letters typed: "Cheat HESOYAM".
    if (key.IsCheat()) return Fill(Tr("Cheat {code}"), {{"code", key.code}});
    if (key.IsZone() || key.IsWidget()) return TestedKeyName(key);
    // TRANSLATORS: keys pressed together, {hotkey} "Ctrl+M".
    if (key.IsChord()) return Fill(Tr("Hotkey {hotkey}"), {{"hotkey", key.shown}});
    if (key.IsVKey()) return VKeyEntryName(key.key);
    // TRANSLATORS: a pad's button: {pad} "Pad 1", {key} what it does, "Cross: Sprint | Accelerate", {number} its
    // game key's number.
    const std::string form = Tr("{pad} {key} (button {number})");
    return Fill(
        form,
        {{"pad", TrC("key", kPadNames[key.pad])}, {"key", TestedKeyName(key)}, {"number", std::to_string(key.key)}});
}

KeyboardPicture LayOutKeyboard(const KeyMap& map, const KeyboardCaption& caption, double width) {
    return Layout(map, caption, width).Make();
}

double LeastPictureWidth() { return kLeastKeyboardWidth; }

PictureBox EstimatedBounds(const PictureText& text) {
    const TextLook& look = LookOf(text.style);
    double width = EstimatedWidth(text.text, text.style);
    if (text.maxWidth > 0) width = std::min(width, text.maxWidth);
    double x = text.x;
    switch (look.anchor) {
        case TextAnchor::Start: break;
        case TextAnchor::Middle: x -= width / 2; break;
        case TextAnchor::End: x -= width; break;
    }
    return PictureBox{x, text.y - look.size * kAscentShare, width, look.size, 0};
}

double EstimatedWidth(const std::string& text, TextStyle style) {
    const TextLook& look = LookOf(style);
    return static_cast<double>(CodePointCount(text)) * look.size * (look.bold ? kBoldCharacterShare : kCharacterShare);
}

std::vector<std::string> WrapText(const std::string& text, double width, TextStyle style) {
    auto trim = [](const std::string& s) {
        const std::size_t a = s.find_first_not_of(' ');
        return a == std::string::npos ? std::string() : s.substr(a, s.find_last_not_of(' ') - a + 1);
    };
    std::vector<std::string> lines;
    std::size_t begin = 0;
    while (begin <= text.size()) {
        // Each side of a "|" (on foot | in a car) starts a line.
        std::size_t bar = text.find('|', begin);
        if (bar == std::string::npos) bar = text.size();
        const std::string part = trim(text.substr(begin, bar - begin));
        std::string line;
        std::size_t at = 0;
        while (at < part.size()) {
            std::size_t space = part.find(' ', at);
            if (space == std::string::npos) space = part.size();
            const std::string word = part.substr(at, space - at);
            const std::string longer = line.empty() ? word : line + " " + word;
            if (!line.empty() && EstimatedWidth(longer, style) > width) {
                lines.push_back(line);
                line = word;
            } else {
                line = longer;
            }
            at = space + 1;
        }
        if (!line.empty()) lines.push_back(line);
        begin = bar + 1;
    }
    if (lines.empty()) lines.push_back(std::string());
    return lines;
}

}  // namespace morvane
