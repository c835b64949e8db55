#include "app/widgets/Decorations.h"

#include "app/widgets/WindowLook.h"

#include <QGraphicsOpacityEffect>
#include <QPainter>

namespace corvanel::window {

DashedLine::DashedLine(Qt::Orientation orientation, QColor colour, QWidget* parent)
    : QWidget(parent), FOrientation(orientation), FColour(colour) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void DashedLine::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QPen pen(FColour, 1.0, Qt::CustomDashLine);
    pen.setDashPattern({3.0, 3.0});
    p.setPen(pen);
    if (FOrientation == Qt::Horizontal) {
        const double y = height() / 2.0;
        p.drawLine(QPointF(0, y), QPointF(width(), y));
    } else {
        const double x = width() / 2.0;
        p.drawLine(QPointF(x, 0), QPointF(x, height()));
    }
}

PictureGroupBox::PictureGroupBox(const QString& title, int gapLeft, int gapWidth, QWidget* parent)
    : QGroupBox(title, parent), FGapLeft(gapLeft), FGapWidth(gapWidth) {}

void PictureGroupBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double top = 8.5;
    const QRectF frame(0.5, top, width() - 1.0, height() - top - 0.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xFA, 0xFB, 0xFD));
    p.drawRoundedRect(frame, 6.0, 6.0);
    // The top edge stays open where the caption picture lies.
    p.setClipRegion(QRegion(rect()) - QRegion(FGapLeft, 0, FGapWidth, static_cast<int>(top) + 2));
    p.setPen(QPen(Look::Border, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(frame, 6.0, 6.0);
}

Veil::Veil(QColor fill, double opacity, QWidget* parent)
    : QWidget(parent), FFill(fill), FOpacity(opacity) {
    auto* effect = new QGraphicsOpacityEffect(this);
    effect->setOpacity(opacity);
    setGraphicsEffect(effect);
    // Covering the window means taking its clicks too.
    setAttribute(Qt::WA_NoMousePropagation);
}

void Veil::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), FFill);
}

} // namespace corvanel::window
