#pragma once
// The program's command line, as a desktop launcher passes it: `corvanel [FILE...]`.
// --help and --version answer on standard output and end the program; an unknown option is
// reported on standard error and ends it with status 1.
//
// Threads: UI thread, after the application object exists.
#include <QString>

namespace corvanel::window {

// The reverse-DNS id of the desktop entry, icon and metainfo.
inline constexpr char kDesktopId[] = "app.corvanel.Corvanel";

// The first FILE given, or an empty text. Ends the program for --help, --version and errors.
QString FileFromArguments();

} // namespace corvanel::window
