// SPDX-License-Identifier: MIT
#include "qt/qt_platform.h"

#include "host/box.h"
#include "shell/runtime/errors.h"

namespace vandrel::qt {

Regional regionalOf(const QLocale& locale) {
    Regional regional;
    regional.decimalSeparator = locale.decimalPoint().toStdString();
    regional.groupSeparator = locale.groupSeparator().toStdString();
    regional.negativeSign = locale.negativeSign().toStdString();
    return regional;
}

QtPlatform::QtPlatform(const QLocale& locale) : regional_(regionalOf(locale)) {}

int QtPlatform::MsgBox(const std::string& prompt, int /*buttons: only OK is used*/,
                       const std::string& title) {
    if (!showBox(prompt, title)) throw EndRequested{};
    return 1;  // OK
}

void QtPlatform::setHost(QWidget* scene, const QRect& keepClear,
                         std::function<void(MessageBox*)> boxUp) {
    scene_ = scene;
    keepClear_ = keepClear;
    boxUp_ = std::move(boxUp);
}

bool QtPlatform::showBox(const std::string& prompt, const std::string& title) {
    if (closing_ || scene_ == nullptr) return false;
    bool answered = false;
    {
        MessageBox box(QString::fromStdString(title),
                       QString::fromStdString(host::promptText(prompt)), *scene_, keepClear_);
        box_ = &box;
        if (boxUp_) boxUp_(&box);
        answered = box.exec();
        box_ = nullptr;
    }
    if (boxUp_) boxUp_(nullptr);
    return answered;
}

void QtPlatform::closeBoxes() {
    closing_ = true;
    if (box_ != nullptr) box_->abandon();
}

}  // namespace vandrel::qt
