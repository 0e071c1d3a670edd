// SPDX-License-Identifier: MIT
#include "qt/x11_canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <QGuiApplication>
#include <QPainter>
#include <QWidget>

#include "qt/colors.h"
#include "qt/scene_painter.h"

#if VANDREL_HAVE_XCB
#include "qt/x11_connection.h"
#endif

namespace vandrel::qt {

std::optional<QLine> lineWithinReach(const SceneState::LineLook& line, const QRect& window) {
    if (!footprint(line).intersects(window)) return std::nullopt;  // nothing of it shows
    const QRect reach = window.adjusted(-kReachMargin, -kReachMargin, kReachMargin, kReachMargin);
    // Liang-Barsky: the part of the segment inside the reach, as parameters t0..t1 from end 1.
    const double x1 = line.x1, y1 = line.y1;
    const double dx = line.x2 - x1, dy = line.y2 - y1;
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 - reach.left(), reach.right() - x1, y1 - reach.top(),
                         reach.bottom() - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return std::nullopt;  // parallel to this edge and beyond it
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
    }
    if (t0 > t1) return std::nullopt;
    // An end inside the reach stays exactly where it is.
    auto at = [&](double t) {
        if (t == 0) return QPoint(line.x1, line.y1);
        if (t == 1) return QPoint(line.x2, line.y2);
        return QPoint(static_cast<int>(std::lround(x1 + t * dx)),
                      static_cast<int>(std::lround(y1 + t * dy)));
    };
    return QLine(at(t0), at(t1));
}

#if VANDREL_HAVE_XCB

struct X11Canvas::Connection {
    xcb_connection_t* c = nullptr;
    xcb_window_t window = 0;
    std::uint8_t depth = 0;
    std::size_t maxRequestBytes = 0;
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

// Images of this depth are sent as 32-bit pixels, lowest byte first: a QImage's RGB32 rows.
bool imagesAreRgb32(xcb_connection_t* c, std::uint8_t depth) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) return false;
    for (auto formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem;
         xcb_format_next(&formats)) {
        if (formats.data->depth == depth) {
            return formats.data->bits_per_pixel == 32 && formats.data->scanline_pad == 32;
        }
    }
    return false;
}

std::uint32_t pixelOf(Color color, const QPalette& palette) {
    return toQColor(color, palette).rgb() & 0xffffffu;
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

std::unique_ptr<X11Canvas> X11Canvas::attach(QWidget& widget) {
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
        usable = plainTrueColour(c, attributes->visual, x->depth) && imagesAreRgb32(c, x->depth);
    }
    std::free(geometry);
    std::free(attributes);
    if (!usable) return nullptr;
    // The longest request, in bytes, less room for the image request's own header.
    x->maxRequestBytes = static_cast<std::size_t>(xcb_get_maximum_request_length(c)) * 4 - 64;
    return std::unique_ptr<X11Canvas>(new X11Canvas(std::move(x), widget.size()));
}

X11Canvas::X11Canvas(std::unique_ptr<Connection> x, QSize size) : x_(std::move(x)), size_(size) {
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
    imageGc_ = xcb_generate_id(c);
    const std::uint32_t noExposures = 0;
    xcb_create_gc(c, imageGc_, back_, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
}

X11Canvas::~X11Canvas() {
    xcb_connection_t* c = x_->c;
    for (KeptLabel& kept : labels_) {
        if (kept.pixmap != 0) xcb_free_pixmap(c, kept.pixmap);
    }
    xcb_free_gc(c, imageGc_);
    xcb_free_gc(c, gc_);
    xcb_free_pixmap(c, back_);
    xcb_flush(c);
}

void X11Canvas::invalidateLabels() {
    for (KeptLabel& kept : labels_)
        kept.valid = false;
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

bool X11Canvas::clipTo(const QRegion& area) {
    if (area == clip_) return !clipRects_.empty();  // a frame is shown as it was drawn
    clip_ = area;
    const QRect window(QPoint(0, 0), size_);
    const QRegion part = window.contains(area.boundingRect()) ? area : area & window;
    clipRects_.clear();
    for (const QRect& r : part) {
        clipRects_.push_back(
            {coordinate(r.x()), coordinate(r.y()), extent(r.width()), extent(r.height())});
    }
    clipBounds_ = part.boundingRect();
    if (clipRects_.empty()) return false;
    static_assert(sizeof(Rectangle) == sizeof(xcb_rectangle_t));
    // A region's rectangles come in bands from the top, each band from the left.
    xcb_set_clip_rectangles(x_->c, XCB_CLIP_ORDERING_YX_BANDED, gc_, 0, 0,
                            static_cast<std::uint32_t>(clipRects_.size()),
                            reinterpret_cast<const xcb_rectangle_t*>(clipRects_.data()));
    return true;
}

void X11Canvas::draw(const QRegion& area, const SceneState& state, const Form1View& view,
                     const LabelTexts& texts, ScenePainter& labels, const QPalette& palette) {
    if (!clipTo(area)) return;
    setPen(pixelOf(state.BackColor, palette), penWidth_);
    xcb_poly_fill_rectangle(x_->c, back_, gc_, static_cast<std::uint32_t>(clipRects_.size()),
                            reinterpret_cast<const xcb_rectangle_t*>(clipRects_.data()));
    state.forEachInDrawingOrder(
        [&](int index, const SceneState::LabelLook& look) {
            drawLabel(index, view, texts, labels, look, palette);
        },
        [&](const SceneState::ShapeLook& shape) { drawShape(shape, palette); },
        [&](const SceneState::LineLook& line) { drawLine(line, palette); });
}

void X11Canvas::drawLine(const SceneState::LineLook& line, const QPalette& palette) {
    if (!footprint(line).intersects(clipBounds_)) return;
    std::optional<QLine> reach = lineWithinReach(line, QRect(QPoint(0, 0), size_));
    if (!reach) return;
    setPen(pixelOf(line.BorderColor, palette), line.BorderWidth);
    const xcb_segment_t segment{coordinate(reach->x1()), coordinate(reach->y1()),
                                coordinate(reach->x2()), coordinate(reach->y2())};
    xcb_poly_segment(x_->c, back_, gc_, 1, &segment);
}

void X11Canvas::drawShape(const SceneState::ShapeLook& shape, const QPalette& palette) {
    if (!footprint(shape).intersects(clipBounds_)) return;  // hidden or elsewhere
    // An outline drawn on a box of w x h pixels covers w+1 x h+1: shrink it by one, as the
    // painter does.
    const xcb_arc_t arc{coordinate(shape.left),
                        coordinate(shape.top),
                        extent(shape.width - 1),
                        extent(shape.height - 1),
                        0,
                        360 * 64};
    setPen(pixelOf(shape.FillColor, palette), penWidth_);
    xcb_poly_fill_arc(x_->c, back_, gc_, 1, &arc);
    setPen(pixelOf(shape.BorderColor, palette), shape.BorderWidth);
    xcb_poly_arc(x_->c, back_, gc_, 1, &arc);
}

void X11Canvas::drawLabel(int index, const Form1View& view, const LabelTexts& texts,
                          ScenePainter& labels, const SceneState::LabelLook& look,
                          const QPalette& palette) {
    if (!look.Visible) return;
    const Label& label = LabelTexts::label(view, index);
    const QRect box =
        pixelBox(label.Left, label.Top, label.Width, label.Height) & QRect(QPoint(0, 0), size_);
    if (box.isEmpty() || !box.intersects(clipBounds_)) return;
    KeptLabel& kept = labels_[static_cast<std::size_t>(index)];
    const LabelTexts::Text& text = texts.text(index);
    xcb_connection_t* c = x_->c;
    if (!kept.valid || kept.box != box || !(kept.look == look) || kept.caption != text.caption) {
        if (kept.pixmap == 0 || kept.box.size() != box.size()) {
            if (kept.pixmap != 0) xcb_free_pixmap(c, kept.pixmap);
            kept.pixmap = xcb_generate_id(c);
            xcb_create_pixmap(c, x_->depth, kept.pixmap, x_->window, extent(box.width()),
                              extent(box.height()));
        }
        if (labelImage_.size() != box.size()) {
            labelImage_ = QImage(box.size(), QImage::Format_RGB32);
        }
        {
            QPainter painter(&labelImage_);
            painter.translate(-box.topLeft());
            labels.paintLabel(painter, QRegion(box), label, look, text, palette);
        }
        // In bands of rows that each fit one request.
        const auto stride = static_cast<std::size_t>(labelImage_.bytesPerLine());
        const int band = static_cast<int>(std::max<std::size_t>(1, x_->maxRequestBytes / stride));
        for (int top = 0; top < box.height(); top += band) {
            const int rows = std::min(band, box.height() - top);
            xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, kept.pixmap, imageGc_, extent(box.width()),
                          extent(rows), 0, coordinate(top), 0, x_->depth,
                          static_cast<std::uint32_t>(stride * static_cast<std::size_t>(rows)),
                          labelImage_.constScanLine(top));
        }
        kept.box = box;
        kept.look = look;
        kept.caption = text.caption;
        kept.valid = true;
    }
    xcb_copy_area(c, kept.pixmap, back_, gc_, 0, 0, coordinate(box.x()), coordinate(box.y()),
                  extent(box.width()), extent(box.height()));
}

void X11Canvas::show(const QRegion& area) {
    if (clipTo(area)) {
        const QRect& all = clipBounds_;
        xcb_copy_area(x_->c, back_, x_->window, gc_, coordinate(all.x()), coordinate(all.y()),
                      coordinate(all.x()), coordinate(all.y()), extent(all.width()),
                      extent(all.height()));
    }
    xcb_flush(x_->c);
}

#else  // no XCB: the window always paints with QPainter

struct X11Canvas::Connection {};

bool X11Canvas::available() {
    return false;
}

std::unique_ptr<X11Canvas> X11Canvas::attach(QWidget&) {
    return nullptr;
}

X11Canvas::~X11Canvas() = default;
void X11Canvas::draw(const QRegion&, const SceneState&, const Form1View&, const LabelTexts&,
                     ScenePainter&, const QPalette&) {}
void X11Canvas::show(const QRegion&) {}
void X11Canvas::invalidateLabels() {}

#endif

}  // namespace vandrel::qt
