// SPDX-License-Identifier: MIT
#include "qt/x11_glyphs.h"

#if VANDREL_HAVE_XCB && VANDREL_HAVE_XCB_RENDER

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <QGlyphRun>
#include <QImage>
#include <QPainter>

namespace vandrel::qt {

namespace {

// The id of the picture format of 8-bit coverage, and of the one that goes with `visual`.
struct Formats {
    xcb_render_pictformat_t alpha = 0, visual = 0;
};

Formats formatsOf(xcb_render_query_pict_formats_reply_t* reply, xcb_visualid_t visual) {
    Formats found;
    for (auto formats = xcb_render_query_pict_formats_formats_iterator(reply); formats.rem;
         xcb_render_pictforminfo_next(&formats)) {
        const xcb_render_pictforminfo_t& f = *formats.data;
        const xcb_render_directformat_t& d = f.direct;
        if (f.type == XCB_RENDER_PICT_TYPE_DIRECT && f.depth == 8 && d.alpha_mask == 0xff &&
            d.red_mask == 0 && d.green_mask == 0 && d.blue_mask == 0) {
            found.alpha = f.id;
        }
    }
    for (auto screens = xcb_render_query_pict_formats_screens_iterator(reply); screens.rem;
         xcb_render_pictscreen_next(&screens)) {
        for (auto depths = xcb_render_pictscreen_depths_iterator(screens.data); depths.rem;
             xcb_render_pictdepth_next(&depths)) {
            for (auto visuals = xcb_render_pictdepth_visuals_iterator(depths.data); visuals.rem;
                 xcb_render_pictvisual_next(&visuals)) {
                if (visuals.data->visual == visual) found.visual = visuals.data->format;
            }
        }
    }
    return found;
}

template <class T>
void append(std::vector<std::uint8_t>& bytes, const T& value) {
    const auto* raw = reinterpret_cast<const std::uint8_t*>(&value);
    bytes.insert(bytes.end(), raw, raw + sizeof value);
}

std::int16_t offset(int value) {
    return static_cast<std::int16_t>(std::clamp(value, -32768, 32767));
}

}  // namespace

std::unique_ptr<X11Glyphs> X11Glyphs::attach(xcb_connection_t* c, xcb_drawable_t target,
                                             xcb_visualid_t visual) {
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_render_id);
    if (extension == nullptr || !extension->present) return nullptr;
    // Solid colours as pictures came with version 0.10.
    xcb_render_query_version_reply_t* version =
        xcb_render_query_version_reply(c, xcb_render_query_version(c, 0, 11), nullptr);
    const bool solidFills =
        version != nullptr && (version->major_version > 0 || version->minor_version >= 10);
    std::free(version);
    if (!solidFills) return nullptr;
    xcb_render_query_pict_formats_reply_t* reply =
        xcb_render_query_pict_formats_reply(c, xcb_render_query_pict_formats(c), nullptr);
    if (reply == nullptr) return nullptr;
    const Formats formats = formatsOf(reply, visual);
    std::free(reply);
    if (formats.alpha == 0 || formats.visual == 0) return nullptr;
    const xcb_render_picture_t picture = xcb_generate_id(c);
    xcb_render_create_picture(c, picture, target, formats.visual, 0, nullptr);
    return std::unique_ptr<X11Glyphs>(new X11Glyphs(c, picture, formats.alpha));
}

X11Glyphs::X11Glyphs(xcb_connection_t* c, xcb_render_picture_t target,
                     xcb_render_pictformat_t alpha)
    : c_(c), target_(target), alpha_(alpha) {}

X11Glyphs::~X11Glyphs() {
    forget();
    for (const Ink& ink : inks_)
        xcb_render_free_picture(c_, ink.picture);
    xcb_render_free_picture(c_, target_);
}

void X11Glyphs::forget() {
    for (const Font& font : fonts_)
        xcb_render_free_glyph_set(c_, font.set);
    fonts_.clear();
}

void X11Glyphs::clipTo(const xcb_rectangle_t* rectangles, std::uint32_t count) {
    clip_.assign(rectangles, rectangles + count);
    xcb_render_set_picture_clip_rectangles(c_, target_, 0, 0, count, rectangles);
}

X11Glyphs::Font& X11Glyphs::fontFor(const QRawFont& font, std::uint32_t ink, std::uint32_t paper) {
    for (Font& kept : fonts_) {
        if (kept.font == font && kept.ink == ink && kept.paper == paper) return kept;
    }
    Font& added = fonts_.emplace_back();
    added.font = font;
    added.ink = ink;
    added.paper = paper;
    added.set = xcb_generate_id(c_);
    xcb_render_create_glyph_set(c_, added.set, alpha_);
    return added;
}

std::uint32_t X11Glyphs::keep(Font& font, std::uint32_t glyph, int x64, int y64) {
    const std::uint32_t id = glyph << 12 | static_cast<std::uint32_t>(x64 << 6 | y64);
    if (font.kept.contains(id)) return id;
    // The glyph as QPainter draws it, with a little room all round.
    const QRectF bounds = font.font.boundingRect(glyph);
    constexpr int kRoom = 2;
    const int left = static_cast<int>(std::floor(bounds.left())) - kRoom;
    const int top = static_cast<int>(std::floor(bounds.top())) - kRoom;
    const int width = static_cast<int>(std::ceil(bounds.right())) + kRoom - left;
    const int height = static_cast<int>(std::ceil(bounds.bottom())) + kRoom - top;
    QImage drawn(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    drawn.fill(QColor::fromRgb(font.paper));
    {
        QGlyphRun run;
        run.setRawFont(font.font);
        run.setGlyphIndexes({glyph});
        run.setPositions({QPointF(0, 0)});
        QPainter painter(&drawn);
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        painter.setPen(QColor::fromRgb(font.ink));
        painter.drawGlyphRun(QPointF(-left + x64 / 64.0, -top + y64 / 64.0), run);
    }
    // Each pixel's share of the ink, read from the channel where ink and paper differ most.
    int shift = 0, span = 0;
    for (int s : {16, 8, 0}) {
        const int d =
            static_cast<int>((font.ink >> s) & 0xffu) - static_cast<int>((font.paper >> s) & 0xffu);
        if (std::abs(d) > std::abs(span)) {
            span = d;
            shift = s;
        }
    }
    QImage map(drawn.size(), QImage::Format_Alpha8);
    map.fill(0);
    const int paper = static_cast<int>((font.paper >> shift) & 0xffu);
    for (int y = 0; span != 0 && y < drawn.height(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(drawn.constScanLine(y));
        std::uint8_t* to = map.scanLine(y);
        for (int x = 0; x < drawn.width(); ++x) {
            const int share = (static_cast<int>((from[x] >> shift) & 0xffu) - paper) * 255;
            to[x] = static_cast<std::uint8_t>(std::clamp((share + span / 2) / span, 0, 255));
        }
    }
    // x and y: from the image's top-left corner to the glyph's origin; no advance of its own.
    const xcb_render_glyphinfo_t info{static_cast<std::uint16_t>(map.width()),
                                      static_cast<std::uint16_t>(map.height()),
                                      offset(-left),
                                      offset(-top),
                                      0,
                                      0};
    // Rows of a QImage start on 32-bit boundaries, as the server takes them.
    xcb_render_add_glyphs(c_, font.set, 1, &id, &info,
                          static_cast<std::uint32_t>(map.sizeInBytes()), map.constBits());
    font.kept.insert(id);
    return id;
}

xcb_render_picture_t X11Glyphs::solid(std::uint32_t pixel) {
    for (const Ink& kept : inks_) {
        if (kept.pixel == pixel) return kept.picture;
    }
    auto channel = [pixel](int shift) {
        return static_cast<std::uint16_t>(((pixel >> shift) & 0xffu) * 0x101u);
    };
    const xcb_render_color_t colour{channel(16), channel(8), channel(0), 0xffff};
    const xcb_render_picture_t picture = xcb_generate_id(c_);
    xcb_render_create_solid_fill(c_, picture, colour);
    inks_.push_back({pixel, picture});
    return picture;
}

void X11Glyphs::draw(const LabelTexts::Text& text, QPoint origin, std::uint32_t ink,
                     std::uint32_t paper, const QRect* within) {
    const QList<quint32> glyphs = text.glyphs.glyphIndexes();
    const QList<QPointF> positions = text.glyphs.positions();
    if (glyphs.isEmpty() || !text.font.isValid()) return;
    Font& font = fontFor(text.font, ink, paper);
    // One item a glyph: its place from the previous one's, the first from the corner.
    request_.clear();
    QPoint pen(0, 0);
    for (qsizetype i = 0; i < glyphs.size(); ++i) {
        // The glyph's place in 64ths of a pixel: a whole pixel and a fraction.
        const QPointF place = QPointF(origin) + positions[i];
        const auto x = std::lround(place.x() * 64), y = std::lround(place.y() * 64);
        const QPoint at(static_cast<int>(x >> 6), static_cast<int>(y >> 6));
        const std::uint32_t id =
            keep(font, glyphs[i], static_cast<int>(x & 63), static_cast<int>(y & 63));
        const QPoint step = at - pen;
        const std::uint8_t head[4] = {1, 0, 0, 0};
        append(request_, head);
        append(request_, offset(step.x()));
        append(request_, offset(step.y()));
        append(request_, id);
        pen = at;
    }
    if (within != nullptr) {
        // The clip's rectangles cut to `within` still lie in bands from the top.
        std::vector<xcb_rectangle_t> cut;
        for (const xcb_rectangle_t& r : clip_) {
            const QRect part = QRect(r.x, r.y, r.width, r.height) & *within;
            if (part.isEmpty()) continue;
            cut.push_back({offset(part.x()), offset(part.y()),
                           static_cast<std::uint16_t>(part.width()),
                           static_cast<std::uint16_t>(part.height())});
        }
        xcb_render_set_picture_clip_rectangles(c_, target_, 0, 0,
                                               static_cast<std::uint32_t>(cut.size()), cut.data());
    }
    // Each glyph blended on its own, as QPainter draws them, with no mask for them all.
    xcb_render_composite_glyphs_32(c_, XCB_RENDER_PICT_OP_OVER, solid(ink), target_, 0, font.set, 0,
                                   0, static_cast<std::uint32_t>(request_.size()), request_.data());
    if (within != nullptr) {
        xcb_render_set_picture_clip_rectangles(
            c_, target_, 0, 0, static_cast<std::uint32_t>(clip_.size()), clip_.data());
    }
}

}  // namespace vandrel::qt

#endif
