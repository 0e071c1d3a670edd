// SPDX-License-Identifier: MIT
#include "qt/colors.h"

#include "host/colors.h"

namespace vandrel::qt {

namespace {

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

QColor toQColor(host::Rgb rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

}  // namespace

QColor toQColor(Color value, const QPalette& palette) {
    if (!isSystemColor(value)) return toQColor(host::rgbOf(value));
    SystemColor index = systemColorIndex(value);
    QColor fromPalette = paletteColor(index, palette);
    return fromPalette.isValid() ? fromPalette : toQColor(host::defaultSchemeColor(index));
}

}  // namespace vandrel::qt
