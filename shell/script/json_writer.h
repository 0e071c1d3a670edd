// SPDX-License-Identifier: MIT
// The JSON pieces of the trace tool's output lines.
//
// Every value is appended to a caller's string, so that a whole line is built in one buffer
// that is reused from line to line and written in one go.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "shell/runtime/numbers.h"

namespace vandrel {

/// A JSON string: quotes around it, `"` and `\` escaped, control characters as \r, \n, \t or
/// \u00XX; every other byte passes through unchanged.
void appendJsonString(std::string& out, std::string_view text);

/// A Currency as a JSON string: an optional "-" and exactly four decimals ("-0.0700").
void appendCurrency(std::string& out, Currency value);

/// A Single as the shortest JSON number that reads back as the same binary32 ("6000",
/// "59.99929", "1e+20", "-0"); a non-finite Single as the string "inf", "-inf" or "nan".
void appendSingle(std::string& out, float value);

void appendInteger(std::string& out, std::int64_t value);
void appendBool(std::string& out, bool value);

}  // namespace vandrel
