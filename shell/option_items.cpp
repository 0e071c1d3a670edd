// SPDX-License-Identifier: MIT
// The option items of the Options menu's three groups, with the values they give.
#include "shell/form1.h"

namespace vandrel {

// Very High and "Over 9000!" are never tested: they are the fall-backs.
const OptionGroup<Currency, 5> Form1::kGravityOptions = {
    &Form1::Gravity,
    {{{&Form1::mnuGNone, 0_cur},
      {&Form1::mnuGLow, 0.03_cur},
      {&Form1::mnuGNormal, 0.07_cur},
      {&Form1::mnuGHigh, 0.14_cur},
      {&Form1::mnuGVHigh, 0.28_cur}}},
    MarkOrder::ChosenFirst,
};

const OptionGroup<Currency, 4> Form1::kFuelOptions = {
    &Form1::Fuel,
    {{{&Form1::mnuF250, 250_cur},
      {&Form1::mnuF500, 500_cur},
      {&Form1::mnuF1000, 1000_cur},
      {&Form1::mnuFOver9000, 9999_cur}}},
    MarkOrder::ChosenFirst,
};

// Only On is tested: the limiter is off unless On is checked. Both of its handlers write
// Off's check mark before On's.
const OptionGroup<bool, 2> Form1::kLimiterOptions = {
    &Form1::NoLimiter,
    {{{&Form1::mnuTOn, false}, {&Form1::mnuTOff, true}}},
    MarkOrder::LastFirst,
};

}  // namespace vandrel
