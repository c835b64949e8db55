#include "app/window/Artwork.h"

#include <QPainter>
#include <QSvgRenderer>

#include <cmath>

// The resources live in a static library whose object nothing else references: name it so
// the linker keeps it.
static void InitArtResources() {
    Q_INIT_RESOURCE(art);
}

namespace corvanel::window {

void EnsureArtLoaded() {
    static const bool loaded = [] {
        InitArtResources();
        return true;
    }();
    (void)loaded;
}

QPixmap RenderArt(const QString& path, QSize size, double devicePixelRatio) {
    EnsureArtLoaded();
    const double ratio = devicePixelRatio > 0.0 ? devicePixelRatio : 1.0;
    QPixmap pixmap(QSize(static_cast<int>(std::ceil(size.width() * ratio)),
                         static_cast<int>(std::ceil(size.height() * ratio))));
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(path);
    if (!renderer.isValid())
        return pixmap;
    renderer.setAspectRatioMode(Qt::KeepAspectRatio);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return pixmap;
}

} // namespace corvanel::window
