#include "passes/valid_on_stamp.h"

#include "common/tessary_error.h"

namespace {

constexpr int kFirstStampYear = 1980;
constexpr int kLastStampYear = 2107;

} // namespace

quint32 EncodeValidOnStamp(const QDate& date, const QTime& timeOfDay)
{
    // QTime already counts whole milliseconds, so the instant is at the nearest
    // millisecond by construction. The fields are taken as they stand, without a
    // QDateTime, so that a wall-clock time in a daylight-saving gap is not moved.
    // An unusable time counts as midnight.
    const QDate& d = date;
    const QTime t = timeOfDay.isValid() ? timeOfDay : QTime(0, 0);

    if (!d.isValid() || d.year() < kFirstStampYear || d.year() > kLastStampYear)
        return 0;

    return (quint32(d.year() - kFirstStampYear) << 25)
         | (quint32(d.month()) << 21)
         | (quint32(d.day()) << 16)
         | (quint32(t.hour()) << 11)
         | (quint32(t.minute()) << 5)
         | (quint32(t.second()) >> 1);
}

CalendarInstant DecodeValidOnStamp(quint32 stamp)
{
    CalendarInstant instant{};
    instant.year = int(stamp >> 25) + kFirstStampYear;
    instant.month = int((stamp >> 21) & 0x0F);
    instant.day = int((stamp >> 16) & 0x1F);
    instant.hour = int((stamp >> 11) & 0x1F);
    instant.minute = int((stamp >> 5) & 0x3F);
    instant.second = int(stamp & 0x1F) * 2;
    instant.millisecond = 0;

    if (!QDate::isValid(instant.year, instant.month, instant.day))
        throw TessaryError(QStringLiteral("Invalid argument to date encode"));
    if (instant.hour > 23 || instant.minute > 59 || instant.second > 59)
        throw TessaryError(QStringLiteral("Invalid argument to time encode"));
    return instant;
}

QDate DateOf(const CalendarInstant& instant)
{
    return QDate(instant.year, instant.month, instant.day);
}
