#pragma once
// The program's pictures: SVG sources compiled in as Qt resources (":/art/...") and drawn
// at the pixel size a control asks for. UI thread only.

#include <QPixmap>
#include <QString>

namespace corvanel::window {

// Registers the compiled-in pictures; the window calls it before using any. Idempotent.
void EnsureArtLoaded();

// The picture at resource path `path` drawn to exactly `size` logical pixels, sharp on a
// screen with the given device pixel ratio. A missing resource gives a transparent pixmap.
QPixmap RenderArt(const QString& path, QSize size, double devicePixelRatio = 1.0);

} // namespace corvanel::window
