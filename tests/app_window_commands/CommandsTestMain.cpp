// One application object for the whole run, the program's own, and a settings file of the
// run's own so that no test reads or writes the one beside the program.
#include "app/window/ApplicationError.h"
#include "app/widgets/WindowLook.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER"))
        qputenv("SDL_AUDIODRIVER", "dummy");
    corvanel::window::CorvanelApplication app(argc, argv);
    corvanel::window::ApplyCorvanelLook(app);
    QTemporaryDir settingsDir;
    qputenv("CORVANEL_SETTINGS", settingsDir.filePath(QStringLiteral("Corvanel.ini")).toUtf8());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
