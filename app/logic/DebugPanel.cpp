#include "app/logic/DebugPanel.h"
#include "base/Version.h"

#include <cmath>
#include <limits>

namespace {

const QString kRule = QStringLiteral("----------------------");

QString Bool(bool b) {
    return b ? QStringLiteral("True") : QStringLiteral("False");
}

QString TwoDigits(int v) {
    return QStringLiteral("%1").arg(v, 2, 10, QChar(u'0'));
}

QString DateTimeText(const QDateTime& now, const DisplaySeparators& sep) {
    const QDate d = now.date();
    const QTime t = now.time();
    return QStringLiteral("%1").arg(d.year(), 4, 10, QChar(u'0')) + sep.date +
           TwoDigits(d.month()) + sep.date + TwoDigits(d.day()) + u' ' + TwoDigits(t.hour()) +
           sep.time + TwoDigits(t.minute()) + sep.time + TwoDigits(t.second());
}

} // namespace

QString FormatFixed2(double value, const QString& decimalSeparator) {
    QString text = QString::number(value, 'f', 2);
    if (text == QStringLiteral("-0.00"))
        text = QStringLiteral("0.00");
    text.replace(u'.', decimalSeparator);
    return text;
}

QString FormatRounded(double value) {
    if (std::isnan(value))
        return QStringLiteral("0");
    const double r = std::nearbyint(value);
    // 2^63 is exact in double; anything at or beyond it does not fit.
    constexpr double limit = 9223372036854775808.0;
    if (r >= limit)
        return QString::number(std::numeric_limits<qint64>::max());
    if (r < -limit)
        return QString::number(std::numeric_limits<qint64>::min());
    return QString::number(static_cast<qint64>(r));
}

QStringList DebugLines(const DebugSnapshot& p, const QDateTime& now,
                       const DisplaySeparators& separators) {
    const QString& dp = separators.decimal;
    return {
        QStringLiteral("Corvanel ver") + QLatin1String(corvanel::kProgramVersion),
        DateTimeText(now, separators),
        kRule,
        QStringLiteral("VREnable:") + Bool(p.enable),
        QStringLiteral("FFTPoint:") + QString::number(p.fftPoint),
        QStringLiteral("AParam  :") + FormatFixed2(p.aParam, dp) + QStringLiteral(" [dB]"),
        QStringLiteral("PParam  :") + FormatFixed2(p.pParam, dp) + QStringLiteral(" [Deg]"),
        QStringLiteral("PanPot  :") + FormatFixed2(p.panPot, dp),
        QStringLiteral("Band-1  :") + FormatRounded(p.band1) + QStringLiteral(" [Hz]"),
        QStringLiteral("Band-2  :") + FormatRounded(p.band2) + QStringLiteral(" [Hz]"),
        QStringLiteral("Inverse :") + Bool(p.inverse),
        kRule,
        QStringLiteral("Pitch   :") + FormatRounded(p.keyChange) + QStringLiteral(" [semitone]"),
        QStringLiteral("Speed   :") + FormatRounded(p.tempo) + QStringLiteral(" [percent]"),
    };
}

QStringList DebugLines(const DebugSnapshot& params, const QDateTime& now, const QLocale& locale) {
    return DebugLines(params, now, SeparatorsOf(locale));
}
