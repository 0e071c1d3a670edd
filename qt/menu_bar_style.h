// The menu bar's style: the application's own, except that a lone tap of Alt does not put
// the menu bar into keyboard mode. Otherwise the bar would swallow the next arrow key or
// space bar the player presses; Alt+F, Alt+O and Alt+H still open their menus.
#pragma once

#include <QProxyStyle>

namespace vandrel::qt {

class MenuBarStyle : public QProxyStyle {
  public:
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override {
        if (hint == QStyle::SH_MenuBar_AltKeyNavigation) return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

}  // namespace vandrel::qt
