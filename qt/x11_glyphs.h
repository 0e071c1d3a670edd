// SPDX-License-Identifier: MIT
// The labels' texts drawn by the X server from glyphs it keeps (its RENDER extension), for the
// scene the server draws (X11Canvas).
//
// A readout changes on nearly every tick while the ship moves. Laying out its new caption is
// cheap (LabelTexts); drawing it with QPainter and sending the label's pixels to the server
// was not. Here each glyph is drawn once by QPainter, in the text's colour on the label's
// background, when a text first needs it, and kept on the server as the share of the text's
// colour in each pixel: a caption then costs one small request that names its glyphs and
// their places, and the server blends them onto the label, pixel for pixel as QPainter would
// have drawn them (QPainter blends text with a gamma of its own).
#pragma once

#if VANDREL_HAVE_XCB && VANDREL_HAVE_XCB_RENDER

#include <cstdint>
#include <memory>
#include <unordered_set>
#include <vector>

#include <xcb/render.h>
#include <xcb/xcb.h>
#include <QPoint>
#include <QRawFont>
#include <QRect>

#include "qt/label_texts.h"

namespace vandrel::qt {

class X11Glyphs {
  public:
    /// Glyphs drawn onto `target`, a drawable of the window's `visual`; null when the server
    /// cannot blend them (no RENDER 0.10, or no picture format for the visual).
    static std::unique_ptr<X11Glyphs> attach(xcb_connection_t* c, xcb_drawable_t target,
                                             xcb_visualid_t visual);
    ~X11Glyphs();
    X11Glyphs(const X11Glyphs&) = delete;
    X11Glyphs& operator=(const X11Glyphs&) = delete;

    /// Text is drawn only within these rectangles, in bands from the top (the canvas's clip).
    void clipTo(const xcb_rectangle_t* rectangles, std::uint32_t count);
    /// Draws `text` with the top-left corner of its line at `origin`, in the colour `ink` on
    /// the background `paper` (both 0xRRGGBB), within the clip and, if given, within `within`
    /// as well.
    void draw(const LabelTexts::Text& text, QPoint origin, std::uint32_t ink, std::uint32_t paper,
              const QRect* within);
    /// Forgets every glyph kept (the fonts changed).
    void forget();

  private:
    struct Font {  // a font in one colour on one background
        QRawFont font;
        std::uint32_t ink = 0, paper = 0;
        xcb_render_glyphset_t set = 0;
        std::unordered_set<std::uint32_t> kept;  // the ids of keep()
    };
    struct Ink {
        std::uint32_t pixel;
        xcb_render_picture_t picture;
    };

    X11Glyphs(xcb_connection_t* c, xcb_render_picture_t target, xcb_render_pictformat_t alpha);
    Font& fontFor(const QRawFont& font, std::uint32_t ink, std::uint32_t paper);
    /// The id of `glyph` placed `x64`/64 and `y64`/64 of a pixel right of and below a pixel's
    /// corner (Qt draws glyphs at fractions of a pixel), sent to the server first if need be.
    std::uint32_t keep(Font& font, std::uint32_t glyph, int x64, int y64);
    xcb_render_picture_t solid(std::uint32_t pixel);

    xcb_connection_t* c_;
    xcb_render_picture_t target_;
    xcb_render_pictformat_t alpha_;  // 8-bit coverage, the glyphs' format
    std::vector<Font> fonts_;
    std::vector<Ink> inks_;
    std::vector<xcb_rectangle_t> clip_;
    std::vector<std::uint8_t> request_;  // scratch, a text's glyphs and places
};

}  // namespace vandrel::qt

#endif
