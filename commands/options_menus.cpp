// SPDX-License-Identifier: MIT
// The Options menu. Its check marks are where the options are kept: every choice restarts
// the flight, and Form_Load reads the marks back at every reset. Inside the reset Form_Load
// still sees the previous choice, so each handler sets its variable again afterwards.
#include "shell/form1.h"

namespace vandrel {

template <class Value, std::size_t N>
void Form1::ChooseOption(const OptionGroup<Value, N>& group, MenuItem Form1::*chosen) {
    ResetGame();
    for (const auto& option : group.items) {
        if (option.item == chosen) this->*group.variable = option.value;
    }
    // A radio group: exactly one item ends up checked.
    if (group.marks == MarkOrder::ChosenFirst) {
        (this->*chosen).Checked = true;
        for (const auto& option : group.items) {
            if (option.item != chosen) (this->*option.item).Checked = false;
        }
    } else {
        for (auto option = group.items.rbegin(); option != group.items.rend(); ++option)
            (this->*option->item).Checked = option->item == chosen;
    }
}

void Form1::mnuGNone_Click() {
    ChooseOption(kGravityOptions, &Form1::mnuGNone);
}
void Form1::mnuGLow_Click() {
    ChooseOption(kGravityOptions, &Form1::mnuGLow);
}
void Form1::mnuGNormal_Click() {
    ChooseOption(kGravityOptions, &Form1::mnuGNormal);
}
void Form1::mnuGHigh_Click() {
    ChooseOption(kGravityOptions, &Form1::mnuGHigh);
}
void Form1::mnuGVHigh_Click() {
    ChooseOption(kGravityOptions, &Form1::mnuGVHigh);
}

// The fuel items show the new amount at once.
void Form1::mnuF250_Click() {
    ChooseOption(kFuelOptions, &Form1::mnuF250);
    RefreshFuel();
}
void Form1::mnuF500_Click() {
    ChooseOption(kFuelOptions, &Form1::mnuF500);
    RefreshFuel();
}
void Form1::mnuF1000_Click() {
    ChooseOption(kFuelOptions, &Form1::mnuF1000);
    RefreshFuel();
}
void Form1::mnuFOver9000_Click() {
    ChooseOption(kFuelOptions, &Form1::mnuFOver9000);
    RefreshFuel();
}

void Form1::mnuTOn_Click() {
    ChooseOption(kLimiterOptions, &Form1::mnuTOn);
}
void Form1::mnuTOff_Click() {
    ChooseOption(kLimiterOptions, &Form1::mnuTOff);
}

void Form1::mnuReset_Click() {
    // Three resets in a row; the limiter ends Off, not at the window's start-up choice.
    mnuTOff_Click();
    mnuGNormal_Click();
    mnuF500_Click();
}

}  // namespace vandrel
