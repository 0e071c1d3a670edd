// SPDX-License-Identifier: MIT
// The controls of a form as plain data.
//
// The runtime owns every control; the game only reads and writes these properties, and the
// platform paints them. Coordinates are twips (Singles), line widths pixels.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/runtime/errors.h"

namespace vandrel {

/// The toolkit's colour value: red in the low byte, green in the second, blue in the third.
/// A value with its top bit set names a system colour, whose index is in the low byte.
using Color = std::int32_t;

inline constexpr Color kBlack = 0x000000;
inline constexpr Color kRed = 0x0000FF;  // FF0000 as RGB
inline constexpr Color kGreen = 0x00FF00;
inline constexpr Color kWhite = 0xFFFFFF;

/// The system colours the scene uses, by their index in the desktop's colour scheme.
enum class SystemColor : std::uint8_t {
    WindowBackground = 5,
    MenuText = 7,
    WindowText = 8,
    ButtonFace = 15,
    ButtonText = 18,
};

constexpr Color systemColor(SystemColor index) {
    return static_cast<Color>(0x80000000u | static_cast<std::uint32_t>(index));
}
constexpr bool isSystemColor(Color c) {
    return c < 0;
}
constexpr SystemColor systemColorIndex(Color c) {
    return static_cast<SystemColor>(c & 0xFF);
}

/// A straight line segment from (X1, Y1) to (X2, Y2).
struct Line {
    float X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;  // twips
    Color BorderColor = systemColor(SystemColor::WindowText);
    std::int16_t BorderWidth = 1;  // pixels
    bool Visible = true;
};

enum class ShapeKind : std::int16_t { Rectangle = 0, Oval = 2 };

/// A shape in its bounding box; only ovals filled solid appear in the scene.
struct Shape {
    float Left = 0, Top = 0, Width = 0, Height = 0;  // twips
    ShapeKind Kind = ShapeKind::Rectangle;
    bool FillSolid = false;
    Color FillColor = kBlack;
    Color BorderColor = systemColor(SystemColor::WindowText);
    std::int16_t BorderWidth = 1;  // pixels
    bool Visible = true;
};

enum class Alignment : std::int16_t { Left = 0, Right = 1, Center = 2 };
enum class BorderStyle : std::int16_t { None = 0, FixedSingle = 1 };

struct Font {
    std::string Name;
    double Size = 0;  // points
    std::int16_t Weight = 400;
    bool Italic = false, Underline = false, Strikethrough = false;
};

/// A text label; a label without a font of its own uses the window's default font.
struct Label {
    std::string Caption;
    bool Visible = true;
    float Left = 0, Top = 0, Width = 0, Height = 0;  // twips
    Alignment TextAlign = Alignment::Left;
    BorderStyle Border = BorderStyle::None;
    Color BackColor = systemColor(SystemColor::ButtonFace);
    Color ForeColor = systemColor(SystemColor::ButtonText);
    std::optional<Font> OwnFont;
};

struct Timer {
    bool Enabled = true;
    std::int32_t Interval = 0;  // milliseconds
};

/// A menu item; an item with children only opens its submenu.
struct MenuItem {
    std::string_view Name;
    std::string Caption;  // '&' marks the access key
    bool Checked = false;
    bool Enabled = true;
    bool Visible = true;
    std::vector<const MenuItem*> Children;
};

/// An array with fixed bounds 0..N-1; any other index is "Subscript out of range".
template <class Element, int N>
class BoundedArray {
  public:
    static constexpr int LBound = 0;
    static constexpr int UBound = N - 1;

    Element& operator()(int index) { return items_[checked(index)]; }
    const Element& operator()(int index) const { return items_[checked(index)]; }

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }
    static constexpr int size() { return N; }

  private:
    static std::size_t checked(int index) {
        if (index < LBound || index > UBound) raise(ErrorCode::SubscriptOutOfRange);
        return static_cast<std::size_t>(index);
    }
    std::array<Element, N> items_{};
};

/// A control array (Ground, ship, shpStar): fixed for the whole run, addressed by index.
template <class Control, int N>
using ControlArray = BoundedArray<Control, N>;

}  // namespace vandrel
