// SPDX-License-Identifier: MIT
// The laid-out texts of the scene's labels, kept between frames.
//
// A caption is laid out once, when it changes, and every frame draws the prepared glyphs.
// The readouts change every tick while the ship moves, so laying out must be cheap: a
// caption is one line of plain text, set glyph by glyph from the font's own advances,
// without the shaping a general text layout would do.
#pragma once

#include <array>
#include <string_view>
#include <vector>

#include <QFont>
#include <QGlyphRun>
#include <QRawFont>

#include "host/toolkit.h"
#include "shell/form1_view.h"

namespace vandrel::qt {

/// A font the driver chose, as Qt's: the desktop's own sans-serif face (`desktop`'s family)
/// where it names none. A face that is not installed ("MS Sans Serif" on most desktops) falls
/// back to the next.
QFont toQFont(const host::FontChoice& choice, const QFont& desktop);

class LabelTexts {
  public:
    struct Text {
        QRawFont font;
        QGlyphRun glyphs;  // positioned from the top-left corner of the text
    };

    void setFont(int label, const QFont& font);
    /// Lays out `caption` as label `label`'s text: its size in pixels.
    host::TextSize layOut(int label, std::string_view caption);
    /// The width of a line of `text` in `font`, in pixels.
    double width(const QFont& font, std::string_view text);
    const Text& text(int label) const { return texts_[static_cast<std::size_t>(label)]; }

  private:
    std::array<Text, kLabels.size()> texts_;
    // Scratch space, kept so that laying out reuses its memory.
    std::vector<quint32> indexes_;
    std::vector<QPointF> advances_;
};

}  // namespace vandrel::qt
