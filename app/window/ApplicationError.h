#pragma once
// The application's one error display: a failure that ended an operation is shown with its
// own (Japanese) message through the application's prompts (UiPrompts::ShowFailure), and the
// program goes on. UI thread only.

#include <QApplication>

#include <exception>

namespace corvanel::dialogs {
class UiPrompts;
}

namespace corvanel::window {

// Shows the exception's message (UTF-8) as a failure.
void ShowApplicationError(const std::exception& error);
// The same for a failure that carries no message of its own.
void ShowApplicationError(const QString& message);

// The prompts that show them (tests answer them instead); null restores the message boxes.
// The prompts must outlive their use here.
void SetApplicationPrompts(dialogs::UiPrompts* prompts);

// The application object: an exception that escapes an event handler is shown by the error
// display instead of ending the program.
class CorvanelApplication : public QApplication {
    Q_OBJECT
  public:
    CorvanelApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace corvanel::window
