#pragma once
// Pictures from SVG sources (Qt resources such as ":/art/...") drawn at the pixel size a
// control asks for. UI thread only.

#include <QPixmap>
#include <QString>

namespace corvanel::window {

// The picture at resource path `path` drawn to exactly `size` logical pixels, sharp on a
// screen with the given device pixel ratio. A missing resource gives a transparent pixmap.
QPixmap RenderArt(const QString& path, QSize size, double devicePixelRatio = 1.0);

} // namespace corvanel::window
