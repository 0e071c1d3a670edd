// SPDX-License-Identifier: MIT
#include "qt/colors.h"

namespace vandrel::qt {

namespace {

// The classic default scheme, for indexes the palette does not cover.
QColor defaultSystemColor(SystemColor index) {
    switch (index) {
        case SystemColor::WindowBackground:
            return QColor(255, 255, 255);
        case SystemColor::ButtonFace:
            return QColor(192, 192, 192);
        case SystemColor::MenuText:
        case SystemColor::WindowText:
        case SystemColor::ButtonText:
            break;
    }
    return QColor(0, 0, 0);
}

QColor paletteColor(SystemColor index, const QPalette& palette) {
    switch (index) {
        case SystemColor::WindowBackground:
            return palette.color(QPalette::Active, QPalette::Base);
        case SystemColor::MenuText:
            return palette.color(QPalette::Active, QPalette::WindowText);
        case SystemColor::WindowText:
            return palette.color(QPalette::Active, QPalette::Text);
        case SystemColor::ButtonFace:
            return palette.color(QPalette::Active, QPalette::Button);
        case SystemColor::ButtonText:
            return palette.color(QPalette::Active, QPalette::ButtonText);
    }
    return QColor();  // an index the scene never uses
}

}  // namespace

QColor toQColor(Color value, const QPalette& palette) {
    if (!isSystemColor(value)) {
        return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
    }
    SystemColor index = systemColorIndex(value);
    QColor fromPalette = paletteColor(index, palette);
    return fromPalette.isValid() ? fromPalette : defaultSystemColor(index);
}

}  // namespace vandrel::qt
