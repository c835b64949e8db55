#include "app/widgets/ToggleSwitch.h"

#include "app/widgets/WindowLook.h"

#include <QPainter>
#include <QVariantAnimation>

namespace corvanel::window {

ToggleSwitch::ToggleSwitch(QWidget* parent) : QAbstractButton(parent) {
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    FKnob = new QVariantAnimation(this);
    FKnob->setDuration(120);
    FKnob->setEasingCurve(QEasingCurve::OutCubic);
    connect(FKnob, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
        FKnobPosition = v.toDouble();
        update();
    });
    connect(this, &QAbstractButton::toggled, this, [this](bool on) {
        FKnob->stop();
        FKnob->setStartValue(FKnobPosition);
        FKnob->setEndValue(on ? 1.0 : 0.0);
        // Hidden or not yet shown: no one would see the slide.
        if (isVisible())
            FKnob->start();
        else
            FKnobPosition = on ? 1.0 : 0.0;
        emit Switched();
    });
}

void ToggleSwitch::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF track = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const double radius = track.height() / 2.0;
    QColor off = Look::SwitchOff;
    QColor on = isEnabled() ? Look::Accent : Look::Disabled;
    QColor fill = QColor::fromRgbF(off.redF() + (on.redF() - off.redF()) * FKnobPosition,
                                   off.greenF() + (on.greenF() - off.greenF()) * FKnobPosition,
                                   off.blueF() + (on.blueF() - off.blueF()) * FKnobPosition);
    p.setPen(QPen(fill.darker(115), 1.0));
    p.setBrush(fill);
    p.drawRoundedRect(track, radius, radius);

    const double knob = track.height() - 4.0;
    const double x = track.left() + 2.0 + (track.width() - knob - 4.0) * FKnobPosition;
    p.setPen(QPen(QColor(0, 0, 0, 40), 1.0));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(x, track.top() + 2.0, knob, knob));
    if (hasFocus()) {
        p.setPen(QPen(Look::Accent, 1.0, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(track, radius, radius);
    }
}

} // namespace corvanel::window
