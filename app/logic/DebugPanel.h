#pragma once
// The debug panel's 14 lines (Timer3Timer rebuilds Memo1 from them every 250 ms). Parameter
// units as stored: dB, degrees, Hz, semitones, percent, sample pairs. Pure; UI thread.

#include "app/logic/DisplaySeparators.h"

#include <QDateTime>
#include <QLocale>
#include <QStringList>

#include <cstdint>

// The reduction parameters read at one moment.
struct DebugSnapshot {
    bool enable = false;      // VREnable
    int32_t fftPoint = 16384; // VRFFTPoint
    double aParam = 70;       // VRAParam
    double pParam = 15;       // VRPParam
    double panPot = 0;        // VRPanPot
    double band1 = 200;       // VRBand1
    double band2 = 16500;     // VRBand2
    bool inverse = false;     // VRInverse
    double keyChange = 0;     // VRKeyChange
    double tempo = 0;         // VRTempo
};

inline constexpr int kDebugLineCount = 14;

QStringList DebugLines(const DebugSnapshot& params, const QDateTime& now,
                       const DisplaySeparators& separators);
QStringList DebugLines(const DebugSnapshot& params, const QDateTime& now,
                       const QLocale& locale = QLocale::system());

// "%f": two decimals with the given decimal separator, no grouping; a value that rounds to
// zero is written without a minus sign.
QString FormatFixed2(double value, const QString& decimalSeparator);
// "%d" of a rounded value: nearest, halves to even; NaN as 0, out-of-range values clamped.
QString FormatRounded(double value);
