// SPDX-License-Identifier: MIT
#include "qt/key_codes.h"

#include <QGuiApplication>
#include <QKeyEvent>

#include <string_view>

#include "shell/runtime/key_codes.h"

namespace vandrel::qt {

namespace {

using namespace keys;

std::optional<std::int16_t> namedKey(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Backspace:
            return kBackspace;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:  // Shift+Tab is still the Tab key
            return kTab;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return kEnter;
        case Qt::Key_Shift:
            return kShift;
        case Qt::Key_Control:
            return kCtrl;
        case Qt::Key_Alt:
            return kAlt;
        case Qt::Key_Escape:
            return kEscape;
        case Qt::Key_Space:
            return kSpace;
        case Qt::Key_Left:
            return kLeft;
        case Qt::Key_Up:
            return kUp;
        case Qt::Key_Right:
            return kRight;
        case Qt::Key_Down:
            return kDown;
        default:
            return std::nullopt;
    }
}

}  // namespace

std::optional<std::int16_t> virtualKeyCode(int qtKey, std::uint32_t nativeVirtualKey) {
    // Qt names letters by their upper-case key and digits by their character, which are the
    // virtual-key codes themselves.
    static_assert(Qt::Key_A == kA && Qt::Key_Z == kZ && Qt::Key_0 == k0 && Qt::Key_9 == k9);
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return static_cast<std::int16_t>(qtKey);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return static_cast<std::int16_t>(qtKey);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) {
        return static_cast<std::int16_t>(kF1 + (qtKey - Qt::Key_F1));
    }
    if (std::optional<std::int16_t> code = namedKey(qtKey)) return code;
    if (nativeVirtualKey > 0 && nativeVirtualKey < 256) {
        return static_cast<std::int16_t>(nativeVirtualKey);
    }
    return std::nullopt;
}

namespace {

// The letter at an X key code (the kernel's key code plus 8, as Qt gives it on X11 and
// Wayland) on the usual layout's rows.
char letterAt(std::uint32_t scanCode) {
    static constexpr struct {
        std::uint32_t first;
        const char* letters;
    } kRows[] = {{24, "QWERTYUIOP"}, {38, "ASDFGHJKL"}, {52, "ZXCVBNM"}};
    for (const auto& row : kRows) {
        const std::string_view letters(row.letters);
        if (scanCode >= row.first && scanCode < row.first + letters.size())
            return letters[scanCode - row.first];
    }
    return 0;
}

}  // namespace

std::optional<std::int16_t> virtualKeyCode(const QKeyEvent& event) {
    // Only on Windows is the native key a virtual-key code; under X11 it is a keysym.
    static const bool nativeIsVirtualKey = QGuiApplication::platformName() == "windows";
    const QString text = event.text();
    if (const std::optional<std::int16_t> letter =
            host::letterKey(text.isEmpty() ? U'\0' : static_cast<char32_t>(text.toUcs4().value(0)),
                            nativeIsVirtualKey ? 0 : letterAt(event.nativeScanCode()))) {
        return letter;
    }
    return virtualKeyCode(event.key(), nativeIsVirtualKey ? event.nativeVirtualKey() : 0);
}

host::KeyEvent keyEventOf(const QKeyEvent& event) {
    const Qt::KeyboardModifiers held = event.modifiers();
    return {virtualKeyCode(event),
            event.type() == QEvent::KeyPress,
            event.isAutoRepeat(),
            held.testFlag(Qt::ShiftModifier),
            held.testFlag(Qt::ControlModifier),
            held.testFlag(Qt::AltModifier),
            held.testFlag(Qt::MetaModifier)};
}

}  // namespace vandrel::qt
