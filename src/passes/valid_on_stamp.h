#pragma once

#include <QDate>
#include <QTime>
#include <QtGlobal>

// A local wall-clock instant split into calendar fields, as decoded from a stamp.
struct CalendarInstant {
    int year, month, day, hour, minute, second, millisecond;
};

// Packs a local date and time of day into a 32-bit MS-DOS date-time.
// Years outside 1980..2107 cannot be held and give 0; seconds are kept in
// steps of two, so an odd second is stored as the even second below it.
quint32 EncodeValidOnStamp(const QDate& date, const QTime& timeOfDay);

// Unpacks a stamp. Throws TessaryError("Invalid argument to date encode") when
// the fields are not a real date (the stamp 0 among them) and
// TessaryError("Invalid argument to time encode") when they are not a real time.
CalendarInstant DecodeValidOnStamp(quint32 stamp);

QDate DateOf(const CalendarInstant& instant);
