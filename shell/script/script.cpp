// SPDX-License-Identifier: MIT
#include "shell/script/script.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "shell/form1.h"

namespace vandrel {

namespace {

constexpr bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// The next word of `rest`, which is left after it; empty when only blanks remain.
std::string_view nextWord(std::string_view& rest) {
    std::size_t start = 0;
    while (start < rest.size() && isBlank(rest[start]))
        ++start;
    std::size_t end = start;
    while (end < rest.size() && !isBlank(rest[end]))
        ++end;
    const std::string_view word = rest.substr(start, end - start);
    rest.remove_prefix(end);
    return word;
}

// The length of the UTF-8 sequence at the start of `text`, or 0 when it does not start with
// a valid one (a stray or missing continuation byte, an overlong form, a surrogate, a code
// point past U+10FFFF).
std::size_t utf8Length(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned lead = byte(0);
    std::size_t length = 0;
    unsigned low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
    }
    return length;
}

// Whether the valid UTF-8 character at the start of `text`, `length` bytes long, is one a
// message must not show raw: a terminal could take it for a command (control characters, C1
// controls), or it would reorder the text around it (the bidirectional controls: U+061C,
// U+200E, U+200F, U+202A to U+202E, U+2066 to U+2069).
bool unsafeCharacter(std::string_view text, std::size_t length) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    if (length == 1) return byte(0) < 0x20 || byte(0) == 0x7F;
    if (length == 2)
        return (byte(0) == 0xC2 && byte(1) < 0xA0) || (byte(0) == 0xD8 && byte(1) == 0x9C);
    if (length != 3 || byte(0) != 0xE2) return false;
    return (byte(1) == 0x80 &&
            (byte(2) == 0x8E || byte(2) == 0x8F || (byte(2) >= 0xAA && byte(2) <= 0xAE))) ||
           (byte(1) == 0x81 && byte(2) >= 0xA6 && byte(2) <= 0xA9);
}

// Appends `text` with every unsafe character (unsafeCharacter), NUL and byte that is not UTF-8
// shown as \xNN, so that a script or a file's name can never drive the terminal or reorder
// the message that shows it; `doubled` doubles each backslash, to keep the escapes
// unambiguous. At most `shown` bytes of the text, never splitting a character: the number of
// bytes taken.
std::size_t appendShown(std::string& out, std::string_view text, bool doubled,
                        std::size_t shown = std::string_view::npos) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t length = utf8Length(text.substr(at));
        const std::size_t step = std::max<std::size_t>(length, 1);
        if (at + step > shown) break;
        if (length == 0 || unsafeCharacter(text.substr(at), length)) {
            for (std::size_t i = at; i < at + step; ++i) {
                const auto byte = static_cast<unsigned char>(text[i]);
                out += "\\x";
                out += kHex[byte >> 4];
                out += kHex[byte & 0xF];
            }
        } else if (text[at] == '\\' && doubled) {
            out += "\\\\";
        } else {
            out.append(text, at, length);
        }
        at += step;
    }
    return at;
}

// A word as it is quoted in a message: cut short so that a huge word makes a short message,
// shown safely (appendShown), a backslash doubled.
std::string quoted(std::string_view word) {
    constexpr std::size_t kShown = 40;  // bytes of the word, never splitting a character
    std::string text = "\"";
    if (appendShown(text, word, true, kShown) < word.size()) text += "...";
    text += '"';
    return text;
}

// An optional '-' and one or more decimal digits. The magnitude saturates far above every
// range the script allows, so a huge digit string is simply out of range.
bool parseNumber(std::string_view word, std::int64_t& value) {
    constexpr std::int64_t kSaturated = 100'000'000'000;
    const bool negative = !word.empty() && word.front() == '-';
    if (negative) word.remove_prefix(1);
    if (word.empty()) return false;
    std::int64_t magnitude = 0;
    for (char c : word) {
        if (c < '0' || c > '9') return false;
        if (magnitude < kSaturated) magnitude = magnitude * 10 + (c - '0');
    }
    value = negative ? -magnitude : magnitude;
    return true;
}

bool fail(std::string& reason, std::string text) {
    reason = std::move(text);
    return false;
}

bool parseNumberArgument(std::string_view word, std::string_view what, std::int64_t low,
                         std::int64_t high, std::int64_t& value, std::string& reason) {
    if (word.empty()) return fail(reason, "missing " + std::string(what));
    if (!parseNumber(word, value)) return fail(reason, "malformed number " + quoted(word));
    if (value < low || value > high) {
        return fail(reason, std::string(what) + " out of range (" + std::to_string(low) + " to " +
                                std::to_string(high) + "): " + quoted(word));
    }
    return true;
}

}  // namespace

std::string escapedText(std::string_view text) {
    std::string shown;
    appendShown(shown, text, false);
    return shown;
}

bool parseLine(std::string_view line, Command& command, std::string& reason) {
    command = Command{};
    if (const std::size_t nul = line.find('\0'); nul != std::string_view::npos) {
        return fail(reason, "a NUL byte at column " + std::to_string(nul + 1));
    }
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::string_view rest = line;
    const std::string_view name = nextWord(rest);
    if (name.empty() || name.front() == '#') return true;
    const std::string_view argument = nextWord(rest);
    const std::string_view extra = nextWord(rest);
    if (!extra.empty()) return fail(reason, "a word too many: " + quoted(extra));

    const auto noArgument = [&](CommandKind kind) {
        if (!argument.empty()) return fail(reason, "a word too many: " + quoted(argument));
        command.kind = kind;
        return true;
    };
    std::int64_t value = 0;
    if (name == "down" || name == "up") {
        if (!parseNumberArgument(argument, "key code", INT16_MIN, INT16_MAX, value, reason)) {
            return false;
        }
        command.kind = name == "down" ? CommandKind::Down : CommandKind::Up;
        command.keyCode = static_cast<std::int16_t>(value);
        return true;
    }
    if (name == "tick") {
        value = 1;
        if (!argument.empty() &&
            !parseNumberArgument(argument, "tick count", 1, kMaxTickCount, value, reason)) {
            return false;
        }
        command.kind = CommandKind::Tick;
        command.count = static_cast<std::uint32_t>(value);
        return true;
    }
    if (name == "click") {
        if (argument.empty()) return fail(reason, "missing menu item");
        if (Form1::clickHandlerFor(argument) == nullptr) {
            return fail(reason, "no menu item with a click handler named " + quoted(argument));
        }
        command.kind = CommandKind::Click;
        command.menuName = argument;
        return true;
    }
    if (name == "dump") return noArgument(CommandKind::Dump);
    if (name == "close") return noArgument(CommandKind::Close);
    return fail(reason, "unknown command " + quoted(name));
}

}  // namespace vandrel
