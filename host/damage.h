// SPDX-License-Identifier: MIT
// The part of the scene the next frame must draw again, kept as tiles of a few pixels.
//
// A tick marks the old and new places of everything that moved: dozens of small rectangles,
// most of them overlapping. Joining them one by one into a region costs an allocation and a
// pass over the region each; marking tiles costs a few bit operations, and the marked tiles
// come out as a few rectangles in bands from the top, none overlapping, as a display server's
// clip takes them. A frame then draws a little more than what changed, never less.
#pragma once

#include <cstdint>
#include <vector>

#include "host/rect.h"

namespace vandrel::host {

class Damage {
  public:
    /// An area of `width` × `height` pixels, nothing marked.
    explicit Damage(int width = 0, int height = 0);

    /// Marks every tile that `r` touches within the area.
    void add(const Rect& r);
    void addAll() { add(area_); }
    /// Marks every tile marked in `other`, an area of the same size.
    void add(const Damage& other);
    void clear();
    bool isEmpty() const { return empty_; }
    /// Whether `r` touches a marked tile.
    bool intersects(const Rect& r) const;

    /// The marked tiles as rectangles within the area: in bands from the top, each band from
    /// the left, none overlapping.
    const std::vector<Rect>& rects() const;
    /// At most `count` rectangles that cover every marked tile with as little else as the
    /// joining of neighbours finds: what a compositor that tracks only a few rectangles a frame
    /// should be told.
    std::vector<Rect> covering(std::size_t count) const;

  private:
    static constexpr int kTileHeight = 4;
    Rect area_;
    int tileWidth_ = 16;               // wider on an area of more than 64 tiles across
    std::vector<std::uint64_t> rows_;  // a bit for each tile of a row, the left one lowest
    bool empty_ = true;
    mutable bool stale_ = false;  // rects_ not yet made from rows_
    mutable std::vector<Rect> rects_;
};

}  // namespace vandrel::host
