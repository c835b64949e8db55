#include "app/window/ProgramArguments.h"

#include "app/dialogs/ProgramVersion.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <string_view>

namespace corvanel::window {

namespace {

void DescribeArguments(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        QStringLiteral("Stereo vocal reducer: removes what sits at a chosen stereo position."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("A song to put into the path box (the first one)."),
                                 QStringLiteral("[FILE...]"));
}

bool AsksForHelpOrVersion(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--")
            return false;
        if (arg == "-h" || arg == "--help" || arg == "-?" || arg == "--help-all" || arg == "-v" ||
            arg == "--version")
            return true;
    }
    return false;
}

} // namespace

void AnswerHelpOrVersion(int argc, char** argv) {
    if (!AsksForHelpOrVersion(argc, argv))
        return;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("corvanel"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(dialogs::kProgramVersion));
    QCommandLineParser parser;
    DescribeArguments(parser);
    parser.process(app); // answers and exits
}

QString FileFromArguments() {
    QCommandLineParser parser;
    DescribeArguments(parser);
    parser.process(*QCoreApplication::instance());
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty())
        return {};
    // The path box shows what the open dialog would: a full path.
    return QFileInfo(files.front()).absoluteFilePath();
}

} // namespace corvanel::window
