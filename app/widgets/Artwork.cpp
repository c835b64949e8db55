#include "app/widgets/Artwork.h"

#include <QPainter>
#include <QSvgRenderer>

#include <cmath>

namespace corvanel::window {

QPixmap RenderArt(const QString& path, QSize size, double devicePixelRatio) {
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
