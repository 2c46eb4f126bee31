#pragma once

#include "passes/valid_on_stamp.h"

#include <QString>
#include <QtGlobal>

// Seconds since 1 January of the even year that opens the instant's two-year
// cycle, plus 20000000. Odd years before 2000 step back a year instead (the
// remainder of n / 2 is -1 there), so their serials may be negative.
qint32 PassSerial(const CalendarInstant& instant);

// Days in a month when every year divisible by 4 is a leap year (2100 included).
int MonthDays(int month, int yearsSince2000);

// The last count characters of text; the whole text when it is shorter.
QString RightChars(const QString& text, quint8 count);

// Eight characters: the serial plus the pass's 0-based index in its row,
// zero-padded on the left and cut to the last eight characters.
QString PassNumberText(const CalendarInstant& instant, int passIndex);

// What the barcode encodes: the pass number followed directly by the lane code.
QString BarcodeText(const QString& passNumberText, const QString& laneCode);
