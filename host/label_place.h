// SPDX-License-Identifier: MIT
// Where a label's parts go and the font its text is set in, for every host: the host lays the
// text out with its own fonts and asks here where to put it.
#pragma once

#include <array>
#include <string_view>

#include "host/rect.h"
#include "shell/runtime/controls.h"

namespace vandrel::host {

/// The faces a label's own font is looked for in, in order, after the face it names ("MS Sans
/// Serif", which most desktops lack): similar sans-serif faces at the same point size.
inline constexpr std::array<std::string_view, 3> kFallbackFaces = {
    "Microsoft Sans Serif", "Liberation Sans", "DejaVu Sans"};

/// The pixel size of the desktop's sans-serif face for a label without a font of its own: the
/// forms' classic default of 8 points (11 pixels at 96 dots per inch), or the largest smaller
/// size at which the widest readouts fit the label, 8 pixels at the least. `widthAt(text,
/// pixels)` is the width of a line of text at a pixel size, in pixels.
template <class WidthAt>
int defaultFontPixels(const Label& label, WidthAt&& widthAt);

/// Where a label's parts go, in pixels: its box; the inside of its border (the whole box when
/// it has none), filled with its background; and the top-left corner of its text's line,
/// which is clipped to the inside only when it overflows it.
struct LabelPlace {
    Rect box, inner;
    bool bordered = false;
    int textLeft = 0, textTop = 0;
    bool overflows = false;
};
/// The places for a label whose text is `textWidth` × `textHeight` pixels.
LabelPlace placeOf(const Label& label, double textWidth, double textHeight);

/// The widest texts the readouts show in a normal flight: a host chooses their font so that
/// each of them fits whole.
inline constexpr std::string_view kWidestReadouts[] = {"Height: 57.38", "Thrust: 10.0",
                                                       "Score: 1,389", "Fuel: 9999"};

/// The room for text in a label: its box less the border and the text's one-pixel lead.
int textRoom(const Label& label);

template <class WidthAt>
int defaultFontPixels(const Label& label, WidthAt&& widthAt) {
    constexpr int kDefaultPixels = 11, kSmallestPixels = 8;
    for (int pixels = kDefaultPixels; pixels > kSmallestPixels; --pixels) {
        double widest = 0;
        for (std::string_view figure : kWidestReadouts) {
            const double width = widthAt(figure, pixels);
            if (width > widest) widest = width;
        }
        if (widest <= textRoom(label)) return pixels;
    }
    return kSmallestPixels;
}

}  // namespace vandrel::host
