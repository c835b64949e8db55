#include "app/window/ApplicationError.h"

#include "app/dialogs/ProgramVersion.h"

#include <QMessageBox>

namespace corvanel::window {

namespace {
std::function<void(const QString&)>& Display() {
    static std::function<void(const QString&)> display;
    return display;
}
} // namespace

void ShowApplicationError(const QString& message) {
    if (Display()) {
        Display()(message);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QString::fromUtf8(dialogs::kProgramTitle), message,
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

void ShowApplicationError(const std::exception& error) {
    ShowApplicationError(QString::fromUtf8(error.what()));
}

void SetApplicationErrorDisplay(std::function<void(const QString&)> display) {
    Display() = std::move(display);
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
