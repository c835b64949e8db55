#pragma once
// What the once-a-second position tick (Timer2Timer) shows: the clock label, the position bar
// and which file and transport controls are usable. Times in seconds. Pure; UI thread (the
// state query is an audio-library call).

#include "app/logic/DisplaySeparators.h"

#include <QString>

#include <cstdint>
#include <functional>

// Channel states reported by BASS_ChannelIsActive.
inline constexpr uint32_t kChannelStopped = 0;
inline constexpr uint32_t kChannelPlaying = 1;
inline constexpr uint32_t kChannelStalled = 2;
inline constexpr uint32_t kChannelPaused = 3;

// "h:nn:ss" with the given separator: seconds rounded half to even, negative or not finite
// shown as 0, hours wrapping after 23.
QString ClockLabelText(double seconds, QChar timeSeparator);
QString ClockLabelText(double seconds, const QLocale& locale = QLocale::system());

// Seconds of the source position as the tick uses them: negative (failed call) or NaN -> 0.
double ElapsedSeconds(double positionSeconds);

// The position bar in single precision. The bar's range starts at 0: a negative (failed)
// length leaves the maximum at 0, and the value is kept within 0 .. maximum as the control
// itself keeps it.
struct PositionBar {
    float maximum = 0;
    float value = 0;
};
PositionBar PositionBarFor(double lengthSeconds, double elapsedSeconds);

struct TransportEnables {
    bool edit1 = true;
    bool button1 = true;
    bool processingButton = false;
    bool button4 = false;
    bool button5 = false;
};

// isActive is BASS_ChannelIsActive(dwFxStream); it is asked again for each test, in the order
// playing, paused, stopped, so a state that changes between the questions picks the row of the
// first question it matches.
TransportEnables TransportEnablesFor(const std::function<uint32_t()>& isActive, bool edit1Empty);

// One whole tick from the library's answers: elapsed position and length in seconds (as
// BASS_ChannelBytes2Seconds gave them), then the state queries.
struct PositionTick {
    QString label;
    PositionBar bar;
    TransportEnables enables;
};
PositionTick ComputePositionTick(double positionSeconds, double lengthSeconds,
                                 const std::function<uint32_t()>& isActive, bool edit1Empty,
                                 QChar timeSeparator);
