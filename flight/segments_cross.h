// SPDX-License-Identifier: MIT
// The arithmetic of the segment test, shared by SegmentsCross and the contact scan's first
// pass, so that both form every quantity the same way, to the last bit.
#pragma once

#include <cmath>

namespace vandrel {

/// A segment as the test sees it: its first end and its direction, the difference of its ends
/// formed in double and rounded to a Single.
struct SegmentRay {
    float x, y;    // first end, twips
    float dx, dy;  // second end minus first end, twips
};

inline SegmentRay segmentRay(float x1, float y1, float x2, float y2) {
    return {x1, y1, static_cast<float>(static_cast<double>(x2) - x1),
            static_cast<float>(static_cast<double>(y2) - y1)};
}

/// The determinant of the two directions and the numerators of the crossing's places along
/// B and along A, each in double as the game's rule forms them; no division yet.
struct Numerators {
    double determinant;
    double s, t;
};

inline Numerators numerators(const SegmentRay& a, const SegmentRay& b) {
    return {static_cast<double>(a.dy) * b.dx - static_cast<double>(b.dy) * a.dx,
            (static_cast<double>(a.x) - b.x) * a.dy + (static_cast<double>(b.y) - a.y) * a.dx,
            (static_cast<double>(b.x) - a.x) * b.dy + (static_cast<double>(a.y) - b.y) * b.dx};
}

/// Where the supporting lines of segment A and segment B cross: d is the determinant rounded
/// to a Single (zero for parallel, collinear or zero-length segments), s the crossing's place
/// along B (0 at its first end, 1 at its second), t its place along A. s and t mean nothing
/// when d is zero.
struct Crossing {
    float d, s, t;
};

inline Crossing crossing(const SegmentRay& a, const SegmentRay& b) {
    const Numerators n = numerators(a, b);
    // Each quotient over its own denominator, formed afresh as the game's rule has it.
    const double s = n.s / (static_cast<double>(a.dy) * b.dx - static_cast<double>(b.dy) * a.dx);
    const double t = n.t / (static_cast<double>(b.dy) * a.dx - static_cast<double>(a.dy) * b.dx);
    return {static_cast<float>(n.determinant), static_cast<float>(s), static_cast<float>(t)};
}

/// Whether both places lie within their segments, ends included.
inline bool within(const Crossing& c) {
    return c.s >= 0.0f && c.s <= 1.0f && c.t >= 0.0f && c.t <= 1.0f;
}

}  // namespace vandrel
