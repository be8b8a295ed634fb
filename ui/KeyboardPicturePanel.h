#pragma once

#include <wx/scrolwin.h>

#include "keymap/KeyboardPicture.h"

class wxGraphicsContext;

// Draws a key map's picture, the layout of the SVG file with the same
// colours: each key filled by its shade, a conflict hatched with its number
// in a disc. Laid out for the width it has (its chips as many a row as fit)
// and drawn at its size: narrower than the keyboard's least width, or taller
// than its window, it scrolls, so that no text is drawn smaller than a
// reader can read. Texts are in the system's interface font, made smaller
// (down to kLeastTextSize) where a word would spill over its key. The mouse
// over a key shows its scripts as a tooltip.
class KeyboardPicturePanel : public wxScrolledCanvas {
public:
    // The smallest a text is drawn, in pixels.
    static constexpr double kLeastTextSize = 9;

    explicit KeyboardPicturePanel(wxWindow* parent);
    ~KeyboardPicturePanel() override;

    void SetMap(morvane::KeyMap map, morvane::KeyboardCaption caption);
    const morvane::KeyboardPicture& Picture() const { return picture_; }
    // The key under a point of the panel (its client coordinates), or null.
    const morvane::PictureKey* KeyAtPoint(const wxPoint& point) const;
    // Where a point of the picture is in the panel's client coordinates.
    wxPoint PointOf(double x, double y) const;

private:
    void OnPaint(wxPaintEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnLeave(wxMouseEvent& event);
    void OnSize(wxSizeEvent& event);
    void UpdateLayout();

    morvane::KeyMap map_;
    morvane::KeyboardCaption caption_;
    double laidOutWidth_ = -1;
    morvane::KeyboardPicture picture_;
    const morvane::PictureKey* hovered_ = nullptr;  // the key whose tooltip is shown
};

// Draws the picture with its top left corner at the context's origin.
void PaintKeyboardPicture(wxGraphicsContext& context, const morvane::KeyboardPicture& picture);

// The width a text of the picture is drawn at: its own size, or smaller so
// that it is no wider than its maxWidth.
double DrawnTextWidth(wxGraphicsContext& context, const morvane::PictureText& text, bool bold);
// The size in pixels that text is drawn at.
double DrawnTextSize(wxGraphicsContext& context, const morvane::PictureText& text, bool bold);
