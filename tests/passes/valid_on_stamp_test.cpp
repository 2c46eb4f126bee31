#include "common/tessary_error.h"
#include "passes/valid_on_stamp.h"

#include <gtest/gtest.h>

namespace {

// Packs raw fields without any checking, so that impossible stamps can be made.
quint32 RawStamp(quint32 yearsSince1980, quint32 month, quint32 day,
                 quint32 hour, quint32 minute, quint32 halfSeconds)
{
    return (yearsSince1980 << 25) | (month << 21) | (day << 16)
         | (hour << 11) | (minute << 5) | halfSeconds;
}

struct RoundTripCase {
    QDate date;
    QTime time;
    CalendarInstant expected;
};

class StampRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(StampRoundTrip, DecodesToTheStoredFields)
{
    const RoundTripCase& c = GetParam();
    const quint32 stamp = EncodeValidOnStamp(c.date, c.time);
    ASSERT_NE(stamp, 0u);
    const CalendarInstant got = DecodeValidOnStamp(stamp);
    EXPECT_EQ(got.year, c.expected.year);
    EXPECT_EQ(got.month, c.expected.month);
    EXPECT_EQ(got.day, c.expected.day);
    EXPECT_EQ(got.hour, c.expected.hour);
    EXPECT_EQ(got.minute, c.expected.minute);
    EXPECT_EQ(got.second, c.expected.second);
    EXPECT_EQ(got.millisecond, 0);
    EXPECT_EQ(DateOf(got), c.date);
}

INSTANTIATE_TEST_SUITE_P(Edges, StampRoundTrip, ::testing::Values(
    RoundTripCase{QDate(1980, 1, 1), QTime(0, 0, 0), {1980, 1, 1, 0, 0, 0, 0}},
    RoundTripCase{QDate(2107, 12, 31), QTime(23, 59, 58), {2107, 12, 31, 23, 59, 58, 0}},
    RoundTripCase{QDate(2107, 12, 31), QTime(23, 59, 59, 999), {2107, 12, 31, 23, 59, 58, 0}},
    RoundTripCase{QDate(2015, 12, 14), QTime(10, 15, 37), {2015, 12, 14, 10, 15, 36, 0}},
    RoundTripCase{QDate(2004, 2, 29), QTime(12, 0, 1, 500), {2004, 2, 29, 12, 0, 0, 0}}));

TEST(EncodeValidOnStamp, LayoutMatchesTheDosBits)
{
    EXPECT_EQ(EncodeValidOnStamp(QDate(1980, 1, 1), QTime(0, 0)), RawStamp(0, 1, 1, 0, 0, 0));
    EXPECT_EQ(EncodeValidOnStamp(QDate(2107, 12, 31), QTime(23, 59, 59)), RawStamp(127, 12, 31, 23, 59, 29));
    EXPECT_EQ(EncodeValidOnStamp(QDate(2002, 3, 1), QTime(12, 0, 0)), RawStamp(22, 3, 1, 12, 0, 0));
}

TEST(EncodeValidOnStamp, YearsTheLayoutCannotHoldGiveZero)
{
    const QDate dates[] = {QDate(1979, 12, 31), QDate(1979, 1, 1), QDate(2108, 1, 1), QDate(1, 1, 1), QDate()};
    for (const QDate& date : dates)
        EXPECT_EQ(EncodeValidOnStamp(date, QTime(12, 0)), 0u) << date.toString(Qt::ISODate).toStdString();
}

struct BadStampCase {
    const char* name;
    quint32 stamp;
    const char* error;
};

class BadStamp : public ::testing::TestWithParam<BadStampCase> {};

TEST_P(BadStamp, FailsWithTheConversionText)
{
    const BadStampCase& c = GetParam();
    try {
        DecodeValidOnStamp(c.stamp);
        FAIL() << "decoded " << c.name;
    } catch (const TessaryError& e) {
        EXPECT_EQ(e.text(), QString::fromLatin1(c.error));
    }
}

constexpr const char* kDateError = "Invalid argument to date encode";
constexpr const char* kTimeError = "Invalid argument to time encode";

INSTANTIATE_TEST_SUITE_P(Fields, BadStamp, ::testing::Values(
    BadStampCase{"zero", 0u, kDateError},
    BadStampCase{"month13", RawStamp(20, 13, 1, 0, 0, 0), kDateError},
    BadStampCase{"February30", RawStamp(20, 2, 30, 0, 0, 0), kDateError},
    BadStampCase{"February29of2001", RawStamp(21, 2, 29, 0, 0, 0), kDateError},
    BadStampCase{"day0", RawStamp(20, 5, 0, 0, 0, 0), kDateError},
    BadStampCase{"badDateAndBadTime", RawStamp(20, 0, 1, 24, 0, 0), kDateError},
    BadStampCase{"hour24", RawStamp(20, 5, 1, 24, 0, 0), kTimeError},
    BadStampCase{"minute60", RawStamp(20, 5, 1, 0, 60, 0), kTimeError},
    BadStampCase{"second60", RawStamp(20, 5, 1, 0, 0, 30), kTimeError}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
