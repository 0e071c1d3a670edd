// SPDX-License-Identifier: MIT
// The runtime binds each menu item's click to the handler named after it.
#include <utility>

#include "shell/form1.h"

namespace vandrel {

Form1::ClickHandler Form1::clickHandlerFor(std::string_view menuName) {
    static constexpr std::pair<std::string_view, ClickHandler> kHandlers[] = {
        {"mnuExit", &Form1::mnuExit_Click},   {"mnuGNone", &Form1::mnuGNone_Click},
        {"mnuGLow", &Form1::mnuGLow_Click},   {"mnuGNormal", &Form1::mnuGNormal_Click},
        {"mnuGHigh", &Form1::mnuGHigh_Click}, {"mnuGVHigh", &Form1::mnuGVHigh_Click},
        {"mnuF250", &Form1::mnuF250_Click},   {"mnuF500", &Form1::mnuF500_Click},
        {"mnuF1000", &Form1::mnuF1000_Click}, {"mnuFOver9000", &Form1::mnuFOver9000_Click},
        {"mnuTOn", &Form1::mnuTOn_Click},     {"mnuTOff", &Form1::mnuTOff_Click},
        {"mnuReset", &Form1::mnuReset_Click}, {"mnuControls", &Form1::mnuControls_Click},
        {"mnuABout", &Form1::mnuABout_Click},
    };
    for (const auto& [name, handler] : kHandlers) {
        if (name == menuName) return handler;
    }
    return nullptr;
}

}  // namespace vandrel
