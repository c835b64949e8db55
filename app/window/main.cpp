// Program entry: no arguments are read.
#include "ApplicationError.h"
#include "TForm1.h"
#include "WindowLook.h"

#include <exception>
#include <memory>

int main(int argc, char** argv) {
    // Widgets draw in software anyway; keep any OpenGL surface off the graphics driver too.
    QCoreApplication::setAttribute(Qt::AA_UseSoftwareOpenGL);
    corvanel::window::CorvanelApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvanel"));
    QApplication::setApplicationDisplayName(QStringLiteral("Corvanel (64bit)"));
    corvanel::window::ApplyCorvanelLook(app);

    // A start-up that fails happens before the event loop: show why, then give up.
    std::unique_ptr<TForm1> Form1;
    try {
        Form1 = std::make_unique<TForm1>();
    } catch (const std::exception& error) {
        corvanel::window::ShowApplicationError(error);
        return 1;
    }
    Form1->show();
    return QApplication::exec();
}
