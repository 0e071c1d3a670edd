// SPDX-License-Identifier: MIT
// The game's own cosine and sine.
//
// The ship only ever points along (Angle + d) / 3.14 radians, with Angle on its lattice of
// 0.2 steps and d one of the hull's corner offsets, so every angle the game turns to is a
// multiple of 0.05 between -12.05 and 22.25. The correctly rounded cosine and sine of each are
// kept in a table (flight/trig_table.cpp, written by scripts/gen_trig_table.py, which reads
// the attitude's constants below), so that no replay depends on a C library's choice of code
// path.
#pragma once

#include <array>
#include <cstdint>

#include "shell/runtime/numbers.h"

namespace vandrel {

/// One angle of the table: its radians as the game forms them, and their cosine and sine.
struct TrigEntry {
    double radians;  // angle / 3.14, in double
    double cos;
    double sin;
};

// The attitude's wrap-around ends and its step, in angle units.
inline constexpr Currency kLowestAngle = -4.7_cur;
inline constexpr Currency kHighestAngle = 14.9_cur;
inline constexpr Currency kTurnStep = 0.2_cur;

// Offsets of the hull's corners, in angle units (about 45, 89 and 134 degrees).
inline constexpr Currency kDiagonal = 2.45_cur;
inline constexpr Currency kSide = 4.9_cur;
inline constexpr Currency kLowDiagonal = 7.35_cur;

// The table runs from the lowest attitude less the widest offset to the highest attitude
// plus it, in counts (ten-thousandths of an angle unit).
inline constexpr std::int64_t kTrigStep = 500;  // 0.05
inline constexpr std::int64_t kTrigLowestCount = kLowestAngle.count() - kLowDiagonal.count();
inline constexpr std::int64_t kTrigHighestCount = kHighestAngle.count() + kLowDiagonal.count();
inline constexpr std::size_t kTrigEntries = (kTrigHighestCount - kTrigLowestCount) / kTrigStep + 1;

extern const std::array<TrigEntry, kTrigEntries> kTrigTable;

/// The cosine and sine of `angle` / 3.14 radians, the angle in the game's angle units. The
/// radians are a function of the angle's count alone, so the count indexes the table. An
/// angle off the table is a fault of the game's own code: Subscript out of range.
inline const TrigEntry& attitude(Currency angle) {
    const std::int64_t count = angle.count();
    if (count % kTrigStep != 0 || count < kTrigLowestCount || count > kTrigHighestCount)
        [[unlikely]]
        raise(ErrorCode::SubscriptOutOfRange);
    return kTrigTable[static_cast<std::size_t>((count - kTrigLowestCount) / kTrigStep)];
}

}  // namespace vandrel
