// SPDX-License-Identifier: MIT
#include "qt/message_box.h"

#include <QBoxLayout>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QWindow>

#include "qt/key_codes.h"

namespace vandrel::qt {

MessageBox::MessageBox(const QString& title, const QString& prompt, QWidget& scene)
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
    hide();

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
    connect(ok_, &QPushButton::clicked, this, [this] {
        hide();  // a click always answers: gone the moment it comes
        happened({host::BoxEvent::Kind::Clicked});
    });

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
    resize(sizeHint());
}

QString MessageBox::title() const {
    return title_->text();
}

QString MessageBox::prompt() const {
    return prompt_->text();
}

void MessageBox::showAt(const QRect& place) {
    setGeometry(place);
    show();
    raise();
    // A box with a window of its own names it, so that tools that look for windows by name
    // find it as they found a top-level box.
    if (QWindow* handle = windowHandle()) handle->setTitle(title_->text());
    ok_->setFocus(Qt::OtherFocusReason);
}

host::BoxEvent MessageBox::next() {
    while (events_.empty() && !abandoned_) {
        QEventLoop loop;
        loop_ = &loop;
        loop.exec();
        loop_ = nullptr;
    }
    if (events_.empty()) return {};  // abandoned
    const host::BoxEvent event = events_.front();
    events_.pop_front();
    return event;
}

void MessageBox::happened(host::BoxEvent event) {
    events_.push_back(event);
    if (loop_ != nullptr) loop_->quit();
}

void MessageBox::abandon() {
    abandoned_ = true;
    events_.clear();
    hide();  // gone the moment the window closes, not once the loop has wound up
    if (loop_ != nullptr) loop_->quit();
}

bool MessageBox::eventFilter(QObject* watched, QEvent* event) {
    const bool press = event->type() == QEvent::KeyPress;
    if (watched != ok_ || (!press && event->type() != QEvent::KeyRelease)) {
        return QFrame::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (const std::optional<std::int16_t> code = virtualKeyCode(*key)) {
        using Kind = host::BoxEvent::Kind;
        // A held key's repeats come as pairs of release and press under plain X11: only the
        // last release is a real one.
        if (press || !key->isAutoRepeat()) {
            happened({press ? Kind::KeyDown : Kind::KeyUp, *code, key->isAutoRepeat()});
        }
    }
    return true;
}

}  // namespace vandrel::qt
