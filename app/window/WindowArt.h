#pragma once
// The window's pictures, compiled in as Qt resources under ":/art/". UI thread only.

namespace corvanel::window {

// Registers the pictures; the window calls it before drawing any. Idempotent.
void EnsureArtLoaded();

} // namespace corvanel::window
