// SPDX-License-Identifier: MIT
#include "qt/message_box.h"

#include <algorithm>

#include <QBoxLayout>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QWindow>

#include "host/box.h"
#include "qt/host_rects.h"
#include "qt/key_codes.h"

namespace vandrel::qt {

MessageBox::MessageBox(const QString& title, const QString& prompt, QWidget& scene,
                       const QRect& keepClear)
    : QFrame(&scene) {
    // Over a scene that has a window of its own (the X server draws it), the box needs one
    // too: the server then keeps whatever it draws of the scene under the box. Qt makes it so
    // by itself today; asking for it keeps it so.
    if (scene.testAttribute(Qt::WA_NativeWindow)) setAttribute(Qt::WA_NativeWindow);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);
    setAccessibleName(title);
    setAccessibleDescription(prompt);

    title_ = new QLabel(title, this);
    title_->setTextFormat(Qt::PlainText);
    title_->setAutoFillBackground(true);
    title_->setBackgroundRole(QPalette::Highlight);
    title_->setForegroundRole(QPalette::HighlightedText);
    title_->setContentsMargins(8, 3, 8, 3);
    QFont bold = title_->font();
    bold.setBold(true);
    title_->setFont(bold);

    prompt_ = new QLabel(prompt, this);
    prompt_->setTextFormat(Qt::PlainText);
    prompt_->setContentsMargins(16, 12, 16, 4);
    prompt_->setMinimumWidth(180);

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setMinimumWidth(80);
    ok_->installEventFilter(this);
    connect(ok_, &QPushButton::clicked, this, [this] { finish(true); });

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(frameWidth(), frameWidth(), frameWidth(), frameWidth());
    column->setSpacing(0);
    column->setSizeConstraint(QLayout::SetFixedSize);
    column->addWidget(title_);
    column->addWidget(prompt_);
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(16, 8, 16, 12);
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addStretch();
    column->addLayout(buttons);
    column->activate();
    const QSize size = sizeHint();
    setGeometry(toQRect(host::boxPlace(size.width(), size.height(), fromQRect(scene.rect()),
                                       fromQRect(keepClear))));
}

QString MessageBox::title() const {
    return title_->text();
}

QString MessageBox::prompt() const {
    return prompt_->text();
}

bool MessageBox::exec() {
    show();
    raise();
    // A box with a window of its own names it, so that tools that look for windows by name
    // find it as they found a top-level box.
    if (QWindow* handle = windowHandle()) handle->setTitle(title_->text());
    ok_->setFocus(Qt::OtherFocusReason);
    if (!finished_) {
        QEventLoop loop;
        loop_ = &loop;
        loop.exec();
        loop_ = nullptr;
    }
    hide();
    return answered_;
}

void MessageBox::finish(bool answered) {
    if (finished_) return;
    finished_ = true;
    answered_ = answered;
    hide();  // gone the moment it is answered, not once the loop has wound up
    if (loop_ != nullptr) loop_->quit();
}

bool MessageBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched != ok_ ||
        (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)) {
        return QFrame::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (std::optional<std::int16_t> code = virtualKeyCode(*key)) {
        auto held = std::find(keysHeld_.begin(), keysHeld_.end(), *code);
        if (held != keysHeld_.end()) {
            if (event->type() == QEvent::KeyRelease && !key->isAutoRepeat()) keysHeld_.erase(held);
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress) {
        switch (key->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Escape:
                if (!key->isAutoRepeat()) ok_->click();
                return true;
            default:
                break;
        }
    }
    return QFrame::eventFilter(watched, event);
}

}  // namespace vandrel::qt
