#include "app/logic/PositionDisplay.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kSecondsPerDay = 86400;
}

double ElapsedSeconds(double positionSeconds) {
    return positionSeconds >= 0 ? positionSeconds : 0; // NaN compares false
}

QString ClockLabelText(double seconds, QChar timeSeparator) {
    double s = std::isfinite(seconds) ? ElapsedSeconds(seconds) : 0;
    // Wrap in double before converting: a huge position must not overflow the integer.
    s = std::fmod(std::nearbyint(s), kSecondsPerDay);
    const auto r = static_cast<int>(s);
    const int h = r / 3600;
    const int m = r / 60 % 60;
    const int sec = r % 60;
    return QString::number(h) + timeSeparator + QStringLiteral("%1").arg(m, 2, 10, QChar(u'0')) +
           timeSeparator + QStringLiteral("%1").arg(sec, 2, 10, QChar(u'0'));
}

QString ClockLabelText(double seconds, const QLocale& locale) {
    return ClockLabelText(seconds, SeparatorsOf(locale).time);
}

PositionBar PositionBarFor(double lengthSeconds, double elapsedSeconds) {
    PositionBar bar;
    const auto length = static_cast<float>(lengthSeconds);
    bar.maximum = length > 0 ? length : 0;
    const auto value = static_cast<float>(elapsedSeconds);
    bar.value = value > 0 ? std::min(value, bar.maximum) : 0;
    return bar;
}

TransportEnables TransportEnablesFor(const std::function<uint32_t()>& isActive, bool edit1Empty) {
    const TransportEnables playing{false, false, false, true, false};
    const TransportEnables usable{true, true, true, false, true};
    const TransportEnables nothingToPlay{true, true, false, false, false};
    if (isActive() == kChannelPlaying)
        return playing;
    if (isActive() == kChannelPaused)
        return usable;
    if (isActive() == kChannelStopped)
        return edit1Empty ? nothingToPlay : usable;
    return nothingToPlay;
}

PositionTick ComputePositionTick(double positionSeconds, double lengthSeconds,
                                 const std::function<uint32_t()>& isActive, bool edit1Empty,
                                 QChar timeSeparator) {
    PositionTick tick;
    const double s = ElapsedSeconds(positionSeconds);
    tick.label = ClockLabelText(s, timeSeparator);
    tick.bar = PositionBarFor(lengthSeconds, s);
    tick.enables = TransportEnablesFor(isActive, edit1Empty);
    return tick;
}
