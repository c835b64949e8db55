#pragma once
// Ends the program on SIGTERM, SIGINT and SIGHUP the way the window manager's close does:
// the handler only writes a byte to a pipe; the event loop reads it and closes the window.
//
// Threads: install and the closing run on the UI thread; the handler on whatever thread
// the signal arrives.

class QWidget;

namespace corvanel::window {

// Routes the three signals to window->close(). Call once, after the application exists.
// False (signals left as they were) when the pipe cannot be made.
bool CloseOnQuitSignals(QWidget* window);

} // namespace corvanel::window
