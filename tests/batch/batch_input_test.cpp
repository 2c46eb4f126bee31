// What tessary-print reads: rows from the command line and from CSV files, and
// the heading face a label file's font name finds.
#include "common/exit_status.h"
#include "batch/batch_rows.h"
#include "fonts/heading_face.h"
#include "passes/valid_on_stamp.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

std::string Text(const QString& text) { return text.toStdString(); }

struct RowCase {
    const char* text;
    const char* lane;     // nullptr: refused
    const char* instant;  // stamp decoded, yyyy-MM-dd hh:mm:ss, with 10:20:30 as the default time
    int quantity;
    const char* error;    // part of the refusal
};

const RowCase kRowCases[] = {
    {"03,2026-03-04,20", "03", "2026-03-04 10:20:30", 20, nullptr},
    {"9,2026-03-04,1", nullptr, nullptr, 0, "\"9\" is not a lane (01 02 03 04 05 06 07 09)"},
    {"08,2026-03-04,1", nullptr, nullptr, 0, "\"08\" is not a lane"},
    {" 07 , 2026-03-04T23:59:59 , 5 ", "07", "2026-03-04 23:59:58", 5, nullptr},  // odd second: the even below
    {"01,2026-03-04T00:00:01,99", "01", "2026-03-04 00:00:00", 99, nullptr},
    {"01,2026-03-04T00:00:01,0", nullptr, nullptr, 0, "row: Quantity must be 1 to 99"},
    {"01,2026-03-04,00", nullptr, nullptr, 0, "row: Quantity must be 1 to 99"},
    {"01,1980-01-01,1", "01", "1980-01-01 10:20:30", 1, nullptr},
    {"01,2107-12-31T23:59:58,1", "01", "2107-12-31 23:59:58", 1, nullptr},
    {"01,1979-12-31,1", nullptr, nullptr, 0, "row: Invalid argument to date encode"},
    {"01,2108-01-01,1", nullptr, nullptr, 0, "row: Invalid argument to date encode"},
    {"01,2026-02-29,1", nullptr, nullptr, 0, "\"2026-02-29\" is not a date YYYY-MM-DD"},
    {"01,4.3.2026,1", nullptr, nullptr, 0, "is not a date"},
    {"01,2026-03-04T24:00:00,1", nullptr, nullptr, 0, "\"24:00:00\" is not a time of day"},
    {"01,2026-03-04T8:00,1", nullptr, nullptr, 0, "is not a time of day"},
    {"01,2026-03-04,-1", nullptr, nullptr, 0, "\"-1\" is not a quantity"},
    {"01,2026-03-04,x", nullptr, nullptr, 0, "is not a quantity"},
    {"01,2026-03-04,99999999999999999999", nullptr, nullptr, 0, "row: Quantity must be 1 to 99"},
    {"01,2026-03-04,2147483647", nullptr, nullptr, 0, "row: Quantity must be 1 to 99"},
    {"01,2026-03-04", nullptr, nullptr, 0, "a row is LANE,YYYY-MM-DD[Thh:mm:ss],QTY"},
    {"01,2026-03-04,08:00:00,5", nullptr, nullptr, 0, "a row is LANE"},
};

TEST(BatchRows, RowTextsAreReadOrRefusedWithTheirReason)
{
    for (const RowCase& c : kRowCases) {
        SCOPED_TRACE(c.text);
        try {
            const PassListRow row = MakePassListRow(ParseRowText(c.text, "row"), QTime(10, 20, 31));
            ASSERT_NE(c.lane, nullptr) << "accepted";
            EXPECT_EQ(Text(row.lane), c.lane);
            const CalendarInstant at = DecodeValidOnStamp(row.validOnStamp);
            const QDateTime instant(DateOf(at), QTime(at.hour, at.minute, at.second));
            EXPECT_EQ(Text(instant.toString("yyyy-MM-dd hh:mm:ss")), c.instant);
            EXPECT_EQ(row.quantity(), c.quantity);
        } catch (const TessaryError& failure) {
            ASSERT_NE(c.error, nullptr) << Text(failure.text());
            EXPECT_EQ(ExitStatusOf(failure), kExitRefused);
            EXPECT_NE(failure.text().indexOf(QString::fromUtf8(c.error)), -1) << Text(failure.text());
        }
    }
}

struct CsvCase {
    const char* content;
    const char* rows;   // "lane quantity hh:mm:ss" per row, ";" between; nullptr: refused
    const char* error;
};

const CsvCase kCsvCases[] = {
    {"Lane,Date,Quantity\n03,2026-03-04,2\n", "03 2 10:20:30", nullptr},
    {"\xEF\xBB\xBFlane;date\r\n\r\n03,2026-03-04,08:00:00,2\r\n\r\n01,2026-03-05,1\r\n", "03 2 08:00:00;01 1 10:20:30",
     nullptr},
    {"\n\n\"04\",\"2026-03-04\",\"7\"\n", "04 7 10:20:30", nullptr},
    {"03,2026-03-04,2\nLane,Date,Quantity\n", nullptr, "line 2: \"Lane\" is not a lane"},
    {"Lane,Date,Quantity\n03,2026-03-04,2\n03,1979-03-04,2\n", nullptr, "line 3: Invalid argument to date encode"},
    {"Lane,Date,Quantity\n", "", nullptr},
    // As a spreadsheet saves it where the comma is the decimal mark.
    {"Lane;Date;Quantity\r\n03;2026-03-04;2\r\n05;2026-03-04;08:00:00;1\r\n", "03 2 10:20:30;05 1 08:00:00", nullptr},
};

TEST(BatchRows, CsvFilesGiveTheirRowsAndNameTheLineTheyRefuse)
{
    QTemporaryDir dir;
    for (const CsvCase& c : kCsvCases) {
        SCOPED_TRACE(c.content);
        const QString path = dir.filePath("rows.csv");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.content);
        file.close();
        try {
            QStringList got;
            for (const BatchRow& read : ReadRowsFile(path)) {
                const PassListRow row = MakePassListRow(read, QTime(10, 20, 30));
                const CalendarInstant at = DecodeValidOnStamp(row.validOnStamp);
                got << QStringLiteral("%1 %2 %3").arg(row.lane, row.quantityText,
                                                     QTime(at.hour, at.minute, at.second).toString("hh:mm:ss"));
            }
            ASSERT_NE(c.rows, nullptr) << "accepted";
            EXPECT_EQ(Text(got.join(';')), c.rows);
        } catch (const TessaryError& failure) {
            ASSERT_NE(c.error, nullptr) << Text(failure.text());
            EXPECT_EQ(ExitStatusOf(failure), kExitRefused);
            EXPECT_NE(failure.text().indexOf(path + " " + c.error), -1) << Text(failure.text());
        }
    }
}

struct FaceCase {
    const char* labelFont;
    const char* face;  // what the headings are drawn with; "" is no face
};

// The entries as the window's font picker lists them.
const QStringList kEntries = {"Arial", "DejaVu Sans", "Liberation Sans", "liberation sans", "Times New Roman",
                              "Ubuntu"};

const FaceCase kFaces[] = {
    {"Liberation Sans", "Liberation Sans"},  // exact first, though another entry folds to it
    {"liberation sans", "liberation sans"},
    {"LIBERATION SANS", "Liberation Sans"},  // else the first entry equal with A-Z folded
    {"UBUNTU", "Ubuntu"},
    {"ARIAL", "Arial"},                      // a Windows name is an entry of its own
    {"Times New Roman", "Times New Roman"},
    {"Ubüntu", ""},                          // only A to Z fold
    {"Helvetica", ""},                       // not an entry: no face
    {"", ""},
};

TEST(HeadingFace, LabelFontNamesFindTheFontPickersEntry)
{
    for (const FaceCase& c : kFaces) {
        SCOPED_TRACE(c.labelFont);
        EXPECT_EQ(Text(ResolveHeadingFace(QString::fromUtf8(c.labelFont), kEntries)), c.face);
    }
}

TEST(HeadingFace, TheSystemsOwnEntriesAreTheWindowsOnes)
{
    // fontconfig's metric aliases bind Arial to Liberation Sans (fonts-liberation).
    EXPECT_EQ(Text(SystemHeadingFace("ARIAL")), "Arial");
    EXPECT_EQ(Text(SystemHeadingFace("liberation serif")), "Liberation Serif");
    EXPECT_EQ(Text(SystemHeadingFace("Sans Serif")), "");
    EXPECT_EQ(Text(SystemHeadingFace("No Such Face 1234")), "");
}

}  // namespace
