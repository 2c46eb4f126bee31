#include "passes/month_date_text.h"

namespace {

// Day as two digits and year as four, zero-padded, in ASCII.
QString DayAndYear(const QDate& date)
{
    return QString::asprintf(" %02d %04d", date.day(), date.year());
}

}  // namespace

QString PlainMonthName(int month, const QLocale& locale)
{
    return locale.standaloneMonthName(month, QLocale::LongFormat);
}

QString LongMonthDateText(const QDate& date, const QLocale& locale)
{
    if (!date.isValid())
        return QString();
    return PlainMonthName(date.month(), locale) + DayAndYear(date);
}

QString ShortMonthDateText(const QDate& date, const QLocale& locale)
{
    if (!date.isValid())
        return QString();
    return locale.standaloneMonthName(date.month(), QLocale::ShortFormat) + DayAndYear(date);
}
