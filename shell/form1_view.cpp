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

const MenuItem* Form1View::menuItem(std::string_view name) const {
    for (const MenuItem* item : menuItems()) {
        if (item->Name == name) return item;
    }
    return nullptr;
}

std::vector<const MenuItem*> Form1View::menuItems() const {
    std::vector<const MenuItem*> all;
    collect(f_.menuBar_, all);
    return all;
}

std::vector<const MenuItem*> Form1View::optionItems() const {
    std::vector<const MenuItem*> options;
    for (const MenuItem* menu : f_.menuBar_) {
        for (const MenuItem* submenu : menu->Children)
            options.insert(options.end(), submenu->Children.begin(), submenu->Children.end());
    }
    return options;
}

}  // namespace vandrel
