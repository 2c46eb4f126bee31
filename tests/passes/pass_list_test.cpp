#include "passes/pass_list.h"
#include "passes/valid_on_stamp.h"

#include <QAbstractItemModelTester>
#include <QLocale>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

// A clock the test sets by hand.
struct FakeClock {
    QTime now{9, 0, 0};
    std::function<QTime()> Function() { return [this] { return now; }; }
};

QString DateText(int month, int day, int year)
{
    // The month name comes from the locale the tests run in; the rest is fixed.
    return QLocale().standaloneMonthName(month, QLocale::LongFormat)
         + QStringLiteral(" %1 %2").arg(day, 2, 10, QLatin1Char('0')).arg(year);
}

QString Cell(const PassList& list, int gridRow, int column)
{
    return list.data(list.index(gridRow - 1, column)).toString();
}

TEST(PassList, StartsWithHeaderAndOneBlankRow)
{
    PassList list;
    QAbstractItemModelTester tester(&list, QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(list.GridRowCount(), 2);
    EXPECT_EQ(list.EntryRowCount(), 0);
    EXPECT_EQ(list.rowCount(), 1);
    EXPECT_EQ(list.columnCount(), 3);
    for (int column = 0; column < 3; ++column) {
        EXPECT_EQ(Cell(list, 1, column), QString());
        EXPECT_EQ(list.headerData(column, Qt::Horizontal).toString(), QString());
    }
    list.WriteHeader();
    const char* const headers[] = {"Lane", "Valid On", "Quantity"};
    for (int column = 0; column < 3; ++column)
        EXPECT_EQ(list.headerData(column, Qt::Horizontal).toString(), QString::fromLatin1(headers[column]));
}

TEST(PassList, AddWithoutLaneChangesNothing)
{
    FakeClock clock;
    PassList list(clock.Function());
    ASSERT_TRUE(list.Add(QStringLiteral("01"), QDate(2015, 12, 14), QStringLiteral("4")));
    QSignalSpy inserted(&list, &QAbstractItemModel::rowsInserted);

    EXPECT_FALSE(list.Add(std::nullopt, QDate(2016, 1, 1), QStringLiteral("7")));

    EXPECT_EQ(inserted.count(), 0);
    EXPECT_EQ(list.GridRowCount(), 3);
    EXPECT_EQ(list.CurrentGridRow(), 2);
    ASSERT_EQ(list.EntryRows().size(), 1u);
    EXPECT_EQ(list.EntryRow(1).lane, QStringLiteral("01"));
    EXPECT_EQ(list.EntryRow(1).quantityText, QStringLiteral("4"));
    EXPECT_EQ(Cell(list, 2, 0), QString());
    EXPECT_EQ(PassList::LaneRequiredMessage(), QStringLiteral("Please select a lane for this barcode"));
}

TEST(PassList, FirstAddFillsRowOneAndMovesToTheBlankRow)
{
    FakeClock clock;
    clock.now = QTime(10, 15, 37, 400);
    PassList list(clock.Function());
    QAbstractItemModelTester tester(&list, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy inserted(&list, &QAbstractItemModel::rowsInserted);

    ASSERT_TRUE(list.Add(QStringLiteral("03"), QDate(2015, 12, 14), QStringLiteral("12")));

    EXPECT_EQ(inserted.count(), 1);
    EXPECT_EQ(list.GridRowCount(), 3);
    EXPECT_EQ(list.rowCount(), 2);
    EXPECT_EQ(list.CurrentGridRow(), 2);
    EXPECT_EQ(Cell(list, 1, 0), QStringLiteral("03"));
    EXPECT_EQ(Cell(list, 1, 1), DateText(12, 14, 2015));
    EXPECT_EQ(Cell(list, 1, 2), QStringLiteral("12"));
    for (int column = 0; column < 3; ++column)
        EXPECT_EQ(Cell(list, 2, column), QString());

    const PassListRow& row = list.EntryRow(1);
    EXPECT_EQ(row.quantity(), 12);
    EXPECT_EQ(list.data(list.index(0, 1), PassList::ValidOnStampRole).toUInt(), row.validOnStamp);
    const CalendarInstant instant = DecodeValidOnStamp(row.validOnStamp);
    EXPECT_EQ(DateOf(instant), QDate(2015, 12, 14));
    EXPECT_EQ(instant.hour, 10);
    EXPECT_EQ(instant.minute, 15);
    EXPECT_EQ(instant.second, 36);
    EXPECT_FALSE(list.flags(list.index(0, 0)).testFlag(Qt::ItemIsEditable));
    EXPECT_TRUE(list.flags(list.index(0, 0)).testFlag(Qt::ItemIsSelectable));
}

TEST(PassList, EmptyQuantityIsStoredEmptyAndCountsZero)
{
    PassList list;
    ASSERT_TRUE(list.Add(QStringLiteral("09"), QDate(2020, 6, 1), QString()));
    EXPECT_EQ(list.EntryRow(1).quantityText, QString());
    EXPECT_EQ(Cell(list, 1, 2), QString());
    EXPECT_EQ(list.EntryRow(1).quantity(), 0);
}

TEST(PassList, ClearLeavesHeaderAndBlankRowAndNextAddWritesRowOne)
{
    FakeClock clock;
    PassList list(clock.Function());
    QAbstractItemModelTester tester(&list, QAbstractItemModelTester::FailureReportingMode::Fatal);
    list.WriteHeader();

    list.Clear();
    EXPECT_EQ(list.GridRowCount(), 2);
    EXPECT_EQ(list.CurrentGridRow(), 1);

    list.Add(QStringLiteral("01"), QDate(2015, 1, 2), QStringLiteral("1"));
    list.Add(QStringLiteral("02"), QDate(2015, 1, 3), QStringLiteral("2"));
    list.Clear();
    EXPECT_EQ(list.GridRowCount(), 2);
    EXPECT_EQ(list.EntryRowCount(), 0);
    EXPECT_EQ(Cell(list, 1, 0), QString());
    EXPECT_EQ(list.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Lane"));

    list.Add(QStringLiteral("07"), QDate(2015, 1, 4), QStringLiteral("5"));
    EXPECT_EQ(list.GridRowCount(), 3);
    EXPECT_EQ(Cell(list, 1, 0), QStringLiteral("07"));
    EXPECT_EQ(list.EntryRow(1).quantityText, QStringLiteral("5"));
}

TEST(PassList, RowsKeepTheOrderOfAdding)
{
    FakeClock clock;
    PassList list(clock.Function());
    const char* const lanes[] = {"05", "01", "09", "05"};
    for (const char* lane : lanes)
        list.Add(QString::fromLatin1(lane), QDate(2022, 2, 2), QStringLiteral("1"));
    const std::vector<PassListRow> rows = list.EntryRows();
    ASSERT_EQ(rows.size(), 4u);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].lane, QString::fromLatin1(lanes[i]));
        EXPECT_EQ(Cell(list, int(i) + 1, 0), QString::fromLatin1(lanes[i]));
    }
    EXPECT_EQ(list.CurrentGridRow(), 5);
}

TEST(PassList, StampTimeComesFromTheClockInTwoSecondSteps)
{
    FakeClock clock;
    PassList list(clock.Function());
    const QDate date(2002, 3, 1);
    clock.now = QTime(12, 0, 0, 10);
    list.Add(QStringLiteral("03"), date, QStringLiteral("3"));
    clock.now = QTime(12, 0, 1, 990);
    list.Add(QStringLiteral("03"), date, QStringLiteral("3"));
    clock.now = QTime(12, 0, 2);
    list.Add(QStringLiteral("03"), date, QStringLiteral("3"));

    EXPECT_EQ(list.EntryRow(1).validOnStamp, list.EntryRow(2).validOnStamp);
    EXPECT_NE(list.EntryRow(2).validOnStamp, list.EntryRow(3).validOnStamp);
    EXPECT_EQ(list.EntryRow(1).validOnStamp, EncodeValidOnStamp(date, QTime(12, 0, 0)));
    EXPECT_EQ(DecodeValidOnStamp(list.EntryRow(3).validOnStamp).second, 2);
}

TEST(PassList, DatesOutsideTheStampYearsShowTheirTextWithStampZero)
{
    struct { QDate date; int month, day, year; } const cases[] = {
        {QDate(1979, 7, 5), 7, 5, 1979}, {QDate(2108, 1, 9), 1, 9, 2108}};
    for (const auto& c : cases) {
        PassList list;
        ASSERT_TRUE(list.Add(QStringLiteral("02"), c.date, QStringLiteral("1")));
        EXPECT_EQ(list.EntryRow(1).validOnText, DateText(c.month, c.day, c.year));
        EXPECT_EQ(list.EntryRow(1).validOnStamp, 0u);
    }
}

TEST(QuantityValue, ReadsLenientDecimal)
{
    struct { const char* text; int value; } const cases[] = {
        {"1", 1}, {"99", 99}, {"07", 7}, {"", 0}, {"a", 0}, {"1a", 0}, {"-", 0},
        {"-1", -1}, {"+5", 5}, {" 5", 5}, {"5 ", 0}, {".", 0}, {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1}, {"2147483648", 0}, {"99999999999999999999", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(QuantityValue(QString::fromLatin1(c.text)), c.value) << '"' << c.text << '"';
}

} // namespace
