// Renders the two dialogs offscreen to PNG files, for a look by eye.
#include "app/dialogs/HelpOpener.h"
#include "app/widgets/LinkLabel.h"
#include "app/dialogs/TFormSendMessage.h"
#include "app/dialogs/TVersionDlg.h"
#include "app/dialogs/UiPrompts.h"

#include <QApplication>
#include <QDir>
#include <QPlainTextEdit>

#include <cstdio>

using namespace corvanel::dialogs;

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());

    DesktopHelpOpener opener;
    TVersionDlg version(nullptr, opener);
    version.show();
    version.grab().save(out.filePath(QStringLiteral("version-dialog.png")));
    ApplyLinkLook(version.Label3, LinkLook::Hovered);
    version.grab().save(out.filePath(QStringLiteral("version-dialog-hover.png")));

    MessageBoxPrompts prompts;
    TFormSendMessage message(nullptr, prompts, {"http://127.0.0.1:9/", std::chrono::seconds(1)});
    message.show();
    message.grab().save(out.filePath(QStringLiteral("message-dialog.png")));
    message.Memo1->setPlainText(
        QStringLiteral("いつも使っています。ありがとうございます！\nThanks."));
    message.grab().save(out.filePath(QStringLiteral("message-dialog-typed.png")));
    std::printf("written to %s\n", qPrintable(out.absolutePath()));
    return 0;
}
