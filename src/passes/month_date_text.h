#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

// Dates as the pass list and the printed passes show them: the locale's month
// name in its plain (nominative) form, as a month-name table lists it, then
// the day and the year in ASCII digits, whatever digits the locale writes.
// Qt's own "MMMM" gives the form used inside a date (Russian "марта", Polish
// "marca") and the locale's digits (Egyptian Arabic "٠٥").

// "mmmm dd yyyy": "December 14 2015".
QString LongMonthDateText(const QDate& date, const QLocale& locale = QLocale());

// "mmm dd yyyy": "Dec 14 2015".
QString ShortMonthDateText(const QDate& date, const QLocale& locale = QLocale());

// The plain full month name (1 = January), as LongMonthDateText writes it.
QString PlainMonthName(int month, const QLocale& locale = QLocale());
