#pragma once
// Key presses of a window, seen before any of its widgets handles them: installed on the
// application, it hands a key press aimed at a widget of the window to the handler while that
// window is the active one. The handler returns true when it used the key, which then goes no
// further. UI thread only.

#include <QObject>

#include <functional>

class QKeyEvent;
class QWidget;

namespace corvanel::window {

class ActiveWindowKeys final : public QObject {
  public:
    ActiveWindowKeys(QWidget* window, std::function<bool(const QKeyEvent&)> handler);
    ~ActiveWindowKeys() override;
    ActiveWindowKeys(const ActiveWindowKeys&) = delete;
    ActiveWindowKeys& operator=(const ActiveWindowKeys&) = delete;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* FWindow;
    std::function<bool(const QKeyEvent&)> FHandler;
};

} // namespace corvanel::window
