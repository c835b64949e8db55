#pragma once
// The application's one error display: a failure that ended an operation is shown with its
// own (Japanese) message in a message box, and the program goes on. UI thread only.

#include <QApplication>

#include <exception>
#include <functional>

namespace corvanel::window {

// Shows the exception's message (UTF-8) in an error box.
void ShowApplicationError(const std::exception& error);
// The same for a failure that carries no message of its own.
void ShowApplicationError(const QString& message);

// Replaces the box (tests capture the message instead); an empty function restores it.
void SetApplicationErrorDisplay(std::function<void(const QString&)> display);

// The application object: an exception that escapes an event handler is shown by the error
// display instead of ending the program.
class CorvanelApplication : public QApplication {
    Q_OBJECT
  public:
    CorvanelApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace corvanel::window
