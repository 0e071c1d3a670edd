// SPDX-License-Identifier: MIT
// The game's runtime services on Qt: modal message boxes and the desktop's regional settings.
#pragma once

#include <functional>
#include <string>

#include <QLocale>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include "qt/message_box.h"
#include "shell/runtime/platform.h"

namespace vandrel::qt {

/// The regional settings of a locale: its decimal point, group separator and negative sign;
/// leading zero, no parentheses and digit grouping, the usual defaults.
Regional regionalOf(const QLocale& locale);

class QtPlatform : public Platform {
  public:
    explicit QtPlatform(const QLocale& locale = QLocale::system());

    /// A modal box inside the window (see MessageBox). When the window is closed while it is
    /// up, the program is ending: this throws EndRequested, so that nothing more of the
    /// handler that opened the box runs.
    int MsgBox(const std::string& prompt, int buttons, const std::string& title) override;
    const Regional& regional() const override { return regional_; }

    /// Where boxes appear: over `scene`, clear of its area `keepClear`. `boxUp` is called with
    /// each box just before it opens, and with null once it is gone.
    void setHost(QWidget* scene, const QRect& keepClear, std::function<void(MessageBox*)> boxUp);
    /// Shows a box and waits: true once it was answered, false when the window closed.
    bool showBox(const std::string& prompt, const std::string& title);
    /// Ends the box that is up, if any, and every later one at once: the window closes.
    void closeBoxes();

  private:
    Regional regional_;
    QPointer<QWidget> scene_;
    QRect keepClear_;
    std::function<void(MessageBox*)> boxUp_;
    MessageBox* box_ = nullptr;
    bool closing_ = false;
};

}  // namespace vandrel::qt
