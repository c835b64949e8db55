// Program entry: `corvanel [FILE...]`.
#include "app/window/ApplicationError.h"
#include "app/window/ProgramArguments.h"
#include "app/window/QtJapanese.h"
#include "app/window/QuitSignals.h"
#include "app/window/TForm1.h"
#include "app/widgets/WindowLook.h"
#include "app/window/WindowLossWatch.h"

#include "app/dialogs/ProgramVersion.h"

#include <QIcon>

#include <exception>
#include <memory>

int main(int argc, char** argv) {
    corvanel::window::AnswerHelpOrVersion(argc, argv);
    // Widgets draw in software anyway; keep any OpenGL surface off the graphics driver too.
    QCoreApplication::setAttribute(Qt::AA_UseSoftwareOpenGL);
    corvanel::window::CorvanelApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvanel"));
    QApplication::setApplicationVersion(QString::fromLatin1(corvanel::dialogs::kProgramVersion));
    // The desktop entry and the window's icon share one id, so the shell groups them.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(corvanel::window::kDesktopId));
    Q_INIT_RESOURCE(icon);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icon/app.corvanel.Corvanel.svg")));
    const QString file = corvanel::window::FileFromArguments();
    corvanel::window::ApplyCorvanelLook(app);
    corvanel::window::InstallQtJapanese(app);

    // A start-up that fails happens before the event loop: show why, then give up.
    std::unique_ptr<TForm1> Form1;
    try {
        Form1 = std::make_unique<TForm1>();
    } catch (const std::exception& error) {
        corvanel::window::ShowApplicationError(error);
        return 1;
    }
    corvanel::window::CloseOnQuitSignals(Form1.get());
    corvanel::window::CloseWhenWindowDestroyed(Form1.get());
    if (!file.isEmpty())
        Form1->ChooseSourcePath(file);
    Form1->show();
    return QApplication::exec();
}
