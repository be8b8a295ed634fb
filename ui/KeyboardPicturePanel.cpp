#include "ui/KeyboardPicturePanel.h"

#include <wx/dcclient.h>
#include <wx/dcscreen.h>
#include <wx/graphics.h>
#include <wx/settings.h>

#include <algorithm>
#include <cmath>
#include <memory>

using namespace morvane;

namespace {

constexpr double kLeastTextSize = KeyboardPicturePanel::kLeastTextSize;
// Scroll steps, in pixels.
constexpr int kScrollStep = 20;
// What the black lines of a conflict's hatch let through, 0 to 255.
constexpr unsigned char kHatchAlpha = static_cast<unsigned char>(kHatchOpacity * 255 + 0.5);

wxColour Colour(const Rgb& rgb) { return wxColour(rgb.red, rgb.green, rgb.blue); }

// A text's font: the system's interface font at the text's size in pixels,
// or smaller so that the text is no wider than its room; its width drawn.
wxFont FontOf(TextStyle style, bool bold, double size) {
    wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    font.SetPixelSize(wxSize(0, std::max(1, static_cast<int>(std::lround(size)))));
    font.SetWeight(LookOf(style).bold || bold ? wxFONTWEIGHT_BOLD : wxFONTWEIGHT_NORMAL);
    return font;
}

struct FittedText {
    wxFont font;
    double size = 0;
    double width = 0;
    double height = 0;
    double descent = 0;
};

// What a graphics context draws a font at, against what the screen draws it
// at (Cairo takes a pixel size for points): the factor that makes a text as
// large as the picture's pixels say.
double FontCorrection(wxGraphicsContext& context) {
    static double correction = 0;
    if (correction > 0) return correction;
    constexpr double kProbeSize = 100;
    const wxFont probe = FontOf(TextStyle::Label, false, kProbeSize);
    wxScreenDC screen;
    screen.SetFont(probe);
    const double onScreen = screen.GetTextExtent("Hg").y;
    context.SetFont(probe, *wxBLACK);
    double width = 0, height = 0;
    context.GetTextExtent("Hg", &width, &height);
    correction = onScreen > 0 && height > 0 ? onScreen / height : 1.0;
    return correction;
}

FittedText Fit(wxGraphicsContext& context, const PictureText& text, bool bold, const wxString& shown) {
    const double correction = FontCorrection(context);
    double size = LookOf(text.style).size * correction;
    const double least = kLeastTextSize * correction;
    FittedText fitted;
    for (;;) {
        fitted.font = FontOf(text.style, bold, size);
        context.SetFont(fitted.font, *wxBLACK);
        double leading = 0;
        context.GetTextExtent(shown, &fitted.width, &fitted.height, &fitted.descent, &leading);
        fitted.size = size / correction;
        if (text.maxWidth <= 0 || fitted.width <= text.maxWidth || size <= least) break;
        // Fonts come in whole pixels: the size the width asks for, and at
        // least a pixel less than the last.
        size = std::max(least, std::min(std::floor(size * text.maxWidth / fitted.width), size - 1));
    }
    return fitted;
}

// A text at its anchor and baseline, as the SVG places it.
void DrawText(wxGraphicsContext& context, const PictureText& text, const Rgb& colour, bool bold = false) {
    const wxString shown = wxString::FromUTF8(text.text);
    const FittedText fitted = Fit(context, text, bold, shown);
    context.SetFont(fitted.font, Colour(colour));
    double x = text.x;
    switch (LookOf(text.style).anchor) {
        case TextAnchor::Start: break;
        case TextAnchor::Middle: x -= fitted.width / 2; break;
        case TextAnchor::End: x -= fitted.width; break;
    }
    context.DrawText(shown, x, text.y - (fitted.height - fitted.descent));
}

const Rgb& TextColour(TextStyle style) { return style == TextStyle::Quiet ? kPictureQuietText : kPictureText; }

void DrawBox(wxGraphicsContext& context, const PictureBox& box, KeyShade shade) {
    const ShadeColours& colours = ColoursOf(shade);
    context.SetPen(wxPen(Colour(colours.outline), static_cast<int>(colours.outlineWidth)));
    context.SetBrush(wxBrush(Colour(colours.fill)));
    context.DrawRoundedRectangle(box.x, box.y, box.width, box.height, box.cornerRadius);
    if (shade == KeyShade::Conflict) {
        context.SetPen(*wxTRANSPARENT_PEN);
        context.SetBrush(wxBrush(wxColour(0, 0, 0, kHatchAlpha), wxBRUSHSTYLE_BDIAGONAL_HATCH));
        context.DrawRoundedRectangle(box.x, box.y, box.width, box.height, box.cornerRadius);
    }
}

}  // namespace

void PaintKeyboardPicture(wxGraphicsContext& context, const KeyboardPicture& picture) {
    context.SetAntialiasMode(wxANTIALIAS_DEFAULT);
    context.SetPen(*wxTRANSPARENT_PEN);
    context.SetBrush(wxBrush(Colour(kPictureBackground)));
    context.DrawRectangle(0, 0, picture.width, picture.height);
    for (const PictureText& text : picture.texts) DrawText(context, text, TextColour(text.style));
    for (const PictureSwatch& swatch : picture.legend) {
        DrawBox(context, swatch.box, swatch.shade);
        DrawText(context, swatch.text, TextColour(swatch.text.style));
    }
    for (const PictureKey& key : picture.keys) {
        const ShadeColours& colours = ColoursOf(key.shade);
        DrawBox(context, key.box, key.shade);
        for (const PictureText& label : key.labels) DrawText(context, label, colours.label, colours.boldLabel);
        if (key.hasDisc) {
            context.SetPen(wxPen(Colour(colours.outline)));
            context.SetBrush(wxBrush(Colour(kDiscFill)));
            const PictureBox& disc = key.countBox;
            context.DrawRoundedRectangle(disc.x, disc.y, disc.width, disc.height, disc.cornerRadius);
        }
        if (key.hasCount) DrawText(context, key.count, colours.count);
    }
}

double DrawnTextWidth(wxGraphicsContext& context, const PictureText& text, bool bold) {
    return Fit(context, text, bold, wxString::FromUTF8(text.text)).width;
}

double DrawnTextSize(wxGraphicsContext& context, const PictureText& text, bool bold) {
    return Fit(context, text, bold, wxString::FromUTF8(text.text)).size;
}

KeyboardPicturePanel::KeyboardPicturePanel(wxWindow* parent)
    : wxScrolledCanvas(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxScrolledWindowStyle, "keyPicture") {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetScrollRate(kScrollStep, kScrollStep);
    // The vertical bar always there: the width the picture is fitted to does
    // not change when it comes and goes.
    ShowScrollbars(wxSHOW_SB_DEFAULT, wxSHOW_SB_ALWAYS);
    Bind(wxEVT_PAINT, &KeyboardPicturePanel::OnPaint, this);
    Bind(wxEVT_MOTION, &KeyboardPicturePanel::OnMotion, this);
    Bind(wxEVT_LEAVE_WINDOW, &KeyboardPicturePanel::OnLeave, this);
    Bind(wxEVT_SIZE, &KeyboardPicturePanel::OnSize, this);
}

KeyboardPicturePanel::~KeyboardPicturePanel() {
    Unbind(wxEVT_PAINT, &KeyboardPicturePanel::OnPaint, this);
    Unbind(wxEVT_MOTION, &KeyboardPicturePanel::OnMotion, this);
    Unbind(wxEVT_LEAVE_WINDOW, &KeyboardPicturePanel::OnLeave, this);
    Unbind(wxEVT_SIZE, &KeyboardPicturePanel::OnSize, this);
}

void KeyboardPicturePanel::SetMap(KeyMap map, KeyboardCaption caption) {
    map_ = std::move(map);
    caption_ = std::move(caption);
    laidOutWidth_ = -1;
    UpdateLayout();
}

// Laid out anew for the width the panel has, when it changed.
void KeyboardPicturePanel::UpdateLayout() {
    const double layoutWidth = std::max<double>(GetClientSize().x, LeastPictureWidth());
    if (layoutWidth != laidOutWidth_) {
        laidOutWidth_ = layoutWidth;
        picture_ = LayOutKeyboard(map_, caption_, layoutWidth);
        hovered_ = nullptr;
        UnsetToolTip();
    }
    SetVirtualSize(static_cast<int>(std::ceil(picture_.width)), static_cast<int>(std::ceil(picture_.height)));
    Refresh();
}

const PictureKey* KeyboardPicturePanel::KeyAtPoint(const wxPoint& point) const {
    const wxPoint unscrolled = CalcUnscrolledPosition(point);
    return picture_.KeyAt(unscrolled.x, unscrolled.y);
}

wxPoint KeyboardPicturePanel::PointOf(double x, double y) const {
    return CalcScrolledPosition(wxPoint(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y))));
}

void KeyboardPicturePanel::OnPaint(wxPaintEvent& /*event*/) {
    wxPaintDC dc(this);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    const std::unique_ptr<wxGraphicsContext> context(wxGraphicsContext::Create(dc));
    if (!context) return;
    const wxPoint origin = CalcScrolledPosition(wxPoint(0, 0));
    context->Translate(origin.x, origin.y);
    PaintKeyboardPicture(*context, picture_);
}

void KeyboardPicturePanel::OnMotion(wxMouseEvent& event) {
    const PictureKey* key = KeyAtPoint(event.GetPosition());
    if (key != hovered_) {
        hovered_ = key;
        if (key != nullptr)
            SetToolTip(wxString::FromUTF8(key->tooltip));
        else
            UnsetToolTip();
    }
    event.Skip();
}

void KeyboardPicturePanel::OnLeave(wxMouseEvent& event) {
    hovered_ = nullptr;
    UnsetToolTip();
    event.Skip();
}

void KeyboardPicturePanel::OnSize(wxSizeEvent& event) {
    UpdateLayout();
    event.Skip();
}
