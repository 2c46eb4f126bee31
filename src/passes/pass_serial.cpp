#include "passes/pass_serial.h"

namespace {

constexpr qint32 kSerialBase = 20000000;
constexpr qint32 kSecondsPerDay = 86400;
constexpr quint8 kPassNumberLength = 8;

} // namespace

qint32 PassSerial(const CalendarInstant& instant)
{
    const qint32 n = instant.year - 2000;
    // C++ truncates toward zero, so an odd year before 2000 gives -1 here.
    const qint32 cycleYear = n % 2;
    const qint32 leapAdjustment = (cycleYear != 0 && (n - 1) % 4 == 0) ? 1 : 0;

    qint32 daysBeforeMonth = 0;
    for (int month = 1; month < instant.month; ++month)
        daysBeforeMonth += MonthDays(month, n);

    const qint32 days = 365 * cycleYear + leapAdjustment + daysBeforeMonth + (instant.day - 1);
    return kSerialBase + kSecondsPerDay * days
         + 3600 * instant.hour + 60 * instant.minute + instant.second;
}

int MonthDays(int month, int yearsSince2000)
{
    switch (month) {
    case 2:
        return yearsSince2000 % 4 == 0 ? 29 : 28;
    case 4:
    case 6:
    case 9:
    case 11:
        return 30;
    default:
        return 31;
    }
}

QString RightChars(const QString& text, quint8 count)
{
    return text.right(count);
}

QString PassNumberText(const CalendarInstant& instant, int passIndex)
{
    const qint32 value = PassSerial(instant) + passIndex;
    return RightChars(QStringLiteral("00000000") + QString::number(value), kPassNumberLength);
}

QString BarcodeText(const QString& passNumberText, const QString& laneCode)
{
    return passNumberText + laneCode;
}
