// SPDX-License-Identifier: MIT
// The scene drawn by the X server itself, for the window on an X11 display.
//
// Painting through Qt's backing store costs this process a round trip to the X server on
// nearly every frame (the shared image may not be written while the server still reads it)
// and a fill of every pixel that changed: far more than the game's own work. Here the window
// instead sends the server a few small drawing requests a frame into a pixmap of the server's
// own, which always holds the whole last frame: the changed rectangles become the clip of the
// drawing requests, they are cleared, and the labels, stars and lines that reach into them are
// drawn again, the lines of one pen and the stars in one request each; then those rectangles
// alone are copied to the window. The frame goes out in one write, nothing waits for a reply,
// and the pixels are the server's work. The labels' texts are blended from glyphs the server
// keeps (X11Glyphs).
//
// The canvas serves only the usual case: 24-bit true colour at one device pixel per pixel, on
// a server with the RENDER extension. Anywhere else (Wayland, the offscreen platform of the
// tests, scaled or odd displays) the widget paints with QPainter instead.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QLine>
#include <QRect>

#include "host/scene_state.h"
#include "host/toolkit.h"
#include "qt/canvas.h"
#include "qt/host_rects.h"
#include "qt/label_texts.h"

class QWidget;

namespace vandrel::qt {

/// How far beyond the window, in pixels, the ends of a line sent to the X server may lie: its
/// coordinates are 16-bit, and the terrain reaches far past the window's edges.
inline constexpr int kReachMargin = 4096;

class X11Canvas final : public Canvas, private host::Surface {
  public:
    /// A canvas on the widget's own X window, or null when the widget is not on an X11
    /// display the canvas serves. The widget must be a native window already; `texts` are the
    /// labels' texts, laid out.
    static std::unique_ptr<X11Canvas> attach(QWidget& widget, const LabelTexts& texts);
    /// True when attach() may succeed for widgets of this application: it runs on X11.
    static bool available();
    ~X11Canvas() override;
    X11Canvas(const X11Canvas&) = delete;
    X11Canvas& operator=(const X11Canvas&) = delete;

    /// Draws into the server's pixmap, which holds the rest of the frame already.
    void draw(const host::Scene& scene, const host::Damage& area) override;
    /// Copies the part `area` of the last frame drawn to the window and sends it all.
    void show(const host::Damage& area) override;
    /// Forgets the glyphs kept on the server (the fonts changed).
    void invalidateLabels() override;

    struct Connection;

  private:
    X11Canvas(std::unique_ptr<Connection> x, QSize size, const LabelTexts& texts);
    /// Clips gc_ to `area`, within the window; false when nothing of it is left.
    bool clipTo(const std::vector<host::Rect>& area);
    void setPen(std::uint32_t pixel, int width);
    /// Sends the fills, lines or stars gathered so far, each kind in one request.
    void flush();

    // The scene's surface: the drawing requests of a frame, clipped to its area, and the
    // labels' texts blended from the glyphs the server keeps.
    void begin(const std::vector<host::Rect>& area) override;
    void text(int label, int x, int y, host::Rgb ink, host::Rgb paper,
              const std::optional<host::Rect>& clip) override;
    void fill(const host::Rect& box, host::Rgb colour) override;
    void line(int x1, int y1, int x2, int y2, host::Rgb colour, int width) override;
    void oval(const host::Rect& box, host::Rgb fill, host::Rgb border, int width) override;
    void end() override { flush(); }

    std::unique_ptr<Connection> x_;
    QSize size_;
    const LabelTexts& texts_;
    std::uint32_t back_ = 0;  // the pixmap each frame is drawn into
    std::uint32_t gc_ = 0;    // clipped to the part being drawn or shown
    // The GC's foreground and line width, as it is created and as last set.
    std::uint32_t penPixel_ = 0;
    int penWidth_ = 1;
    std::vector<host::Rect> clip_;  // gc_'s clip, as asked for
    QRect clipBounds_;              // the bounding box of gc_'s clip
    struct Rectangle {              // as the X server takes it
        std::int16_t x, y;
        std::uint16_t width, height;
    };
    std::vector<Rectangle> clipRects_;  // scratch, gc_'s clip

    // Fills of one colour, lines of one pen, or stars of one look, that follow each other in the
    // drawing order go to the server in one request of each kind: rectangles of one colour,
    // segments drawn by one pen, and discs that do not overlap, come out the same in any order.
    struct Segment {  // as the X server takes them
        std::int16_t x1, y1, x2, y2;
    };
    struct Arc {
        std::int16_t x, y;
        std::uint16_t width, height;
        std::int16_t angle1, angle2;
    };
    struct Pen {
        std::uint32_t pixel;
        int width;
        friend bool operator==(const Pen&, const Pen&) = default;
    };
    std::uint32_t fillPixel_ = 0;        // the fills' colour
    std::vector<Rectangle> fills_;       // gathered, not yet sent
    Pen linePen_{};                      // the segments' pen
    std::uint32_t starFill_ = 0;         // the stars' fill
    Pen starPen_{};                      // and outline
    std::vector<Segment> segments_;      // gathered, not yet sent
    std::vector<Arc> stars_;             // gathered, not yet sent
    std::vector<host::Rect> starBoxes_;  // their footprints
};

}  // namespace vandrel::qt
