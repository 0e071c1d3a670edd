// SPDX-License-Identifier: MIT
#include "host/damage.h"

#include <algorithm>
#include <bit>

namespace vandrel::host {

Damage::Damage(int width, int height)
    : area_{0, 0, width, height},
      tileWidth_(std::max(16, (width + 63) / 64)),
      rows_(static_cast<std::size_t>((std::max(height, 0) + kTileHeight - 1) / kTileHeight)) {}

namespace {

// The tiles of a row from column `first` to `last`.
std::uint64_t columns(int first, int last) {
    return (~std::uint64_t{0} >> (63 - (last - first))) << first;
}

}  // namespace

void Damage::add(const Rect& r) {
    const Rect part = r & area_;
    if (part.isEmpty()) return;
    const std::uint64_t tiles = columns(part.left / tileWidth_, part.right() / tileWidth_);
    for (int row = part.top / kTileHeight; row <= part.bottom() / kTileHeight; ++row)
        rows_[static_cast<std::size_t>(row)] |= tiles;
    empty_ = false;
    stale_ = true;
}

void Damage::add(const Damage& other) {
    if (other.empty_) return;
    for (std::size_t row = 0; row < rows_.size() && row < other.rows_.size(); ++row)
        rows_[row] |= other.rows_[row];
    empty_ = false;
    stale_ = true;
}

bool Damage::intersects(const Rect& r) const {
    const Rect part = r & area_;
    if (empty_ || part.isEmpty()) return false;
    const std::uint64_t tiles = columns(part.left / tileWidth_, part.right() / tileWidth_);
    for (int row = part.top / kTileHeight; row <= part.bottom() / kTileHeight; ++row) {
        if ((rows_[static_cast<std::size_t>(row)] & tiles) != 0) return true;
    }
    return false;
}

void Damage::clear() {
    std::fill(rows_.begin(), rows_.end(), 0);
    empty_ = true;
    stale_ = false;
    rects_.clear();
}

const std::vector<Rect>& Damage::rects() const {
    if (!stale_) return rects_;
    rects_.clear();
    for (std::size_t row = 0; row < rows_.size();) {
        // Rows marked alike make one band.
        std::size_t end = row + 1;
        while (end < rows_.size() && rows_[end] == rows_[row])
            ++end;
        const int top = static_cast<int>(row) * kTileHeight;
        const int height = static_cast<int>(end - row) * kTileHeight;
        for (std::uint64_t tiles = rows_[row]; tiles != 0;) {
            const int first = std::countr_zero(tiles);
            const int count = std::countr_one(tiles >> first);
            rects_.push_back(Rect{first * tileWidth_, top, count * tileWidth_, height} & area_);
            tiles &= count == 64 ? 0 : ~((~std::uint64_t{0} >> (64 - count)) << first);
        }
        row = end;
    }
    stale_ = false;
    return rects_;
}

namespace {

// What joining two rectangles, neither empty, into their bounding box adds to the area covered;
// the marked tiles' rectangles never overlap. Worked out inline: it runs for every pair, every
// frame.
std::int64_t joiningCost(const Rect& a, const Rect& b) {
    auto area = [](int width, int height) { return std::int64_t{width} * height; };
    const int width = std::max(a.right(), b.right()) - std::min(a.left, b.left) + 1;
    const int height = std::max(a.bottom(), b.bottom()) - std::min(a.top, b.top) + 1;
    return area(width, height) - area(a.width, a.height) - area(b.width, b.height);
}

}  // namespace

std::vector<Rect> Damage::covering(std::size_t count) const {
    std::vector<Rect> parts = rects();
    if (count == 0 || parts.size() <= count) return parts;
    // Each rectangle's cheapest partner among those after it, kept up to date as pairs join:
    // the cheapest pair of all joins next.
    struct Partner {
        std::int64_t cost = 0;
        std::size_t with = 0;  // parts.size(): none
    };
    std::vector<Partner> best(parts.size());
    auto findPartner = [&](std::size_t i) {
        best[i] = {0, parts.size()};
        for (std::size_t j = i + 1; j < parts.size(); ++j) {
            if (parts[j].isEmpty()) continue;
            const std::int64_t cost = joiningCost(parts[i], parts[j]);
            if (best[i].with == parts.size() || cost < best[i].cost) best[i] = {cost, j};
        }
    };
    for (std::size_t i = 0; i < parts.size(); ++i)
        findPartner(i);
    for (std::size_t left = parts.size(); left > count; --left) {
        std::size_t i = parts.size();
        for (std::size_t k = 0; k < parts.size(); ++k) {
            if (parts[k].isEmpty() || best[k].with == parts.size()) continue;
            if (i == parts.size() || best[k].cost < best[i].cost) i = k;
        }
        const std::size_t j = best[i].with;
        parts[i] |= parts[j];
        parts[j] = Rect();  // joined into parts[i]
        for (std::size_t k = 0; k < parts.size(); ++k) {
            if (parts[k].isEmpty()) continue;
            if (k == i || best[k].with == i || best[k].with == j) {
                findPartner(k);
            } else if (k < i) {
                const std::int64_t cost = joiningCost(parts[k], parts[i]);
                if (cost < best[k].cost) best[k] = {cost, i};
            }
        }
    }
    std::erase_if(parts, [](const Rect& r) { return r.isEmpty(); });
    return parts;
}

}  // namespace vandrel::host
