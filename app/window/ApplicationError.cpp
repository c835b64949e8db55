#include "app/window/ApplicationError.h"

#include "app/dialogs/UiPrompts.h"

namespace corvanel::window {

namespace {
dialogs::UiPrompts* gPrompts = nullptr;
} // namespace

void ShowApplicationError(const QString& message) {
    if (gPrompts) {
        gPrompts->ShowFailure(message);
        return;
    }
    dialogs::MessageBoxPrompts().ShowFailure(message);
}

void ShowApplicationError(const std::exception& error) {
    ShowApplicationError(QString::fromUtf8(error.what()));
}

void SetApplicationPrompts(dialogs::UiPrompts* prompts) {
    gPrompts = prompts;
}

CorvanelApplication::CorvanelApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool CorvanelApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowApplicationError(error);
    } catch (...) {
        ShowApplicationError(QStringLiteral("予期しないエラーが発生しました。"));
    }
    return false;
}

} // namespace corvanel::window
