// SPDX-License-Identifier: MIT
// The game's colour values as the red, green and blue a host paints with.
//
// A plain colour carries its own; a system colour is the desktop's (the host asks its
// toolkit: a palette, or a browser's CSS system colours), and where the desktop has none, the
// usual default scheme's value below.
#pragma once

#include <cstdint>

#include "shell/runtime/controls.h"

namespace vandrel::host {

struct Rgb {
    std::uint8_t red = 0, green = 0, blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

/// A plain colour's red, green and blue (red in the value's low byte).
constexpr Rgb rgbOf(Color value) {
    return {static_cast<std::uint8_t>(value & 0xFF), static_cast<std::uint8_t>((value >> 8) & 0xFF),
            static_cast<std::uint8_t>((value >> 16) & 0xFF)};
}

/// A system colour in the classic default scheme: a white window background, a light-grey
/// button face, black text.
constexpr Rgb defaultSchemeColor(SystemColor index) {
    switch (index) {
        case SystemColor::WindowBackground:
            return {255, 255, 255};
        case SystemColor::ButtonFace:
            return {192, 192, 192};
        case SystemColor::MenuText:
        case SystemColor::WindowText:
        case SystemColor::ButtonText:
            break;
    }
    return {0, 0, 0};
}

/// Every system colour the scene uses, for a host that reads them all from its toolkit once.
inline constexpr SystemColor kSystemColors[] = {SystemColor::WindowBackground,
                                                SystemColor::MenuText, SystemColor::WindowText,
                                                SystemColor::ButtonFace, SystemColor::ButtonText};

}  // namespace vandrel::host
