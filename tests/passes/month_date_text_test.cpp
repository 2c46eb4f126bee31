#include "passes/month_date_text.h"

#include <gtest/gtest.h>

namespace {

struct DateTextCase {
    const char* locale;
    QDate date;
    const char* longText;  // "mmmm dd yyyy"
    const char* shortText; // "mmm dd yyyy"
};

// The plain month names a month-name table lists (nominative where the
// language declines them), and ASCII digits whatever the locale writes.
const DateTextCase kDateTexts[] = {
    {"en_US", QDate(2015, 12, 14), "December 14 2015", "Dec 14 2015"},
    {"en_US", QDate(2026, 3, 5), "March 05 2026", "Mar 05 2026"},
    {"ru_RU", QDate(2026, 3, 5), "март 05 2026", "март 05 2026"},
    {"ru_RU", QDate(2026, 5, 9), "май 09 2026", "май 09 2026"},
    {"ru_RU", QDate(2024, 12, 31), "декабрь 31 2024", "дек. 31 2024"},
    {"pl_PL", QDate(2026, 3, 5), "marzec 05 2026", "mar 05 2026"},
    {"pl_PL", QDate(2026, 1, 20), "styczeń 20 2026", "sty 20 2026"},
    {"uk_UA", QDate(2026, 3, 5), "березень 05 2026", "бер 05 2026"},
    {"ar_EG", QDate(2026, 3, 5), "مارس 05 2026", "مارس 05 2026"},
    {"fa_IR", QDate(2026, 12, 1), "دسامبر 01 2026", "دسامبر 01 2026"},
    {"de_DE", QDate(1979, 3, 1), "März 01 1979", "Mär 01 1979"},
    {"en_US", QDate(2108, 1, 1), "January 01 2108", "Jan 01 2108"},
    {"en_US", QDate(100, 7, 4), "July 04 0100", "Jul 04 0100"},
};

class MonthDateText : public ::testing::TestWithParam<DateTextCase> {};

TEST_P(MonthDateText, PlainMonthNameAndAsciiDigits)
{
    const DateTextCase& c = GetParam();
    const QLocale locale(QString::fromLatin1(c.locale));
    EXPECT_EQ(LongMonthDateText(c.date, locale), QString::fromUtf8(c.longText)) << c.locale;
    EXPECT_EQ(ShortMonthDateText(c.date, locale), QString::fromUtf8(c.shortText)) << c.locale;
}

INSTANTIATE_TEST_SUITE_P(Table, MonthDateText, ::testing::ValuesIn(kDateTexts));

TEST(MonthDateText, InvalidDateGivesNoText)
{
    EXPECT_EQ(LongMonthDateText(QDate(), QLocale("ru_RU")), QString());
    EXPECT_EQ(ShortMonthDateText(QDate(2026, 2, 30), QLocale("en_US")), QString());
}

} // namespace
