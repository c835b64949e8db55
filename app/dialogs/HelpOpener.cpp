#include "HelpOpener.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>

namespace corvanel::dialogs {

void DesktopHelpOpener::Open(const QUrl& address) {
    QDesktopServices::openUrl(address);
}

QUrl ManualAddress() {
    return QUrl::fromLocalFile(
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("manual.html")));
}

QUrl HomePageAddress() {
    return ManualAddress();
}

} // namespace corvanel::dialogs
