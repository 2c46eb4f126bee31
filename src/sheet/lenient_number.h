#pragma once

#include <QLocale>
#include <QString>

// Integer as the window's number boxes are read: leading blanks, an optional sign,
// then decimal digits, or hexadecimal after "$" or "0x"/"0X". Anything else,
// including a value outside 32 bits, gives fallback.
int ParseLenientInt(const QString& text, int fallback = 0);

// Decimal number written with the locale's decimal separator, blanks around it
// allowed; anything else, infinities and "nan" included, gives fallback.
double ParseLenientDouble(const QString& text, double fallback, const QLocale& locale = QLocale());
