// SPDX-License-Identifier: MIT
// The option items: which menu item gives which variable which value.
//
// The menus' check marks are where the options are kept. Form_Load reads a group back by
// testing its items in menu order and taking the value of the first one checked; the last
// item is never tested, its value is the fall-back when none before it is checked. The
// items' click handlers set the same variables to the same values and move the check marks.
#pragma once

#include <array>
#include <cstddef>

#include "shell/runtime/controls.h"

namespace vandrel {

class Form1;

/// The order in which a group's check marks are written when one of its items is chosen.
enum class MarkOrder {
    ChosenFirst,  // the chosen item is checked, then the others are cleared in menu order
    LastFirst,    // every item from the last to the first, checked if it is the chosen one
};

template <class Value, std::size_t N>
struct OptionGroup {
    struct Item {
        MenuItem Form1::*item;
        Value value;
    };
    Value Form1::*variable;
    std::array<Item, N> items;  // in menu order
    MarkOrder marks;
};

}  // namespace vandrel
