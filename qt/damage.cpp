// SPDX-License-Identifier: MIT
#include "qt/damage.h"

#include <algorithm>
#include <bit>

namespace vandrel::qt {

Damage::Damage(QSize area)
    : area_(area),
      tileWidth_(std::max(16, (area.width() + 63) / 64)),
      rows_(
          static_cast<std::size_t>((std::max(area.height(), 0) + kTileHeight - 1) / kTileHeight)) {}

namespace {

// The tiles of a row from column `first` to `last`.
std::uint64_t columns(int first, int last) {
    return (~std::uint64_t{0} >> (63 - (last - first))) << first;
}

}  // namespace

void Damage::add(const QRect& r) {
    const QRect part = r & QRect(QPoint(0, 0), area_);
    if (part.isEmpty()) return;
    const std::uint64_t tiles = columns(part.left() / tileWidth_, part.right() / tileWidth_);
    for (int row = part.top() / kTileHeight; row <= part.bottom() / kTileHeight; ++row)
        rows_[static_cast<std::size_t>(row)] |= tiles;
    empty_ = false;
    stale_ = true;
}

bool Damage::intersects(const QRect& r) const {
    const QRect part = r & QRect(QPoint(0, 0), area_);
    if (empty_ || part.isEmpty()) return false;
    const std::uint64_t tiles = columns(part.left() / tileWidth_, part.right() / tileWidth_);
    for (int row = part.top() / kTileHeight; row <= part.bottom() / kTileHeight; ++row) {
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

const std::vector<QRect>& Damage::rects() const {
    if (!stale_) return rects_;
    rects_.clear();
    const QRect area(QPoint(0, 0), area_);
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
            rects_.push_back(QRect(first * tileWidth_, top, count * tileWidth_, height) & area);
            tiles &= count == 64 ? 0 : ~((~std::uint64_t{0} >> (64 - count)) << first);
        }
        row = end;
    }
    stale_ = false;
    return rects_;
}

QRegion Damage::region() const {
    const std::vector<QRect>& parts = rects();
    QRegion region;
    region.setRects(parts.data(), static_cast<int>(parts.size()));
    return region;
}

}  // namespace vandrel::qt
