#include "sheet/lenient_number.h"

#include <cmath>
#include <limits>

int ParseLenientInt(const QString& text, int fallback)
{
    int pos = 0;
    while (pos < text.size() && text.at(pos) == QLatin1Char(' '))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text.at(pos) == QLatin1Char('-') || text.at(pos) == QLatin1Char('+'))) {
        negative = text.at(pos) == QLatin1Char('-');
        ++pos;
    }
    int base = 10;
    if (pos < text.size() && text.at(pos) == QLatin1Char('$')) {
        base = 16;
        ++pos;
    } else if (pos + 1 < text.size() && text.at(pos) == QLatin1Char('0')
               && (text.at(pos + 1) == QLatin1Char('x') || text.at(pos + 1) == QLatin1Char('X'))) {
        base = 16;
        pos += 2;
    }
    if (pos >= text.size())
        return fallback;

    qint64 value = 0;
    for (; pos < text.size(); ++pos) {
        const int digit = QString(text.at(pos)).toInt(nullptr, 16);
        const bool isDigit = text.at(pos).isDigit() && text.at(pos).unicode() < 128;
        const bool isHexLetter = base == 16 && QStringLiteral("abcdefABCDEF").contains(text.at(pos));
        if (!isDigit && !isHexLetter)
            return fallback;
        value = value * base + digit;
        if (value > qint64(std::numeric_limits<quint32>::max()))
            return fallback;
    }
    if (base == 16)
        return negative ? -int(quint32(value)) : int(quint32(value));
    const qint64 signedValue = negative ? -value : value;
    if (signedValue < std::numeric_limits<int>::min() || signedValue > std::numeric_limits<int>::max())
        return fallback;
    return int(signedValue);
}

double ParseLenientDouble(const QString& text, double fallback, const QLocale& locale)
{
    bool ok = false;
    QLocale strict(locale);
    strict.setNumberOptions(QLocale::RejectGroupSeparator);
    const double value = strict.toDouble(text.trimmed(), &ok);
    // "inf", "nan" and overflowing exponents are read by QLocale, but are no
    // number of inches or size factor.
    return ok && std::isfinite(value) ? value : fallback;
}
