#include "shell/form1_view.h"

namespace vandrel {

namespace {

const MenuItem* find(const std::vector<const MenuItem*>& items, std::string_view name) {
    for (const MenuItem* item : items) {
        if (item->Name == name) return item;
        if (const MenuItem* found = find(item->Children, name)) return found;
    }
    return nullptr;
}

}  // namespace

const Label& Form1View::label(SceneControl control) const {
    switch (control.kind) {
        case SceneControl::Kind::lblPause:
            return f_.lblPause;
        case SceneControl::Kind::lblScore:
            return f_.lblScore;
        case SceneControl::Kind::lblHeight:
            return f_.lblHeight;
        case SceneControl::Kind::lblThrust:
            return f_.lblThrust;
        default:
            return f_.lblFuel;  // the last label
    }
}

const MenuItem* Form1View::menuItem(std::string_view name) const {
    return find(f_.menuBar_, name);
}

}  // namespace vandrel
