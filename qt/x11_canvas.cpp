// SPDX-License-Identifier: MIT
#include "qt/x11_canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <QGuiApplication>
#include <QWidget>

#if VANDREL_HAVE_XCB && VANDREL_HAVE_XCB_RENDER
#include "qt/x11_connection.h"
#include "qt/x11_glyphs.h"
#endif

namespace vandrel::qt {

#if VANDREL_HAVE_XCB && VANDREL_HAVE_XCB_RENDER

struct X11Canvas::Connection {
    xcb_connection_t* c = nullptr;
    xcb_window_t window = 0;
    xcb_visualid_t visual = 0;
    std::uint8_t depth = 0;
    std::unique_ptr<X11Glyphs> glyphs;  // onto the canvas's pixmap
};

namespace {

// The window's visual, when it is the usual true colour with 8 bits of red, green and blue
// in the low three bytes of a pixel.
bool plainTrueColour(xcb_connection_t* c, xcb_visualid_t visual, std::uint8_t depth) {
    if (depth != 24) return false;
    for (auto screens = xcb_setup_roots_iterator(xcb_get_setup(c)); screens.rem;
         xcb_screen_next(&screens)) {
        for (auto depths = xcb_screen_allowed_depths_iterator(screens.data); depths.rem;
             xcb_depth_next(&depths)) {
            for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem;
                 xcb_visualtype_next(&visuals)) {
                const xcb_visualtype_t& type = *visuals.data;
                if (type.visual_id != visual) continue;
                return type._class == XCB_VISUAL_CLASS_TRUE_COLOR && type.red_mask == 0xff0000 &&
                       type.green_mask == 0x00ff00 && type.blue_mask == 0x0000ff;
            }
        }
    }
    return false;
}

std::uint32_t pixelOf(host::Rgb rgb) {
    return std::uint32_t{rgb.red} << 16 | std::uint32_t{rgb.green} << 8 | rgb.blue;
}

std::int16_t coordinate(int value) {
    return static_cast<std::int16_t>(std::clamp(value, -32768, 32767));
}

std::uint16_t extent(int value) {
    return static_cast<std::uint16_t>(std::clamp(value, 0, 65535));
}

}  // namespace

bool X11Canvas::available() {
    return applicationConnection() != nullptr;
}

std::unique_ptr<X11Canvas> X11Canvas::attach(QWidget& widget, const LabelTexts& texts) {
    xcb_connection_t* c = applicationConnection();
    if (c == nullptr || widget.devicePixelRatioF() != 1.0) return nullptr;
    auto x = std::make_unique<Connection>();
    x->c = c;
    x->window = static_cast<xcb_window_t>(widget.winId());

    xcb_get_geometry_reply_t* geometry =
        xcb_get_geometry_reply(c, xcb_get_geometry(c, x->window), nullptr);
    xcb_get_window_attributes_reply_t* attributes =
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, x->window), nullptr);
    bool usable = geometry != nullptr && attributes != nullptr;
    if (usable) {
        x->depth = geometry->depth;
        x->visual = attributes->visual;
        usable = plainTrueColour(c, attributes->visual, x->depth);
    }
    std::free(geometry);
    std::free(attributes);
    if (!usable) return nullptr;
    std::unique_ptr<X11Canvas> canvas(new X11Canvas(std::move(x), widget.size(), texts));
    if (!canvas->x_->glyphs) return nullptr;  // no RENDER to draw the texts with
    return canvas;
}

X11Canvas::X11Canvas(std::unique_ptr<Connection> x, QSize size, const LabelTexts& texts)
    : x_(std::move(x)), size_(size), texts_(texts) {
    xcb_connection_t* c = x_->c;
    back_ = xcb_generate_id(c);
    xcb_create_pixmap(c, x_->depth, back_, x_->window, extent(size_.width()),
                      extent(size_.height()));
    gc_ = xcb_generate_id(c);
    // Square ends and mitred joins, like the painter's pens; copies raise no exposures.
    const std::uint32_t values[] = {penPixel_, static_cast<std::uint32_t>(penWidth_),
                                    XCB_CAP_STYLE_PROJECTING, XCB_JOIN_STYLE_MITER, 0};
    xcb_create_gc(c, gc_, back_,
                  XCB_GC_FOREGROUND | XCB_GC_LINE_WIDTH | XCB_GC_CAP_STYLE | XCB_GC_JOIN_STYLE |
                      XCB_GC_GRAPHICS_EXPOSURES,
                  values);
    x_->glyphs = X11Glyphs::attach(c, back_, x_->visual);
}

X11Canvas::~X11Canvas() {
    xcb_connection_t* c = x_->c;
    x_->glyphs.reset();
    xcb_free_gc(c, gc_);
    xcb_free_pixmap(c, back_);
    xcb_flush(c);
}

void X11Canvas::invalidateLabels() {
    x_->glyphs->forget();
}

void X11Canvas::setPen(std::uint32_t pixel, int width) {
    if (pixel == penPixel_ && width == penWidth_) return;
    const std::uint32_t values[] = {pixel, static_cast<std::uint32_t>(std::max(width, 0))};
    if (width == penWidth_) {
        xcb_change_gc(x_->c, gc_, XCB_GC_FOREGROUND, values);
    } else {
        xcb_change_gc(x_->c, gc_, XCB_GC_FOREGROUND | XCB_GC_LINE_WIDTH, values);
    }
    penPixel_ = pixel;
    penWidth_ = width;
}

bool X11Canvas::clipTo(const std::vector<host::Rect>& rects) {
    if (rects == clip_) return !clipRects_.empty();  // a frame is shown as it was drawn
    clip_ = rects;
    clipRects_.clear();
    clipBounds_ = QRect();
    for (const host::Rect& r : rects) {
        clipRects_.push_back(
            {coordinate(r.left), coordinate(r.top), extent(r.width), extent(r.height)});
        clipBounds_ |= toQRect(r);
    }
    if (clipRects_.empty()) return false;
    static_assert(sizeof(Rectangle) == sizeof(xcb_rectangle_t));
    // The damage's rectangles come in bands from the top, each band from the left.
    const auto count = static_cast<std::uint32_t>(clipRects_.size());
    const auto* rectangles = reinterpret_cast<const xcb_rectangle_t*>(clipRects_.data());
    xcb_set_clip_rectangles(x_->c, XCB_CLIP_ORDERING_YX_BANDED, gc_, 0, 0, count, rectangles);
    x_->glyphs->clipTo(rectangles, count);
    return true;
}

void X11Canvas::draw(const host::Scene& scene, const host::Damage& area) {
    scene.paint(*this, area);
}

void X11Canvas::begin(const std::vector<host::Rect>& area) {
    clipTo(area);
}

void X11Canvas::flush() {
    xcb_connection_t* c = x_->c;
    static_assert(sizeof(Segment) == sizeof(xcb_segment_t) && sizeof(Arc) == sizeof(xcb_arc_t));
    if (!fills_.empty()) {
        setPen(fillPixel_, penWidth_);
        xcb_poly_fill_rectangle(c, back_, gc_, static_cast<std::uint32_t>(fills_.size()),
                                reinterpret_cast<const xcb_rectangle_t*>(fills_.data()));
        fills_.clear();
    }
    if (!segments_.empty()) {
        setPen(linePen_.pixel, linePen_.width);
        xcb_poly_segment(c, back_, gc_, static_cast<std::uint32_t>(segments_.size()),
                         reinterpret_cast<const xcb_segment_t*>(segments_.data()));
        segments_.clear();
    }
    if (!stars_.empty()) {
        const auto count = static_cast<std::uint32_t>(stars_.size());
        const auto* arcs = reinterpret_cast<const xcb_arc_t*>(stars_.data());
        setPen(starFill_, penWidth_);
        xcb_poly_fill_arc(c, back_, gc_, count, arcs);
        setPen(starPen_.pixel, starPen_.width);
        xcb_poly_arc(c, back_, gc_, count, arcs);
        stars_.clear();
        starBoxes_.clear();
    }
}

void X11Canvas::line(int x1, int y1, int x2, int y2, host::Rgb colour, int width) {
    const host::SceneState::LineLook look{x1,  y1, x2, y2, 0, static_cast<std::int16_t>(width),
                                          true};
    const std::optional<host::Segment> reach =
        host::lineWithin(look, {0, 0, size_.width(), size_.height()}, kReachMargin);
    if (!reach) return;
    const Pen pen{pixelOf(colour), width};
    if (!stars_.empty() || !fills_.empty() || (!segments_.empty() && !(pen == linePen_))) flush();
    linePen_ = pen;
    segments_.push_back({coordinate(reach->x1), coordinate(reach->y1), coordinate(reach->x2),
                         coordinate(reach->y2)});
}

void X11Canvas::oval(const host::Rect& box, host::Rgb fill, host::Rgb border, int width) {
    // The star's whole footprint, pen included.
    const int pad = width + 1;
    const host::Rect covers = box.adjusted(-pad, -pad, pad + 1, pad + 1);
    const std::uint32_t inside = pixelOf(fill);
    const Pen outline{pixelOf(border), width};
    // A star goes with those gathered only if it has their look and touches none of them:
    // all are filled before any is outlined.
    bool joins = segments_.empty() && fills_.empty() &&
                 (stars_.empty() || (inside == starFill_ && outline == starPen_));
    for (const host::Rect& other : starBoxes_) {
        if (!joins) break;
        joins = !other.intersects(covers);
    }
    if (!joins) flush();
    starFill_ = inside;
    starPen_ = outline;
    stars_.push_back({coordinate(box.left), coordinate(box.top), extent(box.width),
                      extent(box.height), 0, 360 * 64});
    starBoxes_.push_back(covers);
}

void X11Canvas::fill(const host::Rect& box, host::Rgb colour) {
    const std::uint32_t pixel = pixelOf(colour);
    if (!segments_.empty() || !stars_.empty() || (!fills_.empty() && pixel != fillPixel_)) flush();
    fillPixel_ = pixel;
    fills_.push_back(
        {coordinate(box.left), coordinate(box.top), extent(box.width), extent(box.height)});
}

void X11Canvas::text(int label, int x, int y, host::Rgb ink, host::Rgb paper,
                     const std::optional<host::Rect>& clip) {
    flush();
    const QRect within = clip ? toQRect(*clip) : QRect();
    x_->glyphs->draw(texts_.text(label), QPoint(x, y), pixelOf(ink), pixelOf(paper),
                     clip ? &within : nullptr);
}

void X11Canvas::show(const host::Damage& area) {
    if (clipTo(area.rects())) {
        const QRect& all = clipBounds_;
        xcb_copy_area(x_->c, back_, x_->window, gc_, coordinate(all.x()), coordinate(all.y()),
                      coordinate(all.x()), coordinate(all.y()), extent(all.width()),
                      extent(all.height()));
    }
    xcb_flush(x_->c);
}

#else  // no XCB or no RENDER: the window always paints with QPainter

struct X11Canvas::Connection {};

bool X11Canvas::available() {
    return false;
}

std::unique_ptr<X11Canvas> X11Canvas::attach(QWidget&, const LabelTexts&) {
    return nullptr;
}

X11Canvas::~X11Canvas() = default;
void X11Canvas::draw(const host::Scene&, const host::Damage&) {}
void X11Canvas::show(const host::Damage&) {}
void X11Canvas::invalidateLabels() {}
void X11Canvas::begin(const std::vector<host::Rect>&) {}
void X11Canvas::fill(const host::Rect&, host::Rgb) {}
void X11Canvas::line(int, int, int, int, host::Rgb, int) {}
void X11Canvas::oval(const host::Rect&, host::Rgb, host::Rgb, int) {}
void X11Canvas::text(int, int, int, host::Rgb, host::Rgb, const std::optional<host::Rect>&) {}

#endif

}  // namespace vandrel::qt
