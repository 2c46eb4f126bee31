#include "passes/pass_serial.h"

#include <gtest/gtest.h>

namespace {

struct SerialCase {
    CalendarInstant instant;
    qint32 serial;
    const char* passNumber;
};

class Serial : public ::testing::TestWithParam<SerialCase> {};

TEST_P(Serial, GivesSerialAndPassNumber)
{
    const SerialCase& c = GetParam();
    EXPECT_EQ(PassSerial(c.instant), c.serial);
    EXPECT_EQ(PassNumberText(c.instant, 0), QString::fromLatin1(c.passNumber));
}

INSTANTIATE_TEST_SUITE_P(Calendar, Serial, ::testing::Values(
    SerialCase{{2000, 1, 1, 0, 0, 0, 0}, 20000000, "20000000"},
    SerialCase{{2002, 1, 1, 0, 0, 0, 0}, 20000000, "20000000"},
    SerialCase{{2004, 1, 1, 0, 0, 0, 0}, 20000000, "20000000"},
    SerialCase{{1998, 1, 1, 0, 0, 0, 0}, 20000000, "20000000"},
    SerialCase{{2000, 12, 31, 23, 59, 58, 0}, 51622398, "51622398"},
    SerialCase{{2001, 1, 1, 0, 0, 0, 0}, 51622400, "51622400"},
    SerialCase{{2001, 12, 31, 23, 59, 58, 0}, 83158398, "83158398"},
    SerialCase{{2003, 12, 31, 23, 59, 58, 0}, 83071998, "83071998"},
    SerialCase{{2002, 3, 1, 12, 0, 0, 0}, 25140800, "25140800"},
    SerialCase{{2004, 2, 29, 0, 0, 0, 0}, 25097600, "25097600"},
    SerialCase{{2100, 3, 1, 0, 0, 0, 0}, 25184000, "25184000"},
    SerialCase{{2101, 1, 1, 0, 0, 0, 0}, 51622400, "51622400"},
    SerialCase{{1999, 1, 1, 0, 0, 0, 0}, -11536000, "11536000"},
    SerialCase{{1999, 3, 1, 0, 0, 0, 0}, -6438400, "-6438400"},
    SerialCase{{1999, 5, 13, 2, 9, 4, 0}, -123456, "0-123456"},
    SerialCase{{1997, 6, 15, 10, 30, 20, 0}, 2844220, "02844220"},
    SerialCase{{1997, 12, 31, 23, 59, 58, 0}, 20086398, "20086398"}));

TEST(PassNumbers, QuantityThreeInLane03)
{
    const CalendarInstant instant{2002, 3, 1, 12, 0, 0, 0};
    const char* const expected[][2] = {
        {"25140800", "2514080003"}, {"25140801", "2514080103"}, {"25140802", "2514080203"}};
    for (int i = 0; i < 3; ++i) {
        const QString number = PassNumberText(instant, i);
        EXPECT_EQ(number, QString::fromLatin1(expected[i][0]));
        EXPECT_EQ(BarcodeText(number, QStringLiteral("03")), QString::fromLatin1(expected[i][1]));
    }
}

TEST(MonthDays, LeapRuleCountsEveryFourthYearIncludingNegative)
{
    struct { int month, years, days; } const cases[] = {
        {2, 0, 29}, {2, 100, 29}, {2, -4, 29}, {2, -1, 28}, {2, 1, 28}, {2, -2, 28},
        {4, 1, 30}, {6, 1, 30}, {9, 1, 30}, {11, 1, 30},
        {1, 1, 31}, {3, 1, 31}, {12, 1, 31}, {0, 1, 31}, {13, 1, 31}};
    for (const auto& c : cases)
        EXPECT_EQ(MonthDays(c.month, c.years), c.days) << c.month << "/" << c.years;
}

TEST(RightChars, KeepsTheLastCharacters)
{
    struct { const char* text; quint8 count; const char* expected; } const cases[] = {
        {"0000000012345678", 8, "12345678"}, {"abc", 8, "abc"}, {"abc", 0, ""},
        {"abc", 255, "abc"}, {"", 3, ""}, {"abcdef", 1, "f"}};
    for (const auto& c : cases)
        EXPECT_EQ(RightChars(QString::fromLatin1(c.text), c.count), QString::fromLatin1(c.expected))
            << c.text << " " << int(c.count);
}

} // namespace
