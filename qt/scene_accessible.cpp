// SPDX-License-Identifier: MIT
#include "qt/scene_accessible.h"

#include <QWindow>

#include "host/announcements.h"
#include "host/scene_state.h"
#include "qt/host_rects.h"
#include "qt/label_texts.h"
#include "qt/message_box.h"
#include "qt/scene_announcer.h"

namespace vandrel::qt {

namespace {

// A child of the scene that has no QObject of its own; the scene's interface owns it.
class SceneChild : public QAccessibleInterface {
  public:
    SceneChild(QWidget* scene, SceneAnnouncer* announcer) : scene_(scene), announcer_(announcer) {}

    bool isValid() const override { return scene_ && announcer_; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return scene_ ? scene_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(scene_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QString text(QAccessible::Text) const override { return {}; }
    void setText(QAccessible::Text, const QString&) override {}  // the game sets them
    /// Not painted: an empty box at the scene's corner.
    QRect rect() const override {
        return isValid() ? QRect(scene_->mapToGlobal(QPoint(0, 0)), QSize(0, 0)) : QRect();
    }
    QAccessible::State state() const override {
        QAccessible::State s;
        s.readOnly = true;
        if (!isValid() || !scene_->isVisible()) s.invisible = true;
        return s;
    }

  protected:
    SceneAccessible* scene() const { return SceneAccessible::of(scene_.data()); }

    QPointer<QWidget> scene_;
    QPointer<SceneAnnouncer> announcer_;
};

// One label of the scene: a static text named by its caption, where it is painted.
class LabelAccessible : public SceneChild {
  public:
    LabelAccessible(QWidget* scene, SceneAnnouncer* announcer, int index)
        : SceneChild(scene, announcer), index_(index) {}

    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name || !isValid()) return {};
        return QString::fromStdString(label().Caption);
    }
    QRect rect() const override {
        if (!isValid()) return {};
        const Label& l = label();
        QRect box = toQRect(host::labelBox(l)) & scene_->rect();
        return QRect(scene_->mapToGlobal(box.topLeft()), box.size());
    }
    QAccessible::Role role() const override { return QAccessible::StaticText; }
    QAccessible::State state() const override {
        QAccessible::State s = SceneChild::state();
        if (isValid() && !label().Visible) s.invisible = true;
        return s;
    }

  private:
    const Label& label() const {
        return announcer_->view().label(kLabels[static_cast<std::size_t>(index_)]);
    }

    int index_;
};

// The status bar of the game's words: a screen reader says a notification in a status bar as
// its text alone, without its role.
class StatusBarAccessible : public SceneChild {
  public:
    using SceneChild::SceneChild;

    QAccessibleInterface* child(int index) const override {
        SceneAccessible* s = scene();
        return index == 0 && s != nullptr ? s->notification() : nullptr;
    }
    int childCount() const override { return 1; }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child != nullptr && child == this->child(0) ? 0 : -1;
    }
    QAccessible::Role role() const override { return QAccessible::StatusBar; }
};

class NotificationAccessible : public SceneChild {
  public:
    using SceneChild::SceneChild;

    QAccessibleInterface* parent() const override {
        SceneAccessible* s = scene();
        return s != nullptr ? s->statusBar() : nullptr;
    }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name && isValid() ? announcer_->said() : QString();
    }
    QAccessible::Role role() const override { return QAccessible::Notification; }
};

QAccessibleInterface* sceneFactory(const QString& className, QObject* object) {
    // The game's boxes are alerts, named by their titles and described by their prompts.
    if (className == QLatin1String(MessageBox::staticMetaObject.className()))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::AlertMessage);
    // SceneWidget declares no meta-object of its own: it reaches here as a QWidget, with its
    // announcer among its children.
    if (className != QLatin1String("QWidget") || !object->isWidgetType()) return nullptr;
    auto* announcer = object->findChild<SceneAnnouncer*>(QString(), Qt::FindDirectChildrenOnly);
    if (announcer == nullptr) return nullptr;
    return new SceneAccessible(static_cast<QWidget*>(object), announcer);
}

}  // namespace

SceneAccessible::SceneAccessible(QWidget* scene, SceneAnnouncer* announcer)
    : QAccessibleWidget(scene, QAccessible::Canvas), announcer_(announcer) {
    for (std::size_t i = 0; i < labels_.size(); ++i) {
        labels_[i] = QAccessible::registerAccessibleInterface(
            new LabelAccessible(scene, announcer, static_cast<int>(i)));
    }
    statusBar_ =
        QAccessible::registerAccessibleInterface(new StatusBarAccessible(scene, announcer));
    notification_ =
        QAccessible::registerAccessibleInterface(new NotificationAccessible(scene, announcer));
}

SceneAccessible::~SceneAccessible() {
    for (QAccessible::Id id : labels_)
        QAccessible::deleteAccessibleInterface(id);
    QAccessible::deleteAccessibleInterface(statusBar_);
    QAccessible::deleteAccessibleInterface(notification_);
}

SceneAccessible* SceneAccessible::of(QWidget* scene) {
    return dynamic_cast<SceneAccessible*>(QAccessible::queryAccessibleInterface(scene));
}

void SceneAccessible::install() {
    static const bool installed = (QAccessible::installFactory(sceneFactory), true);
    (void)installed;
}

QAccessibleInterface* SceneAccessible::label(int index) const {
    return QAccessible::accessibleInterface(labels_[static_cast<std::size_t>(index)]);
}

QString SceneAccessible::text(QAccessible::Text t) const {
    if (!announcer_) return QAccessibleWidget::text(t);
    const Form1View& view = announcer_->view();
    if (t == QAccessible::Name) return QString::fromStdString(view.state().Caption);
    if (t == QAccessible::Description) {
        const std::string_view prompt = host::promptShown(view);
        return QString::fromUtf8(prompt.data(), static_cast<qsizetype>(prompt.size()));
    }
    return QAccessibleWidget::text(t);
}

// The children are the labels shown, from the top down (the readouts, the score, the prompt:
// the reverse of kLabels), the status bar, then the widgets over the scene (a box).
int SceneAccessible::shownLabel(int child) const {
    if (!announcer_ || child < 0) return -1;
    for (int i = static_cast<int>(kLabels.size()) - 1; i >= 0; --i) {
        if (announcer_->view().label(kLabels[static_cast<std::size_t>(i)]).Visible && child-- == 0)
            return i;
    }
    return -1;
}

int SceneAccessible::shownLabels() const {
    int count = 0;
    while (shownLabel(count) >= 0)
        ++count;
    return count;
}

int SceneAccessible::childCount() const {
    return shownLabels() + 1 + QAccessibleWidget::childCount();
}

QAccessibleInterface* SceneAccessible::child(int index) const {
    const int shown = shownLabel(index);
    if (shown >= 0) return label(shown);
    const int labels = shownLabels();
    if (index == labels) return statusBar();
    return index < labels ? nullptr : QAccessibleWidget::child(index - labels - 1);
}

int SceneAccessible::indexOfChild(const QAccessibleInterface* child) const {
    for (int index = 0, shown; (shown = shownLabel(index)) >= 0; ++index) {
        if (label(shown) == child) return index;
    }
    const int labels = shownLabels();
    if (child == statusBar()) return labels;
    const int widget = QAccessibleWidget::indexOfChild(child);
    return widget < 0 ? -1 : labels + 1 + widget;
}

QAccessibleInterface* SceneAccessible::childAt(int x, int y) const {
    // A box lies over the labels.
    if (QAccessibleInterface* widget = QAccessibleWidget::childAt(x, y)) return widget;
    for (int i = shownLabels() - 1; i >= 0; --i) {
        QAccessibleInterface* shown = child(i);
        if (shown->rect().contains(x, y)) return shown;
    }
    return nullptr;
}

}  // namespace vandrel::qt
