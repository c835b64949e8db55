#include "app/widgets/PaintBox.h"

#include <QPainter>

namespace corvanel::window {

PaintBox::PaintBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PaintBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (OnPaint)
        OnPaint(painter);
}

} // namespace corvanel::window
