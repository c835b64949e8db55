// The window's tests need one application object for the whole run, the program's own, so
// that the error display and the look are the real ones.
#include "app/window/ApplicationError.h"
#include "app/widgets/WindowLook.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                    : qgetenv("QT_QPA_PLATFORM"));
    corvanel::window::CorvanelApplication app(argc, argv);
    corvanel::window::ApplyCorvanelLook(app);
    // No window of a test reads a settings file left beside the test program.
    QTemporaryDir settingsFolder;
    qputenv("CORVANEL_SETTINGS", settingsFolder.filePath(QStringLiteral("corvanel.ini")).toUtf8());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
