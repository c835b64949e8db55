#include "app/widgets/CalloutPanel.h"

#include <QGraphicsOpacityEffect>
#include <QPainter>
#include <QPainterPath>

namespace corvanel::window {

CalloutPanel::CalloutPanel(int pointerWidth, int pointerLength, int pointerOffset, double opacity,
                           QWidget* parent)
    : QWidget(parent), FPointerWidth(pointerWidth), FPointerLength(pointerLength),
      FPointerOffset(pointerOffset), FOpacity(opacity) {
    auto* effect = new QGraphicsOpacityEffect(this);
    effect->setOpacity(opacity);
    setGraphicsEffect(effect);
}

void CalloutPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QRectF body = r.adjusted(0, 0, 0, -FPointerLength);
    QPainterPath path;
    path.addRoundedRect(body, 6.0, 6.0);
    // Where the pointer's tip stands on the bottom edge.
    const double tip = FPointerOffset >= 0 ? body.left() + FPointerOffset + FPointerWidth / 2.0
                                           : body.right() + FPointerOffset - FPointerWidth / 2.0;
    QPainterPath pointer;
    pointer.moveTo(tip - FPointerWidth / 2.0, body.bottom() - 1.0);
    pointer.lineTo(tip, r.bottom());
    pointer.lineTo(tip + FPointerWidth / 2.0, body.bottom() - 1.0);
    pointer.closeSubpath();
    path = path.united(pointer);
    p.setPen(QPen(QColor(0x0B, 0x12, 0x20), 1.0));
    p.setBrush(QColor(0x14, 0x1E, 0x30));
    p.drawPath(path);
}

} // namespace corvanel::window
