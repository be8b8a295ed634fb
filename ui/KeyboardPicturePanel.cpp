#include "ui/KeyboardPicturePanel.h"

#include <wx/dcclient.h>
#include <wx/graphics.h>

#include <algorithm>
#include <cmath>
#include <memory>

using namespace morvane;

namespace {

// Scroll steps, in pixels.
constexpr int kScrollStep = 20;
// What the black lines of a conflict's hatch let through, 0 to 255.
constexpr unsigned char kHatchAlpha = static_cast<unsigned char>(kHatchOpacity * 255 + 0.5);

wxColour Colour(const Rgb& rgb) { return wxColour(rgb.red, rgb.green, rgb.blue); }

wxFont FontOf(TextStyle style, bool bold) {
    const TextLook& look = LookOf(style);
    return wxFont(wxFontInfo(wxSize(0, static_cast<int>(std::lround(look.size))))
                      .Family(wxFONTFAMILY_SWISS)
                      .FaceName("DejaVu Sans")
                      .Bold(look.bold || bold));
}

// A text at its anchor and baseline, as the SVG places it.
void DrawText(wxGraphicsContext& context, const PictureText& text, const Rgb& colour, bool bold = false) {
    context.SetFont(FontOf(text.style, bold), Colour(colour));
    const wxString shown = wxString::FromUTF8(text.text);
    double width = 0, height = 0, descent = 0, leading = 0;
    context.GetTextExtent(shown, &width, &height, &descent, &leading);
    double x = text.x;
    switch (LookOf(text.style).anchor) {
        case TextAnchor::Start: break;
        case TextAnchor::Middle: x -= width / 2; break;
        case TextAnchor::End: x -= width; break;
    }
    context.DrawText(shown, x, text.y - (height - descent));
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
            context.DrawEllipse(key.discX - key.discRadius, key.discY - key.discRadius, 2 * key.discRadius,
                                2 * key.discRadius);
        }
        if (key.hasCount) DrawText(context, key.count, colours.count);
    }
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

void KeyboardPicturePanel::SetPicture(KeyboardPicture picture) {
    picture_ = std::move(picture);
    hovered_ = nullptr;
    UnsetToolTip();
    UpdateScale();
}

void KeyboardPicturePanel::UpdateScale() {
    if (picture_.width <= 0) return;
    const int width = GetClientSize().x;
    scale_ = std::clamp(width / picture_.width, kLeastScale, 1.0);
    SetVirtualSize(static_cast<int>(std::ceil(picture_.width * scale_)),
                   static_cast<int>(std::ceil(picture_.height * scale_)));
    Refresh();
}

const PictureKey* KeyboardPicturePanel::KeyAtPoint(const wxPoint& point) const {
    const wxPoint unscrolled = CalcUnscrolledPosition(point);
    return picture_.KeyAt(unscrolled.x / scale_, unscrolled.y / scale_);
}

wxPoint KeyboardPicturePanel::PointOf(double x, double y) const {
    return CalcScrolledPosition(
        wxPoint(static_cast<int>(std::lround(x * scale_)), static_cast<int>(std::lround(y * scale_))));
}

void KeyboardPicturePanel::OnPaint(wxPaintEvent& /*event*/) {
    wxPaintDC dc(this);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    const std::unique_ptr<wxGraphicsContext> context(wxGraphicsContext::Create(dc));
    if (!context) return;
    const wxPoint origin = CalcScrolledPosition(wxPoint(0, 0));
    context->Translate(origin.x, origin.y);
    context->Scale(scale_, scale_);
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
    UpdateScale();
    event.Skip();
}
