// SPDX-License-Identifier: MIT
// The game's runtime services on Qt: modal message boxes and the desktop's regional settings.
#pragma once

#include <string>

#include <QLocale>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include "shell/runtime/platform.h"

namespace vandrel::qt {

/// The regional settings of a locale: its decimal point, group separator and negative sign;
/// leading zero, no parentheses and digit grouping, the usual defaults.
Regional regionalOf(const QLocale& locale);

/// The prompt of a message box as Qt shows it: CR LF (or a lone CR or LF) becomes one line
/// break.
QString promptText(const std::string& prompt);

/// Where a box whose frame is `box` big goes (its frame's top-left corner, global pixels), so
/// that `keepClear` stays in view: centred across `scene`, in the middle of the part of the
/// scene below `keepClear`; above it when the screen has no room below; and always whole on
/// `screen` (its available area), the box's top left first where nothing else fits.
QPoint boxPlace(QSize box, const QRect& scene, const QRect& keepClear, const QRect& screen);

class QtPlatform : public Platform {
  public:
    explicit QtPlatform(const QLocale& locale = QLocale::system());

    /// A real modal box with the title, the prompt and one OK button, over `parent`, placed
    /// clear of the area kept in view. Closing the parent window by its frame while the box
    /// is up still closes it.
    int MsgBox(const std::string& prompt, int buttons, const std::string& title) override;
    const Regional& regional() const override { return regional_; }

    /// The window the boxes belong to.
    void setParent(QWidget* parent) { parent_ = parent; }
    /// The part `area` of `widget` (in its pixels) that no box may hide: the ship.
    void keepInView(QWidget* widget, const QRect& area) {
        keepWidget_ = widget;
        keepArea_ = area;
    }

  private:
    Regional regional_;
    QWidget* parent_ = nullptr;
    QPointer<QWidget> keepWidget_;
    QRect keepArea_;
};

}  // namespace vandrel::qt
