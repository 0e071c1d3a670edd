// SPDX-License-Identifier: MIT
// A small strict JSON checker for the trace tests: is a line one valid JSON value, and which
// keys do its objects have, in order. Values are checked as exact text of the line instead.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vandrel::headless::testing {

/// The keys of every object in `text`, in document order, each with its nesting depth (1 for
/// the outermost object); nothing when `text` is not exactly one valid JSON value.
std::optional<std::vector<std::pair<int, std::string>>> jsonKeys(std::string_view text);

/// The keys found at one depth, in order.
std::vector<std::string> keysAt(const std::vector<std::pair<int, std::string>>& keys, int depth);

}  // namespace vandrel::headless::testing
