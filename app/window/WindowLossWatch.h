#pragma once
// Ends the program when the main window's X11 window is destroyed from outside (for example by
// a tool that closes windows without asking): the window is closed the normal way, so the
// settings are saved and the audio freed, instead of the program playing on invisibly.
// On other platforms nothing is watched. UI thread only.

class QWidget;

namespace corvanel::window {

// Watches `window` (a top-level widget) for the rest of the application's life.
void CloseWhenWindowDestroyed(QWidget* window);

} // namespace corvanel::window
