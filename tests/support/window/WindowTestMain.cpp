// The window's tests need one application object for the whole run, the program's own, so
// that the error display and the look are the real ones, and a settings file of the run's own
// so that no test reads or writes the one beside the program.
#include "app/widgets/WindowLook.h"
#include "app/window/ApplicationError.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER"))
        qputenv("SDL_AUDIODRIVER", "dummy");
    corvanel::window::CorvanelApplication app(argc, argv);
    corvanel::window::ApplyCorvanelLook(app);
    QTemporaryDir settingsFolder;
    qputenv("CORVANEL_SETTINGS", settingsFolder.filePath(QStringLiteral("corvanel.ini")).toUtf8());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
