// SPDX-License-Identifier: MIT
#include "qt/menu_binding.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace vandrel::qt {

namespace {

QString captionOf(const MenuItem& item) {
    return QString::fromStdString(item.Caption);
}

}  // namespace

MenuBinding::MenuBinding(QMenuBar& bar, const Form1View& view, ClickHandler onClick)
    : onClick_(std::move(onClick)) {
    for (const MenuItem* top : view.state().menuBar) {
        if (top->Children.empty()) {
            bind(*top, bar.addAction(captionOf(*top)));
            continue;
        }
        QMenu* menu = bar.addMenu(captionOf(*top));
        bind(*top, menu->menuAction());
        addItems(*menu, *top);
    }
    refresh(true);
}

void MenuBinding::addItems(QMenu& menu, const MenuItem& parent) {
    for (const MenuItem* child : parent.Children) {
        if (child->Children.empty()) {
            bind(*child, menu.addAction(captionOf(*child)));
            continue;
        }
        QMenu* submenu = menu.addMenu(captionOf(*child));
        bind(*child, submenu->menuAction());
        addItems(*submenu, *child);
    }
}

void MenuBinding::bind(const MenuItem& item, QAction* action) {
    bound_.push_back({&item, action, false});
    if (!item.Children.empty()) return;  // a submenu header only opens its submenu
    std::string_view name = item.Name;
    QObject::connect(action, &QAction::triggered, action, [this, name] { onClick_(name); });
}

void MenuBinding::refresh(bool force) {
    for (Bound& b : bound_) {
        const MenuItem& item = *b.item;
        if (!force && b.checked == item.Checked) continue;
        b.action->setCheckable(item.Checked);
        b.action->setChecked(item.Checked);
        b.checked = item.Checked;
    }
}

}  // namespace vandrel::qt
