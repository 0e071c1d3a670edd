// SPDX-License-Identifier: MIT
// The scene's pixel rectangles and damage as Qt's.
#pragma once

#include <vector>

#include <QRect>
#include <QRegion>

#include "host/damage.h"
#include "host/rect.h"

namespace vandrel::qt {

inline QRect toQRect(const host::Rect& r) {
    return QRect(r.left, r.top, r.width, r.height);
}

inline host::Rect fromQRect(const QRect& r) {
    return {r.left(), r.top(), r.width(), r.height()};
}

/// The marked tiles as a region, in the bands a display server's clip takes.
inline QRegion toRegion(const host::Damage& damage) {
    static thread_local std::vector<QRect> parts;  // reused from frame to frame
    parts.clear();
    for (const host::Rect& part : damage.rects())
        parts.push_back(toQRect(part));
    QRegion region;
    region.setRects(parts.data(), static_cast<int>(parts.size()));
    return region;
}

}  // namespace vandrel::qt
