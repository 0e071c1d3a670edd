// The laid-out texts of the scene's labels, kept between frames.
//
// A caption is laid out once, when it changes, and every frame draws the prepared text: the
// readouts change at most once a tick, and painting itself lays out nothing.
#pragma once

#include <array>
#include <string>

#include <QFont>
#include <QStaticText>

#include "shell/form1_view.h"

namespace vandrel::qt {

/// The font a label shows: its own, or else the window's default font. A face that is not
/// installed ("MS Sans Serif" on most desktops) falls back to a similar sans-serif face at
/// the same point size.
QFont labelFont(const Label& label, const QFont& windowFont);

class LabelTexts {
  public:
    /// The labels in the order the scene draws them (lblPause first).
    static constexpr int kCount = 5;
    static const Label& label(const Form1View& view, int index);

    struct Text {
        std::string caption;  // the caption this text was laid out for
        QFont font;
        QStaticText prepared;
        double width = 0;  // pixels
    };

    /// Lays out again every caption that changed; true if any did.
    bool sync(const Form1View& view, const QFont& windowFont);
    /// Forgets every layout, so that the next sync lays out all (the fonts changed).
    void invalidate() { valid_ = false; }
    const Text& text(int index) const { return texts_[static_cast<std::size_t>(index)]; }

  private:
    std::array<Text, kCount> texts_;
    bool valid_ = false;
};

}  // namespace vandrel::qt
