// SPDX-License-Identifier: MIT
#include "shell/form1_view.h"

namespace vandrel {

namespace {

void collect(const std::vector<const MenuItem*>& items, std::vector<const MenuItem*>& all) {
    for (const MenuItem* item : items) {
        all.push_back(item);
        collect(item->Children, all);
    }
}

}  // namespace

const Label& Form1View::label(SceneControl control) const {
    switch (control.kind) {
        case SceneControl::Kind::lblPause:
            return s_.lblPause;
        case SceneControl::Kind::lblScore:
            return s_.lblScore;
        case SceneControl::Kind::lblHeight:
            return s_.lblHeight;
        case SceneControl::Kind::lblThrust:
            return s_.lblThrust;
        default:
            return s_.lblFuel;  // the last label
    }
}

const MenuItem* Form1View::menuItem(std::string_view name) const {
    for (const MenuItem* item : menuItems()) {
        if (item->Name == name) return item;
    }
    return nullptr;
}

std::vector<const MenuItem*> Form1View::menuItems() const {
    std::vector<const MenuItem*> all;
    collect(s_.menuBar, all);
    return all;
}

std::vector<const MenuItem*> Form1View::optionItems() const {
    std::vector<const MenuItem*> options;
    for (const MenuItem* menu : s_.menuBar) {
        for (const MenuItem* submenu : menu->Children)
            options.insert(options.end(), submenu->Children.begin(), submenu->Children.end());
    }
    return options;
}

}  // namespace vandrel
