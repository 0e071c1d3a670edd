// SPDX-License-Identifier: MIT
// The size the tests expect of the window's client area, where the scene is drawn: 727 by 503
// pixels of 15 twips each.
#pragma once

namespace vandrel::test {

inline constexpr int kClientWidthPixels = 727;
inline constexpr int kClientHeightPixels = 503;
inline constexpr float kClientWidthTwips = kClientWidthPixels * 15.0f;    // 10905
inline constexpr float kClientHeightTwips = kClientHeightPixels * 15.0f;  // 7545

}  // namespace vandrel::test
