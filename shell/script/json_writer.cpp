// SPDX-License-Identifier: MIT
#include "shell/script/json_writer.h"

#include <charconv>
#include <cmath>

#include "shell/runtime/float_chars.h"

namespace vandrel {

void appendJsonString(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (byte < 0x20 || byte == 0x7F) {
                    out += "\\u00";
                    out += kHex[byte >> 4];
                    out += kHex[byte & 0xF];
                } else {
                    out += c;
                }
        }
    }
    out += '"';
}

void appendCurrency(std::string& out, Currency value) {
    const std::int64_t count = value.count();
    // The magnitude in unsigned arithmetic, so that the most negative count has one too.
    const std::uint64_t magnitude = count < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(count)
                                              : static_cast<std::uint64_t>(count);
    char whole[24];
    const auto end = std::to_chars(whole, whole + sizeof whole, magnitude / 10000).ptr;
    const auto fraction = static_cast<unsigned>(magnitude % 10000);
    out += '"';
    if (count < 0) out += '-';
    out.append(whole, end);
    out += '.';
    out += static_cast<char>('0' + fraction / 1000);
    out += static_cast<char>('0' + fraction / 100 % 10);
    out += static_cast<char>('0' + fraction / 10 % 10);
    out += static_cast<char>('0' + fraction % 10);
    out += '"';
}

void appendSingle(std::string& out, float value) {
    if (std::isnan(value)) {
        out += "\"nan\"";
        return;
    }
    if (std::isinf(value)) {
        out += value < 0 ? "\"-inf\"" : "\"inf\"";
        return;
    }
    // The shortest form that reads back exactly. It never has a leading '+' or a bare '.',
    // and its exponent form ("1e+20", "1.5e-05") is valid JSON as it stands.
    char text[32];
    const auto end = toChars(text, text + sizeof text, value).ptr;
    out.append(text, end);
}

void appendInteger(std::string& out, std::int64_t value) {
    char text[24];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    out.append(text, end);
}

void appendBool(std::string& out, bool value) {
    out += value ? "true" : "false";
}

}  // namespace vandrel
