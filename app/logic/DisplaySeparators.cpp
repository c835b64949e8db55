#include "app/logic/DisplaySeparators.h"

namespace {

// Skips the first field, then returns the first character that is neither a letter, a
// space nor a quote before the next field starts.
QChar SeparatorIn(const QString& format, QChar fallback) {
    qsizetype i = 0;
    while (i < format.size() && !format[i].isLetter())
        ++i;
    while (i < format.size() && format[i].isLetter())
        ++i;
    bool quoted = false;
    for (; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == u'\'') {
            quoted = !quoted;
            continue;
        }
        if (quoted || c.isSpace())
            continue;
        if (c.isLetter())
            break;
        return c;
    }
    return fallback;
}

} // namespace

DisplaySeparators SeparatorsOf(const QLocale& locale) {
    DisplaySeparators s;
    s.date = SeparatorIn(locale.dateFormat(QLocale::ShortFormat), u'/');
    s.time = SeparatorIn(locale.timeFormat(QLocale::ShortFormat), u':');
    const QString point = locale.decimalPoint();
    if (!point.isEmpty())
        s.decimal = point;
    return s;
}
