// SPDX-License-Identifier: MIT
// Floating-point numbers to text, exactly as std::to_chars writes them, also where the C++
// library lacks its floating-point overloads (emscripten's for WebAssembly). The game's text
// and the trace tool's JSON must come out the same on every machine, so the stand-ins work on
// the exact binary value in whole-number arithmetic and give the same characters.
#pragma once

#include <charconv>

namespace vandrel {

namespace exact {

/// The shortest decimal form of a finite Single that reads back to it (the one nearest to
/// its value among those, ties to even), in fixed or scientific notation, whichever is
/// shorter (fixed on a tie; an integer in fixed notation shows all its digits):
/// std::to_chars(first, last, value). Not finite: errc::invalid_argument.
std::to_chars_result toChars(char* first, char* last, float value);

/// A finite double rounded on its exact value, to nearest with ties to even, to `precision`
/// decimals (fixed) or to `precision` digits after the first (scientific, "1.5e+07"):
/// std::to_chars(first, last, value, format, precision). Other formats or a value that is not
/// finite: errc::invalid_argument.
std::to_chars_result toChars(char* first, char* last, double value, std::chars_format format,
                             int precision);

}  // namespace exact

/// The standard library's std::to_chars where it has the floating-point overloads, otherwise
/// exact::toChars: the same characters either way.
inline std::to_chars_result toChars(char* first, char* last, float value) {
#ifdef __cpp_lib_to_chars
    return std::to_chars(first, last, value);
#else
    return exact::toChars(first, last, value);
#endif
}

inline std::to_chars_result toChars(char* first, char* last, double value, std::chars_format format,
                                    int precision) {
#ifdef __cpp_lib_to_chars
    return std::to_chars(first, last, value, format, precision);
#else
    return exact::toChars(first, last, value, format, precision);
#endif
}

}  // namespace vandrel
