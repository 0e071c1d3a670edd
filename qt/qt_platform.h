// The game's runtime services on Qt: modal message boxes and the desktop's regional settings.
#pragma once

#include <string>

#include <QLocale>

#include "shell/runtime/platform.h"

class QWidget;

namespace vandrel::qt {

/// The regional settings of a locale: its decimal point, group separator and negative sign;
/// leading zero, no parentheses and digit grouping, the usual defaults.
Regional regionalOf(const QLocale& locale);

/// The prompt of a message box as Qt shows it: CR LF (or a lone CR or LF) becomes one line
/// break.
QString promptText(const std::string& prompt);

class QtPlatform : public Platform {
  public:
    explicit QtPlatform(const QLocale& locale = QLocale::system());

    /// A real modal box with the title, the prompt and one OK button, over `parent`.
    int MsgBox(const std::string& prompt, int buttons, const std::string& title) override;
    const Regional& regional() const override { return regional_; }

    /// The window the boxes belong to.
    void setParent(QWidget* parent) { parent_ = parent; }

  private:
    Regional regional_;
    QWidget* parent_ = nullptr;
};

}  // namespace vandrel::qt
