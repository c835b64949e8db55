#pragma once
// Centres a dialog over the form that owns it. Pixels, screen coordinates. UI thread only.

class QWidget;

namespace corvanel::dialogs {

// Moves form so that its client area is centred over reference's (halves round to even),
// keeping its size and without clipping to the screen. No reference: nothing changes.
void UpdateFormPosition(QWidget* form, const QWidget* reference);

} // namespace corvanel::dialogs
