// Program entry: no arguments are read.
#include "ApplicationError.h"
#include "TForm1.h"
#include "WindowLook.h"

int main(int argc, char** argv) {
    // Widgets draw in software anyway; keep any OpenGL surface off the graphics driver too.
    QCoreApplication::setAttribute(Qt::AA_UseSoftwareOpenGL);
    corvanel::window::CorvanelApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvanel"));
    QApplication::setApplicationDisplayName(QStringLiteral("Corvanel (64bit)"));
    corvanel::window::ApplyCorvanelLook(app);

    TForm1 Form1;
    Form1.show();
    return QApplication::exec();
}
