#include "keymap/KeyboardSvg.h"

#include <cstdio>
#include <sstream>

#include "io/Utf8Text.h"

namespace morvane {

namespace {

std::string Escape(const std::string& raw) {
    const std::string text = ValidUtf8(raw);
    std::string escaped;
    for (const char c : text) {
        switch (c) {
            case '&': escaped += "&amp;"; break;
            case '<': escaped += "&lt;"; break;
            case '>': escaped += "&gt;"; break;
            case '"': escaped += "&quot;"; break;
            case '\'': escaped += "&apos;"; break;
            default:
                // XML 1.0 has no way to write other control characters.
                if (static_cast<unsigned char>(c) < 0x20 && c != '\n' && c != '\t')
                    escaped += "\xEF\xBF\xBD";
                else
                    escaped += c;
        }
    }
    return escaped;
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    std::string s = text;
    s.erase(s.find_last_not_of('0') + 1);
    if (s.back() == '.') s.pop_back();
    return s;
}

std::string Hex(const Rgb& colour) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", colour.red, colour.green, colour.blue);
    return text;
}

const char* ClassOf(KeyShade shade) {
    switch (shade) {
        case KeyShade::Free: return "free";
        case KeyShade::One: return "one";
        case KeyShade::Conflict: return "many";
    }
    return "free";
}

const char* ClassOf(TextStyle style) {
    switch (style) {
        case TextStyle::Title: return "title";
        case TextStyle::Quiet: return "sub";
        case TextStyle::Section: return "section";
        case TextStyle::Label: return "label";
        case TextStyle::Small: return "small";
        case TextStyle::Count: return "count";
    }
    return "sub";
}

// The style sheet, from the picture's one table of colours and text looks. A
// key's texts follow its box, so "box ~ text" rules colour them.
std::string StyleSheet() {
    std::string css = "text{font-family:'DejaVu Sans',Verdana,Arial,sans-serif;fill:" + Hex(kPictureText) + "}";
    for (const TextStyle style : {TextStyle::Title, TextStyle::Quiet, TextStyle::Section, TextStyle::Label,
                                  TextStyle::Small, TextStyle::Count}) {
        const TextLook& look = LookOf(style);
        css += std::string(".") + ClassOf(style) + "{font-size:" + Number(look.size) + "px";
        if (look.bold) css += ";font-weight:bold";
        if (look.anchor == TextAnchor::Middle) css += ";text-anchor:middle";
        if (look.anchor == TextAnchor::End) css += ";text-anchor:end";
        if (style == TextStyle::Quiet) css += ";fill:" + Hex(kPictureQuietText);
        css += "}";
    }
    for (const KeyShade shade : {KeyShade::Free, KeyShade::One, KeyShade::Conflict}) {
        const ShadeColours& colours = ColoursOf(shade);
        const std::string cls = ClassOf(shade);
        css += "." + cls + "{fill:" + Hex(colours.fill) + ";stroke:" + Hex(colours.outline);
        if (colours.outlineWidth != 1) css += ";stroke-width:" + Number(colours.outlineWidth);
        css += "}." + cls + "~text{fill:" + Hex(colours.label) + (colours.boldLabel ? ";font-weight:bold" : "") + "}";
        css += "." + cls + "~text.count{fill:" + Hex(colours.count) + "}";
    }
    css += ".disc{fill:" + Hex(kDiscFill) + ";stroke:" + Hex(ColoursOf(KeyShade::Conflict).outline) + "}";
    return css;
}

class Writer {
public:
    explicit Writer(std::ostringstream& out) : out_(out) {}

    // A text its style would draw wider than its room is squeezed into it,
    // so that it never spills over its neighbour.
    void Text(const PictureText& text) {
        out_ << "<text class=\"" << ClassOf(text.style) << "\" x=\"" << Number(text.x) << "\" y=\"" << Number(text.y)
             << "\"";
        if (text.maxWidth > 0 && EstimatedWidth(text.text, text.style) > text.maxWidth)
            out_ << " textLength=\"" << Number(text.maxWidth) << "\" lengthAdjust=\"spacingAndGlyphs\"";
        out_ << ">" << Escape(text.text) << "</text>\n";
    }

    // A box in its shade's colours, hatched when a conflict.
    void Box(const PictureBox& box, KeyShade shade) {
        const std::string place = " x=\"" + Number(box.x) + "\" y=\"" + Number(box.y) + "\" width=\"" +
                                  Number(box.width) + "\" height=\"" + Number(box.height) + "\" rx=\"" +
                                  Number(box.cornerRadius) + "\"";
        out_ << "<rect class=\"" << ClassOf(shade) << "\"" << place << "/>\n";
        if (shade == KeyShade::Conflict) out_ << "<rect" << place << " fill=\"url(#hatch)\"/>\n";
    }

    void Swatch(const PictureSwatch& swatch) {
        // The text first: a conflict's colours apply to the texts after its box.
        out_ << "<g>\n";
        Text(swatch.text);
        Box(swatch.box, swatch.shade);
        out_ << "</g>\n";
    }

    void Key(const PictureKey& key) {
        out_ << "<g>\n<title>" << Escape(key.tooltip) << "</title>\n";
        Box(key.box, key.shade);
        for (const PictureText& label : key.labels) Text(label);
        if (key.hasDisc) {
            const PictureBox& disc = key.countBox;
            out_ << "<rect class=\"disc\" x=\"" << Number(disc.x) << "\" y=\"" << Number(disc.y) << "\" width=\""
                 << Number(disc.width) << "\" height=\"" << Number(disc.height) << "\" rx=\""
                 << Number(disc.cornerRadius) << "\"/>\n";
        }
        if (key.hasCount) Text(key.count);
        out_ << "</g>\n";
    }

private:
    std::ostringstream& out_;
};

}  // namespace

std::string KeyboardSvg(const KeyMap& map, const KeyboardCaption& caption) {
    const KeyboardPicture picture = LayOutKeyboard(map, caption);
    std::ostringstream body;
    Writer writer(body);
    for (const PictureText& text : picture.texts) writer.Text(text);
    for (const PictureSwatch& swatch : picture.legend) writer.Swatch(swatch);
    for (const PictureKey& key : picture.keys) writer.Key(key);

    std::ostringstream svg;
    svg << "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" << Number(picture.width)
        << "\" height=\"" << Number(picture.height) << "\" viewBox=\"0 0 " << Number(picture.width) << " "
        << Number(picture.height) << "\">\n"
        << "<title>" << Escape(picture.title) << "</title>\n"
        << "<defs>\n<style type=\"text/css\"><![CDATA[" << StyleSheet() << "]]></style>\n"
        << "<pattern id=\"hatch\" width=\"8\" height=\"8\" patternUnits=\"userSpaceOnUse\" "
           "patternTransform=\"rotate(45)\"><rect width=\"3\" height=\"8\" fill=\"#000\" fill-opacity=\""
        << Number(kHatchOpacity) << "\"/></pattern>\n</defs>\n"
        << "<rect width=\"100%\" height=\"100%\" fill=\"" << Hex(kPictureBackground) << "\"/>\n"
        << body.str() << "</svg>\n";
    return svg.str();
}

}  // namespace morvane
