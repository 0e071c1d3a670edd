// SPDX-License-Identifier: MIT
// The menu bar, built from the game's menu items, and kept showing their check marks.
//
// Qt would toggle a checkable action by itself when it is clicked; here the game's Checked
// values are the only truth, written back into the actions after every event the game
// handled. An action is checkable only while its item is checked, so unchecked items show no
// empty box. The game never disables or hides an item, so every action stays enabled and
// visible.
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "shell/form1_view.h"

class QAction;
class QMenu;
class QMenuBar;

namespace vandrel::qt {

class MenuBinding {
  public:
    /// Called with the item's name when the player chooses an item without a submenu.
    using ClickHandler = std::function<void(std::string_view name)>;

    MenuBinding(QMenuBar& bar, const Form1View& view, ClickHandler onClick);

    /// Copies the check mark of every item whose mark changed into its action; with `force`,
    /// of every item (after Qt may have toggled an action on its own).
    void refresh(bool force = false);

  private:
    void addItems(QMenu& menu, const MenuItem& parent);
    void bind(const MenuItem& item, QAction* action);

    struct Bound {
        const MenuItem* item;
        QAction* action;
        bool checked;  // as last written into the action
    };
    std::vector<Bound> bound_;
    ClickHandler onClick_;
};

}  // namespace vandrel::qt
