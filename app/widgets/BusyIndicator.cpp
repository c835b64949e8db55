#include "app/widgets/BusyIndicator.h"

#include "app/widgets/WindowLook.h"

#include <QEvent>
#include <QPainter>
#include <QTimer>

#include <cmath>
#include <numbers>

namespace corvanel::window {

namespace {
constexpr int Dots = 12;
}

BusyIndicator::BusyIndicator(QWidget* parent) : QWidget(parent) {
    FTimer = new QTimer(this);
    FTimer->setInterval(80);
    connect(FTimer, &QTimer::timeout, this, [this] {
        FPhase = (FPhase + 1) % Dots;
        update();
    });
    FollowEnabled();
}

bool BusyIndicator::IsRunning() const {
    return FTimer->isActive();
}

void BusyIndicator::FollowEnabled() {
    if (isEnabled())
        FTimer->start();
    else
        FTimer->stop();
    update();
}

void BusyIndicator::SetRingBox(const QRectF& box) {
    FRingBox = box;
    update();
}

void BusyIndicator::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        FollowEnabled();
}

void BusyIndicator::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = FRingBox.isEmpty() ? QRectF(rect()) : FRingBox;
    const double size = std::min(box.width(), box.height()) * 0.6;
    const QPointF centre = box.center();
    const double ring = size / 2.0 - size * 0.09;
    const double dot = size * 0.09;
    p.setPen(Qt::NoPen);
    for (int i = 0; i < Dots; ++i) {
        const int age = (FPhase - i + Dots) % Dots;
        QColor colour = Look::Accent;
        colour.setAlphaF(isEnabled() ? static_cast<float>(1.0 - age * 0.07) : 0.35f);
        p.setBrush(colour);
        const double angle = 2.0 * std::numbers::pi * i / Dots - std::numbers::pi / 2.0;
        const QPointF at(centre.x() + ring * std::cos(angle), centre.y() + ring * std::sin(angle));
        p.drawEllipse(at, dot, dot);
    }
}

} // namespace corvanel::window
