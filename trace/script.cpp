#include "trace/script.h"

#include <cstdint>
#include <utility>

#include "shell/form1.h"

namespace vandrel::headless {

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

// A word as it is quoted in a message, cut short so that a huge word makes a short message.
std::string quoted(std::string_view word) {
    constexpr std::size_t kShown = 40;
    std::string text = "\"";
    text += word.substr(0, kShown);
    if (word.size() > kShown) text += "...";
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

bool parseLine(std::string_view line, Command& command, std::string& reason) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    command = Command{};
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

}  // namespace vandrel::headless
