#include "app/dialogs/DialogPrompts.h"

#include "app/dialogs/ProgramVersion.h"

#include <QApplication>
#include <QMessageBox>

namespace corvanel::dialogs {

namespace {
QString BoxTitle() {
    return QString::fromUtf8(kProgramTitle);
}

QWidget* OrActiveWindow(QWidget* parent) {
    return parent ? parent : QApplication::activeWindow();
}
} // namespace

bool MessageBoxPrompts::AskYesNo(QWidget* parent, const QString& question) {
    QMessageBox box(QMessageBox::Question, BoxTitle(), question, QMessageBox::Yes | QMessageBox::No,
                    OrActiveWindow(parent));
    return box.exec() == QMessageBox::Yes;
}

void MessageBoxPrompts::Information(QWidget* parent, const QString& text) {
    QMessageBox::information(OrActiveWindow(parent), BoxTitle(), text);
}

void MessageBoxPrompts::Error(QWidget* parent, const QString& text) {
    QMessageBox::critical(OrActiveWindow(parent), BoxTitle(), text);
}

void MessageBoxPrompts::ShowError(const QString& message) {
    QMessageBox::critical(QApplication::activeWindow(), BoxTitle(), message);
}

} // namespace corvanel::dialogs
