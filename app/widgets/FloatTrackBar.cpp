#include "app/widgets/FloatTrackBar.h"

#include <QResizeEvent>
#include <QScrollBar>
#include <QSlider>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace corvanel::window {

namespace {
// Positions of the integer slider for a continuous bar: finer than any pixel of ours.
constexpr int ContinuousSteps = 10000;
// Beyond this a stepped bar is drawn as continuous; the value still snaps.
constexpr double MaxSteppedPositions = 100000.0;

// The decimal a float was written as (0.1f -> 0.1), so that steps add up to the floats
// nearest the decimal values (15.1, 20.3) rather than to multiples of 0.100000001.
double ShortestDecimal(float value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::strtod(std::string(text, result.ptr).c_str(), nullptr);
}
} // namespace

FloatTrackBar::FloatTrackBar(Qt::Orientation orientation, Kind kind, QWidget* parent)
    : QWidget(parent), FOrientation(orientation), FKind(kind) {
    if (kind == Kind::TrackBar) {
        auto* slider = new QSlider(orientation, this);
        FSlider = slider;
    } else {
        FSlider = new QScrollBar(orientation, this);
        FSlider->setProperty("corvanelKind", kind == Kind::ThinScrollBar ? "thin" : "flat");
    }
    setFocusProxy(FSlider);
    connect(FSlider, &QAbstractSlider::valueChanged, this, &FloatTrackBar::OnSliderValue);
    // After a drag the thumb goes to where the snapped value lies.
    connect(FSlider, &QAbstractSlider::sliderReleased, this, [this] {
        // Without tracking the release's own move follows and places the thumb itself.
        if (FSlider->sliderPosition() == FSlider->value())
            SyncSlider();
    });
    Rescale();
}

float FloatTrackBar::Normalise(float value) const {
    if (std::isnan(value))
        return FMin;
    double v = value;
    if (FFrequency > 0.0f) {
        const double step = ShortestDecimal(FFrequency);
        v = static_cast<double>(FMin) + std::nearbyint((v - FMin) / step) * step;
    }
    return std::clamp(static_cast<float>(v), FMin, FMax);
}

float FloatTrackBar::ValueAtPosition(int position) const {
    if (position <= 0 || FSteps <= 0)
        return FMin;
    if (position >= FSteps)
        return FMax;
    const double span = static_cast<double>(FMax) - FMin;
    return Normalise(static_cast<float>(FMin + span * position / FSteps));
}

int FloatTrackBar::PositionOfValue(float value) const {
    if (FSteps <= 0)
        return 0;
    const double span = static_cast<double>(FMax) - FMin;
    const double position = std::nearbyint((value - static_cast<double>(FMin)) / span * FSteps);
    return static_cast<int>(std::clamp(position, 0.0, static_cast<double>(FSteps)));
}

void FloatTrackBar::Rescale() {
    const double span = static_cast<double>(FMax) - FMin;
    if (span <= 0.0)
        FSteps = 0;
    else if (FFrequency > 0.0f && span / FFrequency <= MaxSteppedPositions)
        FSteps = std::max(1, static_cast<int>(std::nearbyint(span / FFrequency)));
    else
        FSteps = ContinuousSteps;
    SyncSlider();
}

void FloatTrackBar::SyncSlider() {
    const bool wasSyncing = FSyncing;
    FSyncing = true;
    const double span = static_cast<double>(FMax) - FMin;
    double step = FSmallChange > 0.0f ? FSmallChange : FFrequency;
    if (step <= 0.0)
        step = span / 100.0;
    const int single =
        span > 0.0 ? std::max(1, static_cast<int>(std::nearbyint(step / span * FSteps))) : 1;
    FSlider->setRange(0, FSteps);
    FSlider->setSingleStep(single);
    FSlider->setPageStep(std::max(single, FSteps / 10));
    // Never pull the thumb from under the user's drag; the release puts it right.
    if (!FSlider->isSliderDown())
        FSlider->setValue(PositionOfValue(FValue));
    FSyncing = wasSyncing;
}

void FloatTrackBar::Assign(float value) {
    const float normalised = Normalise(value);
    if (normalised == FValue) {
        SyncSlider();
        return;
    }
    FValue = normalised;
    SyncSlider();
    emit Changed();
}

void FloatTrackBar::SetValue(float value) {
    Assign(value);
}

void FloatTrackBar::SetMin(float min) {
    if (std::isnan(min))
        return;
    FMin = min;
    FMax = std::max(FMax, FMin);
    Rescale();
    Assign(FValue);
}

void FloatTrackBar::SetMax(float max) {
    if (std::isnan(max))
        return;
    FMax = max;
    FMin = std::min(FMin, FMax);
    Rescale();
    Assign(FValue);
}

void FloatTrackBar::SetRange(float min, float max) {
    if (std::isnan(min) || std::isnan(max))
        return;
    FMin = min;
    FMax = std::max(min, max);
    Rescale();
    Assign(FValue);
}

void FloatTrackBar::SetFrequency(float frequency) {
    FFrequency = (std::isnan(frequency) || frequency < 0.0f) ? 0.0f : frequency;
    Rescale();
    Assign(FValue);
}

void FloatTrackBar::SetSmallChange(float step) {
    FSmallChange = (std::isnan(step) || step < 0.0f) ? 0.0f : step;
    SyncSlider();
}

bool FloatTrackBar::Tracking() const {
    return FSlider->hasTracking();
}

void FloatTrackBar::SetTracking(bool tracking) {
    FSlider->setTracking(tracking);
}

void FloatTrackBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FSlider->setGeometry(rect());
}

void FloatTrackBar::OnSliderValue(int position) {
    if (FSyncing)
        return;
    Assign(ValueAtPosition(position));
}

} // namespace corvanel::window
