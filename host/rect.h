// SPDX-License-Identifier: MIT
// A rectangle of whole pixels, as every host's toolkit has one: left and top, then width and
// height; right() and bottom() name the last column and row inside it.
#pragma once

#include <algorithm>
#include <cstdint>

namespace vandrel::host {

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;

    /// The rectangle from one corner pixel to the other, both inside it.
    static constexpr Rect corners(int left, int top, int right, int bottom) {
        return {left, top, right - left + 1, bottom - top + 1};
    }

    constexpr int right() const { return left + width - 1; }
    constexpr int bottom() const { return top + height - 1; }
    constexpr bool isEmpty() const { return width <= 0 || height <= 0; }
    constexpr std::int64_t area() const { return isEmpty() ? 0 : std::int64_t{width} * height; }
    /// Moved edges: `dl` and `dt` to the left and top one, `dr` and `db` to the others.
    constexpr Rect adjusted(int dl, int dt, int dr, int db) const {
        return corners(left + dl, top + dt, right() + dr, bottom() + db);
    }
    constexpr bool intersects(const Rect& other) const { return !(*this & other).isEmpty(); }
    constexpr bool contains(const Rect& other) const {
        return !other.isEmpty() && (*this & other) == other;
    }

    /// The part both cover; empty when they do not meet.
    friend constexpr Rect operator&(const Rect& a, const Rect& b) {
        if (a.isEmpty() || b.isEmpty()) return {};
        const Rect both = corners(std::max(a.left, b.left), std::max(a.top, b.top),
                                  std::min(a.right(), b.right()), std::min(a.bottom(), b.bottom()));
        return both.isEmpty() ? Rect{} : both;
    }
    /// The smallest rectangle round both; an empty one adds nothing.
    friend constexpr Rect operator|(const Rect& a, const Rect& b) {
        if (a.isEmpty()) return b;
        if (b.isEmpty()) return a;
        return corners(std::min(a.left, b.left), std::min(a.top, b.top),
                       std::max(a.right(), b.right()), std::max(a.bottom(), b.bottom()));
    }
    Rect& operator|=(const Rect& other) { return *this = *this | other; }
    friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace vandrel::host
