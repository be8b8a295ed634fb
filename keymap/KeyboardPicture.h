#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "keymap/KeyMap.h"

namespace morvane {

// What the picture's heading says besides the map itself.
struct KeyboardCaption {
    std::string folder;  // the folder or files mapped, as the user knows them
    std::string date;    // the day the map was made, as the caller writes dates
};

// How a key is coloured: by how many scripts test it.
enum class KeyShade {
    Free,      // no script
    One,       // one script
    Conflict,  // two or more: pressing the key acts in all of them
};

KeyShade ShadeOf(std::size_t scripts);

// A colour as red, green and blue bytes.
struct Rgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    bool operator==(const Rgb& other) const { return red == other.red && green == other.green && blue == other.blue; }
};

// The colours of a shade, from the Okabe-Ito palette (told apart with every
// kind of colour blindness and in grey): the box's fill and outline, and the
// label written on it. A conflict's box is also hatched and its number stands
// in a disc.
struct ShadeColours {
    Rgb fill;
    Rgb outline;
    double outlineWidth = 1;
    Rgb label;
    bool boldLabel = false;
    Rgb count;  // the number of scripts
};

// The one table of the picture's colours, for every renderer.
const ShadeColours& ColoursOf(KeyShade shade);
extern const Rgb kPictureBackground;
extern const Rgb kPictureText;       // titles and section titles
extern const Rgb kPictureQuietText;  // the totals and the legend
extern const Rgb kDiscFill;          // behind a conflict's number
// The hatch over a conflict: black lines this opaque (0 to 1).
constexpr double kHatchOpacity = 0.28;

// The kinds of text, each with its size and weight.
enum class TextStyle {
    Title,    // the heading
    Quiet,    // the totals and the legend
    Section,  // the title over a part of the picture
    Label,    // a key's name
    Small,    // a longer name, in two lines, or on a narrow key
    Count,    // the number of scripts on a key
};

// Which point of a text its `x` gives.
enum class TextAnchor { Start, Middle, End };

struct TextLook {
    double size = 12;  // pixels
    bool bold = false;
    TextAnchor anchor = TextAnchor::Start;
};
const TextLook& LookOf(TextStyle style);

// A text at a place: `x` where its anchor is, `y` its baseline. UTF-8, valid
// even when a file name was not. A renderer whose font draws it wider than
// `maxWidth` draws it smaller, so that it never spills over what is beside it.
struct PictureText {
    double x = 0;
    double y = 0;
    TextStyle style = TextStyle::Quiet;
    std::string text;
    double maxWidth = 0;
};

// What a character takes, about, as a share of the text's size (bold a
// little more), and how far the baseline lies below the top of a line.
constexpr double kCharacterShare = 0.6;
constexpr double kBoldCharacterShare = 0.68;
constexpr double kAscentShare = 0.8;

// The width a text takes in a style, about: its characters times the share.
double EstimatedWidth(const std::string& text, TextStyle style);
// The box a text takes, about: as wide as EstimatedWidth says but no wider
// than its room, from its ascent above the baseline to its descent below.
struct PictureBox;
PictureBox EstimatedBounds(const PictureText& text);
// The lines a name takes in a box `width` wide: each side of a "|" (on foot
// | in a car) on lines of its own, its words wrapped between them; a word
// longer than the width stays whole.
std::vector<std::string> WrapText(const std::string& text, double width, TextStyle style);

struct PictureBox {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    double cornerRadius = 0;
    bool Contains(double px, double py) const { return px >= x && px < x + width && py >= y && py < y + height; }
    // Whether the two share any point inside both (touching edges do not).
    bool Overlaps(const PictureBox& other) const {
        return x < other.x + other.width && other.x < x + width && y < other.y + other.height && other.y < y + height;
    }
};

// A key of the keyboard, a chip of the strip or a pad, or a cheat code.
struct PictureKey {
    PictureBox box;
    KeyShade shade = KeyShade::Free;
    std::size_t scripts = 0;          // how many scripts test it
    std::vector<PictureText> labels;  // its name, in one or two lines
    // The number of scripts, when any, in its box: in the key's bottom right
    // corner, below its labels. A conflict's box is filled (a disc, or a
    // pill for more digits).
    bool hasCount = false;
    PictureText count;
    PictureBox countBox;
    bool hasDisc = false;
    // The key and its scripts, a line each: "F2 (0x71)", "2 scripts, a
    // conflict:", "  a.cs (1 test)"; its first line names the key.
    std::string tooltip;
};

// A swatch of the legend and what it stands for.
struct PictureSwatch {
    PictureBox box;
    KeyShade shade = KeyShade::Free;
    PictureText text;
};

// The key map drawn as a picture, in pixels: one layout that every renderer
// (the SVG file, the window) draws the same way.
//
// A full-size keyboard (US layout labels) with the five mouse buttons beside
// it, each key coloured by how many scripts test it, the number of scripts on
// the key and the scripts in its tooltip; the keys the keyboard lacks in a
// strip below; the twenty buttons of each pad as chips; the cheat codes
// typed, when any, in a list right of the keyboard (or below it), coloured
// the same way; a legend, the caption and the totals. Shift, Ctrl and Alt
// keys also show the tests of their either-side code. A key is a conflict
// when two mods fight over it (KeyEntry::contenders): a pad's button alone is
// a control mods share, shown but no conflict.
struct KeyboardPicture {
    double width = 0;
    double height = 0;
    std::string title;               // "Key map of " and the caption's folder
    std::vector<PictureText> texts;  // the heading, the totals, the section titles
    std::vector<PictureSwatch> legend;
    std::vector<PictureKey> keys;

    // The key at a point, or null.
    const PictureKey* KeyAt(double x, double y) const;
};

// A key as a tooltip's first line names it, as the main window names it,
// with its code: "F2 (0x71)", "VKey 0xE8", "Pad 1 Cross: Sprint | Accelerate
// (button 16)", "Cheat BOOM".
std::string KeyHeading(const TestedKey& key);

// Lays the picture out `width` pixels wide, its texts always at their
// sizes: the keys as wide as the width gives, between a least and a most
// size (the least width, LeastPictureWidth, when less is given: a window
// that shows it narrower scales it); the keys the keyboard lacks and the
// pads' buttons in as many chips a row as the width holds; the cheat codes
// beside the keyboard when there is room, else below it. A width of 0 gives
// the picture's natural width, its keys at their most size.
KeyboardPicture LayOutKeyboard(const KeyMap& map, const KeyboardCaption& caption, double width = 0);
double LeastPictureWidth();

}  // namespace morvane
