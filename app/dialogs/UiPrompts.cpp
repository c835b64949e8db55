#include "app/dialogs/UiPrompts.h"

#include "app/dialogs/ProgramVersion.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace corvanel::dialogs {

namespace {

QMessageBox::Icon BoxIcon(PromptIcon icon) {
    switch (icon) {
    case PromptIcon::Information:
        return QMessageBox::Information;
    case PromptIcon::Question:
        return QMessageBox::Question;
    case PromptIcon::Warning:
        return QMessageBox::Warning;
    case PromptIcon::Error:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

int ShowBox(QWidget* owner, QMessageBox::Icon icon, const QString& text,
            QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, QString::fromUtf8(kProgramTitle), text, buttons, owner);
    return box.exec();
}

// Runs the dialog with its lists styled like the window's; the chosen file, or empty.
QString ChosenFile(QFileDialog& dialog, const std::function<void(QComboBox*)>& listLook) {
    if (listLook) {
        for (QComboBox* list : dialog.findChildren<QComboBox*>())
            listLook(list);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

MessageBoxPrompts::MessageBoxPrompts(QWidget* owner, std::function<void(QComboBox*)> listLook)
    : FOwner(owner), FListLook(std::move(listLook)) {}

QWidget* MessageBoxPrompts::Owner() const {
    return FOwner ? FOwner : QApplication::activeWindow();
}

PromptAnswer MessageBoxPrompts::Ask(const QString& question, PromptIcon icon) {
    switch (ShowBox(Owner(), BoxIcon(icon), question, QMessageBox::Yes | QMessageBox::No)) {
    case QMessageBox::Yes:
        return PromptAnswer::Yes;
    case QMessageBox::No:
        return PromptAnswer::No;
    default:
        return PromptAnswer::Other;
    }
}

void MessageBoxPrompts::Inform(const QString& text) {
    ShowBox(Owner(), QMessageBox::Information, text, QMessageBox::Ok);
}

void MessageBoxPrompts::Warn(const QString& text) {
    ShowBox(Owner(), QMessageBox::Warning, text, QMessageBox::Ok);
}

void MessageBoxPrompts::Error(const QString& text) {
    ShowBox(Owner(), QMessageBox::Critical, text, QMessageBox::Ok);
}

void MessageBoxPrompts::ShowFailure(const QString& message) {
    ShowBox(QApplication::activeWindow(), QMessageBox::Critical, message, QMessageBox::Ok);
}

QString MessageBoxPrompts::OpenFile(const QString& filter) {
    QFileDialog dialog(Owner());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(QtFileFilters(filter));
    return ChosenFile(dialog, FListLook);
}

QString MessageBoxPrompts::SaveFile(const SaveFileRequest& request) {
    QFileDialog dialog(Owner());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(QtFileFilters(request.filter));
    QString suffix = request.defaultExtension;
    if (suffix.startsWith(QLatin1Char('.')))
        suffix.remove(0, 1);
    dialog.setDefaultSuffix(suffix);
    dialog.selectFile(request.fileName);
    dialog.setSizeGripEnabled(true);
    return ChosenFile(dialog, FListLook);
}

QStringList QtFileFilters(const QString& pipeFilter) {
    QStringList result;
    const QStringList parts = pipeFilter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString text = parts[i].trimmed();
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns)
            pattern = pattern.trimmed();
        patterns.removeAll(QString());
        if (text.isEmpty() && patterns.isEmpty())
            continue;
        const QString joined = patterns.join(QLatin1Char(' '));
        const QString shown = text.isEmpty() ? joined : text;
        // Qt reads the patterns from the last parenthesised group of the entry.
        if (!joined.isEmpty() &&
            !shown.endsWith(QStringLiteral("(") + joined + QStringLiteral(")")))
            result << shown + QStringLiteral(" (") + joined + QStringLiteral(")");
        else
            result << shown;
    }
    return result;
}

} // namespace corvanel::dialogs
