#include "app/dialogs/HelpOpener.h"

#include "base/InstallPaths.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

#include <filesystem>

namespace corvanel::dialogs {

void DesktopHelpOpener::Open(const QUrl& address) {
    QDesktopServices::openUrl(address);
}

QUrl ManualAddress() {
    // Beside the program in a build tree or a portable copy, in the documentation folder when
    // installed.
    const QDir programFolder(QCoreApplication::applicationDirPath());
    const QString beside = programFolder.filePath(QStringLiteral("manual.html"));
    if (QFileInfo::exists(beside))
        return QUrl::fromLocalFile(beside);
    const std::filesystem::path installed =
        InstalledDocFolder(std::filesystem::path(programFolder.path().toStdU16String())) /
        "manual.html";
    if (std::filesystem::exists(installed))
        return QUrl::fromLocalFile(QString::fromStdU16String(installed.u16string()));
    return QUrl::fromLocalFile(beside);
}

QUrl HomePageAddress() {
    return ManualAddress();
}

} // namespace corvanel::dialogs
