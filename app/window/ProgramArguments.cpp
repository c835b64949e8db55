#include "ProgramArguments.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

namespace corvanel::window {

QString FileFromArguments() {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Stereo vocal reducer: removes what sits at a chosen stereo position."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("A song to put into the path box (the first one)."),
                                 QStringLiteral("[FILE...]"));
    parser.process(*QCoreApplication::instance());
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty())
        return {};
    // The path box shows what the open dialog would: a full path.
    return QFileInfo(files.front()).absoluteFilePath();
}

} // namespace corvanel::window
