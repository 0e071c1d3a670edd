// The game's only collision test: do two straight segments meet?
//
// It runs 117 times a tick, so its floating-point fault checks are gathered: a NaN or an
// infinity in any intermediate carries through a double sum of them, which a Single can never
// overflow, and one test of that sum finds it.
#include <cmath>

#include "shell/form1.h"

namespace vandrel {

/// Whether segment A1-A2 and segment B1-B2 meet, their ends included: True (-1) or False (0).
/// The crossing of the two supporting lines is accepted when it lies inside both segments.
/// Parallel, collinear (even overlapping) and zero-length segments never meet.
Boolean Form1::SegmentsCross(float ax1, float ay1, float ax2, float ay2, float bx1, float by1,
                             float bx2, float by2) {
    // The directions, each rounded to a Single.
    const float dAx = static_cast<float>(static_cast<double>(ax2) - ax1);
    const float dAy = static_cast<float>(static_cast<double>(ay2) - ay1);
    const float dBx = static_cast<float>(static_cast<double>(bx2) - bx1);
    const float dBy = static_cast<float>(static_cast<double>(by2) - by1);

    // The zero test alone is made on the determinant rounded to a Single.
    const double determinant = static_cast<double>(dAy) * dBx - static_cast<double>(dBy) * dAx;
    const float d = static_cast<float>(determinant);
    if (!std::isfinite(static_cast<double>(dAx) + dAy + dBx + dBy + d)) [[unlikely]]
        raise(ErrorCode::Overflow);
    if (d == 0.0f) return False;  // parallel, collinear or zero-length: never meet

    // Where the crossing lies along B (0 at B1, 1 at B2) and along A (0 at A1, 1 at A2); each
    // denominator is formed afresh, and neither can be zero once the rounded one is not.
    const float s = static_cast<float>(
        ((static_cast<double>(ax1) - bx1) * dAy + (static_cast<double>(by1) - ay1) * dAx) /
        (static_cast<double>(dAy) * dBx - static_cast<double>(dBy) * dAx));
    const float t = static_cast<float>(
        ((static_cast<double>(bx1) - ax1) * dBy + (static_cast<double>(ay1) - by1) * dBx) /
        (static_cast<double>(dBy) * dAx - static_cast<double>(dAy) * dBx));
    if (!std::isfinite(static_cast<double>(s) + t)) [[unlikely]]
        raise(ErrorCode::Overflow);

    return s >= 0.0f && s <= 1.0f && t >= 0.0f && t <= 1.0f ? True : False;
}

}  // namespace vandrel
