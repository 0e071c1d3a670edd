// SPDX-License-Identifier: MIT
// The laid-out texts of the scene's labels, kept between frames.
//
// A caption is laid out once, when it changes, and every frame draws the prepared glyphs.
// The readouts change every tick while the ship moves, so laying out must be cheap: a
// caption is one line of plain text, set glyph by glyph from the font's own advances,
// without the shaping a general text layout would do.
#pragma once

#include <array>
#include <string>
#include <vector>

#include <QFont>
#include <QGlyphRun>
#include <QPoint>
#include <QRawFont>
#include <QRect>

#include "shell/form1_view.h"

namespace vandrel::qt {

/// The font a label shows: its own, or else the window's default font. A face that is not
/// installed ("MS Sans Serif" on most desktops) falls back to a similar sans-serif face at
/// the same point size.
QFont labelFont(const Label& label, const QFont& windowFont);

class LabelTexts {
  public:
    /// The labels in the order the window creates them (lblPause first).
    static constexpr int kCount = static_cast<int>(kLabels.size());
    static const Label& label(const Form1View& view, int index) {
        return view.label(kLabels[static_cast<std::size_t>(index)]);
    }

    struct Text {
        std::string caption;  // the caption these glyphs show
        QRawFont font;
        QGlyphRun glyphs;   // positioned from the top-left corner of the text
        double width = 0;   // pixels
        double height = 0;  // pixels, one line
    };

    /// Lays out again every caption that changed; true for each label that was laid out.
    std::array<bool, kCount> sync(const Form1View& view, const QFont& windowFont);
    /// Forgets every layout, so that the next sync lays out all (the fonts changed).
    void invalidate() { valid_ = false; }
    const Text& text(int index) const { return texts_[static_cast<std::size_t>(index)]; }

  private:
    void layOut(Text& text);

    std::array<Text, kCount> texts_;
    bool valid_ = false;
    // Scratch space, kept so that laying out reuses its memory.
    std::vector<quint32> indexes_;
    std::vector<QPointF> advances_;
};

/// Where a label's parts go (host::placeOf), as Qt's rectangles, for its laid-out text.
struct LabelPlace {
    QRect box, inner;
    bool bordered = false;
    QPoint text;
    bool overflows = false;
};
LabelPlace placeOf(const Label& label, const LabelTexts::Text& text);

}  // namespace vandrel::qt
