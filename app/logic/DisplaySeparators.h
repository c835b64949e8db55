#pragma once
// The separators a locale uses when the window writes dates, clock times and decimals.
// Pure; any thread.

#include <QChar>
#include <QLocale>
#include <QString>

struct DisplaySeparators {
    QChar date = u'/';
    QChar time = u':';
    QString decimal = QStringLiteral(".");
};

// The first punctuation between the first two fields of the locale's short date and time
// formats; "/" or ":" when the format has none (a space or a quoted word).
DisplaySeparators SeparatorsOf(const QLocale& locale);
