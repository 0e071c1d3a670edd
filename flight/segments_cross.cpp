// SPDX-License-Identifier: MIT
// The game's only collision test: do two straight segments meet?
//
// It runs 117 times a tick, so its floating-point fault checks are gathered: a NaN or an
// infinity in any intermediate carries through a double sum of them, which a Single can never
// overflow, and one test of that sum finds it.
#include <array>
#include <cmath>
#include <cstdint>

#include "flight/pairs.h"
#include "shell/form1.h"

namespace vandrel {

namespace {

/// A segment as the test sees it: its first end and its direction, the difference of its ends
/// formed in double and rounded to a Single.
struct SegmentRay {
    float x, y;    // first end, twips
    float dx, dy;  // second end minus first end, twips
};

SegmentRay segmentRay(float x1, float y1, float x2, float y2) {
    return {x1, y1, static_cast<float>(static_cast<double>(x2) - x1),
            static_cast<float>(static_cast<double>(y2) - y1)};
}

/// The determinant D of the directions of A and B, and the numerators of the crossing's place
/// along B (s = ns / D) and along A (t = nt / -D), for one pair (double) or two (Pair), with
/// the same operations in the same order either way.
template <class T>
struct Numerators {
    T determinant, s, t;
};

template <class T>
Numerators<T> numerators(T ax, T ay, T adx, T ady, T bx, T by, T bdx, T bdy) {
    return {ady * bdx - bdy * adx, (ax - bx) * ady + (by - ay) * adx,
            (bx - ax) * bdy + (ay - by) * bdx};
}

}  // namespace

/// Whether segment A1-A2 and segment B1-B2 meet, their ends included: True (-1) or False (0).
/// The crossing of the two supporting lines is accepted when it lies inside both segments.
/// Parallel, collinear (even overlapping) and zero-length segments never meet.
Boolean Form1::SegmentsCross(float ax1, float ay1, float ax2, float ay2, float bx1, float by1,
                             float bx2, float by2) {
    const SegmentRay a = segmentRay(ax1, ay1, ax2, ay2);
    const SegmentRay b = segmentRay(bx1, by1, bx2, by2);
    const Numerators<double> n = numerators<double>(a.x, a.y, a.dx, a.dy, b.x, b.y, b.dx, b.dy);

    // The zero test alone is made on the determinant rounded to a Single.
    const float d = static_cast<float>(n.determinant);
    if (!std::isfinite(static_cast<double>(a.dx) + a.dy + b.dx + b.dy + d)) [[unlikely]]
        raise(ErrorCode::Overflow);
    if (d == 0.0f) return False;  // parallel, collinear or zero-length: never meet

    // Where the crossing lies along B (0 at B1, 1 at B2) and along A (0 at A1, 1 at A2). A's
    // denominator, dBy dAx - dAy dBx, is exactly -D; neither is zero once d is not.
    const float s = static_cast<float>(n.s / n.determinant);
    const float t = static_cast<float>(n.t / -n.determinant);
    if (!std::isfinite(static_cast<double>(s) + t)) [[unlikely]]
        raise(ErrorCode::Overflow);
    return s >= 0.0f && s <= 1.0f && t >= 0.0f && t <= 1.0f ? True : False;
}

bool Form1::ContactPossible() const {
    // Every pair is tested, with the determinant and the two numerators formed exactly as
    // SegmentsCross forms them, but without its two divisions and without a branch per pair,
    // two pairs at a time. The directions are taken once per segment instead of once per pair
    // (the same bits).
    //
    // Why the quotients are not needed: SegmentsCross accepts when s and t, each a quotient
    // n / D rounded to double and then to a Single, lie in [0, 1]. A Single in [0, 1] (a -0
    // included) comes from a quotient within [-2^-149, 1 + 2^-24], so from an exact n / D
    // within 1/2 + 2^-20 of 1/2, that is |n - D / 2| <= (1/2 + 2^-20) |D|; the rounding of
    // those few operations (2^-53 of them, |D| being at least 2^-150 once the rounded
    // determinant is not zero) is far inside the margin. It faults when D or a quotient
    // rounds past the Single range, which needs |D| or |n| / |D| to be 2^127 at the least.
    // With every coordinate within 2^42 twips (the pass gives up at once otherwise), |D| and
    // |n| are below 2^87, so only a |D| below 2^-40 can fault. Any pair near a contact or with
    // such a D sends the tick to the ordered scan, which decides exactly.
    constexpr double kMargin = 0x1p-20;
    constexpr double kFarthest = 0x1p42;  // twips
    constexpr double kSmallestSafe = 0x1p-40;
    auto farOrNotFinite = [](const Line& l) {
        // A NaN fails every comparison, so it counts as far.
        return !(std::fabs(l.X1) <= kFarthest && std::fabs(l.Y1) <= kFarthest &&
                 std::fabs(l.X2) <= kFarthest && std::fabs(l.Y2) <= kFarthest);
    };

    // The ground as columns of doubles (every Single is one exactly), two segments a column,
    // padded with a zero-length segment, which is parallel to everything and never meets.
    constexpr std::size_t kColumns = (decltype(Ground)::size() + 1) / 2;
    std::array<Pair, kColumns> ax{}, ay{}, adx{}, ady{};
    for (int j = 0; j < Ground.size(); ++j) {
        const Line& g = Ground(j);
        if (farOrNotFinite(g)) return true;
        const SegmentRay a = segmentRay(g.X1, g.Y1, g.X2, g.Y2);
        const auto column = static_cast<std::size_t>(j / 2);
        const int lane = j % 2;
        ax[column][lane] = a.x, ay[column][lane] = a.y;
        adx[column][lane] = a.dx, ady[column][lane] = a.dy;
    }
    Mask possible = {0, 0};  // pairs, per lane, that may meet or fault
    for (const Line& s : ship) {
        if (farOrNotFinite(s)) return true;
        const SegmentRay b = segmentRay(s.X1, s.Y1, s.X2, s.Y2);
        const Pair bx = both(b.x), by = both(b.y), bdx = both(b.dx), bdy = both(b.dy);
        for (std::size_t k = 0; k < kColumns; ++k) {
            const Numerators<Pair> n =
                numerators<Pair>(ax[k], ay[k], adx[k], ady[k], bx, by, bdx, bdy);
            const Pair d = n.determinant;
            const Pair size = magnitude(d);
            // A Single rounds to zero exactly what lies within half its least denormal.
            const Mask parallel = size <= both(0x1p-150);
            const Pair half = both(0.5) * d;
            const Pair reach = both(0.5 + kMargin) * size;
            // t = nt / -D, so |-nt - D / 2| is |nt + D / 2|.
            const Mask near = (magnitude(n.s - half) <= reach) & (magnitude(n.t + half) <= reach);
            const Mask faultable = size < both(kSmallestSafe);
            possible -= ~parallel & (near | faultable);  // counts the lanes that may meet
        }
    }
    return (possible[0] | possible[1]) != 0;
}

}  // namespace vandrel
