// SPDX-License-Identifier: MIT
#include "qt/qt_platform.h"

#include <algorithm>
#include <cstdlib>

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QShowEvent>
#include <QWindow>

#if VANDREL_HAVE_XCB
#include "qt/x11_connection.h"
#endif

namespace vandrel::qt {

namespace {

// Room left between a box and what it keeps in view, and for a window manager's frame,
// which is only known once the box is on the screen.
constexpr int kMargin = 12;

// A message box that places itself once Qt knows its size, before it is mapped.
class PlacedBox : public QMessageBox {
  public:
    PlacedBox(const QString& title, const QString& text, QWidget* parent,
              std::function<QPoint(QSize)> place)
        : QMessageBox(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent),
          place_(std::move(place)) {
        setTextFormat(Qt::PlainText);
    }

  protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);  // sizes the box to its text
        if (place_ && !event->spontaneous()) move(place_(frameGeometry().size()));
    }

  private:
    std::function<QPoint(QSize)> place_;
};

#if VANDREL_HAVE_XCB

// While a box is up, Qt drops the close requests of the window it blocks. This watches the X
// connection for the window manager's request to close that window (WM_DELETE_WINDOW) and
// closes the window itself, as if no box were up.
class CloseRequestWatch : public QAbstractNativeEventFilter {
  public:
    explicit CloseRequestWatch(QWidget* window) {
        xcb_connection_t* c = applicationConnection();
        if (c == nullptr || window == nullptr || window->windowHandle() == nullptr) return;
        c_ = c;
        window_ = window->windowHandle();
        xid_ = static_cast<xcb_window_t>(window_->winId());
        protocols_ = atom("WM_PROTOCOLS");
        deleteWindow_ = atom("WM_DELETE_WINDOW");
        qGuiApp->installNativeEventFilter(this);
    }
    ~CloseRequestWatch() override {
        if (c_ != nullptr) qGuiApp->removeNativeEventFilter(this);
    }
    CloseRequestWatch(const CloseRequestWatch&) = delete;
    CloseRequestWatch& operator=(const CloseRequestWatch&) = delete;

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t" || window_ == nullptr) return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE) return false;
        const auto* request = static_cast<const xcb_client_message_event_t*>(message);
        if (request->window != xid_ || request->type != protocols_ || request->format != 32 ||
            request->data.data32[0] != deleteWindow_) {
            return false;
        }
        // Closing the window itself is not blocked by the box.
        window_->close();
        return true;
    }

  private:
    xcb_atom_t atom(const char* name) {
        const auto length = static_cast<std::uint16_t>(std::char_traits<char>::length(name));
        xcb_intern_atom_reply_t* reply =
            xcb_intern_atom_reply(c_, xcb_intern_atom(c_, 0, length, name), nullptr);
        const xcb_atom_t value = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        std::free(reply);
        return value;
    }

    xcb_connection_t* c_ = nullptr;
    QPointer<QWindow> window_;
    xcb_window_t xid_ = 0;
    xcb_atom_t protocols_ = XCB_ATOM_NONE, deleteWindow_ = XCB_ATOM_NONE;
};

#else  // without XCB, no close request reaches the window while a box is up

class CloseRequestWatch {
  public:
    explicit CloseRequestWatch(QWidget*) {}
};

#endif

}  // namespace

Regional regionalOf(const QLocale& locale) {
    Regional regional;
    regional.decimalSeparator = locale.decimalPoint().toStdString();
    regional.groupSeparator = locale.groupSeparator().toStdString();
    regional.negativeSign = locale.negativeSign().toStdString();
    return regional;
}

QString promptText(const std::string& prompt) {
    QString text = QString::fromStdString(prompt);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QPoint boxPlace(QSize box, const QRect& scene, const QRect& keepClear, const QRect& screen) {
    const int x = scene.center().x() + 1 - box.width() / 2;
    // Below the kept area, in the middle of what is left of the scene, but never on it.
    const int belowTop = keepClear.bottom() + 1 + kMargin;
    int y = std::max(belowTop, (belowTop + scene.bottom() + 1 - box.height()) / 2);
    if (y + box.height() > screen.bottom() + 1) {
        // No room on the screen below: above the kept area, or else wherever it fits whole.
        y = keepClear.top() - kMargin - box.height();
    }
    // Whole on the screen, whatever the window's position.
    const int maxX = std::max(screen.left(), screen.right() + 1 - box.width());
    const int maxY = std::max(screen.top(), screen.bottom() + 1 - box.height());
    return {std::clamp(x, screen.left(), maxX), std::clamp(y, screen.top(), maxY)};
}

QtPlatform::QtPlatform(const QLocale& locale) : regional_(regionalOf(locale)) {}

int QtPlatform::MsgBox(const std::string& prompt, int /*buttons: only OK is used*/,
                       const std::string& title) {
    std::function<QPoint(QSize)> place;
    if (keepWidget_ != nullptr) {
        // The widget lives as long as the window the box blocks, so at least as long as the box.
        place = [widget = keepWidget_.data(), area = keepArea_](QSize size) {
            const QRect scene(widget->mapToGlobal(QPoint(0, 0)), widget->size());
            const QRect keep(widget->mapToGlobal(area.topLeft()), area.size());
            const QScreen* screen = widget->screen();
            const QRect available = screen != nullptr ? screen->availableGeometry() : scene;
            return boxPlace(size, scene, keep, available);
        };
    }
    PlacedBox box(QString::fromStdString(title), promptText(prompt), parent_, std::move(place));
    CloseRequestWatch watch(parent_ != nullptr ? parent_->window() : nullptr);
    box.exec();
    return 1;  // OK
}

}  // namespace vandrel::qt
