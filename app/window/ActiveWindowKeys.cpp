#include "app/window/ActiveWindowKeys.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

namespace corvanel::window {

ActiveWindowKeys::ActiveWindowKeys(QWidget* window, std::function<bool(const QKeyEvent&)> handler)
    : FWindow(window), FHandler(std::move(handler)) {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(this);
}

ActiveWindowKeys::~ActiveWindowKeys() {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

bool ActiveWindowKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !FHandler || !watched->isWidgetType())
        return false;
    // A key press reaches the widgets of a window only while it is active, but a modal box
    // over the window is a window of its own: its keys stay its own.
    const auto* target = static_cast<QWidget*>(watched);
    if (target->window() != FWindow || !FWindow->isActiveWindow())
        return false;
    return FHandler(*static_cast<QKeyEvent*>(event));
}

} // namespace corvanel::window
