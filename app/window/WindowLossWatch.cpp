#include "app/window/WindowLossWatch.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <xcb/xcb.h>

namespace corvanel::window {

namespace {

class DestroyNotifyFilter final : public QAbstractNativeEventFilter {
  public:
    explicit DestroyNotifyFilter(QWidget* window) : FWindow(window) {}

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "xcb_generic_event_t" || !FWindow)
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7F) != XCB_DESTROY_NOTIFY)
            return false;
        const auto* destroyed = static_cast<const xcb_destroy_notify_event_t*>(message);
        if (!FWindow->testAttribute(Qt::WA_WState_Created) ||
            destroyed->window != static_cast<xcb_window_t>(FWindow->winId()))
            return false;
        // Not from inside the platform's event dispatch: close once it has returned.
        QTimer::singleShot(0, FWindow, [window = FWindow] {
            if (window)
                window->close();
        });
        return false;
    }

  private:
    QPointer<QWidget> FWindow;
};

} // namespace

void CloseWhenWindowDestroyed(QWidget* window) {
    auto* filter = new DestroyNotifyFilter(window);
    QCoreApplication::instance()->installNativeEventFilter(filter);
    QObject::connect(QCoreApplication::instance(), &QObject::destroyed,
                     [filter] { delete filter; });
}

} // namespace corvanel::window
