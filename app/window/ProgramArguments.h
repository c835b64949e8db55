#pragma once
// The program's command line, as a desktop launcher passes it: `corvanel [FILE...]`.
// --help and --version answer on standard output and end the program; an unknown option is
// reported on standard error and ends it with status 1.
//
// Threads: the main thread.
#include <QString>

namespace corvanel::window {

// The reverse-DNS id of the desktop entry, icon and metainfo.
inline constexpr char kDesktopId[] = "app.corvanel.Corvanel";

// Answers --help and --version on standard output and exits, before any display is needed
// (they must work from a terminal without one). Returns when neither was asked for.
void AnswerHelpOrVersion(int argc, char** argv);
// The first FILE given, or an empty text. Ends the program for an unknown option.
QString FileFromArguments();

} // namespace corvanel::window
