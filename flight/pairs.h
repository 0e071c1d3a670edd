// SPDX-License-Identifier: MIT
// Two doubles side by side, for the tick's loops that take two values at a time.
//
// Every compiler for SSE2 or NEON keeps a Pair in one register. Each lane is computed with the
// same IEEE operations, in the same order, as the one-at-a-time code it stands for, so the
// bits are the same: no operation is fused or reordered.
#pragma once

#include <cstdint>

#include "shell/runtime/bit_cast.h"

namespace vandrel {

using Pair = double __attribute__((vector_size(16)));
/// A comparison's result: each lane all ones (true) or zero.
using Mask = std::int64_t __attribute__((vector_size(16)));

inline Pair both(double x) {
    return Pair{x, x};
}

inline Pair magnitude(Pair x) {
    constexpr Mask kAllButSign = {INT64_MAX, INT64_MAX};
    return bitCast<Pair>(bitCast<Mask>(x) & kAllButSign);
}

inline Pair copySign(Pair magnitude, Pair sign) {
    constexpr Mask kSign = {INT64_MIN, INT64_MIN};
    return bitCast<Pair>(bitCast<Mask>(magnitude) | (bitCast<Mask>(sign) & kSign));
}

}  // namespace vandrel
