// The label files shipped in examples/ must load as written and print a full
// sheet whose every barcode scans.
#include "labelfile/label_file.h"
#include "labelfile/label_layout.h"
#include "passes/pass_serial.h"
#include "passes/valid_on_stamp.h"
#include "sheet/layout_settings.h"
#include "support/pdf_sheets.h"
#include "support/pdf_barcodes.h"
#include "support/tools.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <tuple>
#include <vector>

namespace {

const QString kExamplesDir = QStringLiteral(TESSARY_TEST_DATA_DIR "/../../examples");

struct ExampleSheet {
    const char* fileName;
    int cols;
    int rows;
};

const ExampleSheet kExamples[] = {
    {"passes_2x5_letter.lbl", 2, 5},
    {"passes_3x4_letter.lbl", 3, 4},
};

const char* const kTwentyKeys[] = {"Cols",   "Rows",   "RowAdjust", "ColAdjust", "Font",   "FontSize", "Type",
                                   "Center", "margin", "top",       "Line 1",    "Line 2", "Line 3",   "Line 4",
                                   "Line 5", "Bold 1", "Bold 2",    "Bold 3",    "Bold 4", "Bold 5"};

// Spreads cellCount passes over rows of different lanes (at most four passes a
// row), so that every barcode on the sheet is different.
std::vector<PassListRow> FullSheetRows(int cellCount, QStringList& barcodes)
{
    std::vector<PassListRow> rows;
    const quint32 stamp = EncodeValidOnStamp(QDate(2027, 3, 14), QTime(18, 5, 42));
    const CalendarInstant instant = DecodeValidOnStamp(stamp);
    int lane = 1;
    for (int left = cellCount; left > 0; ++lane) {
        const int quantity = std::min(left, 4);
        PassListRow row;
        row.lane = QStringLiteral("%1").arg(lane, 2, 10, QLatin1Char('0'));
        row.validOnText = QStringLiteral("March 14 2027");
        row.validOnStamp = stamp;
        row.quantityText = QString::number(quantity);
        for (int i = 0; i < quantity; ++i)
            barcodes << BarcodeText(PassNumberText(instant, i), row.lane);
        rows.push_back(row);
        left -= quantity;
    }
    return rows;
}

class ExampleLabelFile : public ::testing::TestWithParam<ExampleSheet> {
protected:
    QString path() const { return QDir(kExamplesDir).filePath(QLatin1String(GetParam().fileName)); }
};

TEST_P(ExampleLabelFile, HoldsTheTwentyKeysWithWindowsLineEnds)
{
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path().toStdString();
    const QByteArray bytes = file.readAll();
    ASSERT_TRUE(bytes.endsWith("\r\n"));
    const QList<QByteArray> lines = bytes.chopped(1).split('\n');
    ASSERT_EQ(lines.size(), 21);
    EXPECT_EQ(lines.front(), QByteArray("[Barcode]\r"));
    for (int i = 0; i < lines.size(); ++i)
        EXPECT_TRUE(lines[i].endsWith('\r')) << "line " << i + 1 << " ends without CR";
    for (int k = 0; k < 20; ++k)
        EXPECT_TRUE(lines[k + 1].startsWith(QByteArray(kTwentyKeys[k]) + '='))
            << "line " << k + 2 << ": " << lines[k + 1].toStdString();
}

TEST_P(ExampleLabelFile, PrintsAFullSheetThatScans)
{
    const ExampleSheet& sheet = GetParam();
    const LabelValues values = LoadLabelFile(path());
    ASSERT_TRUE(QFontDatabase::hasFamily(values.font)) << values.font.toStdString();

    const LayoutSettings settings = LabelLayoutSettings(values);
    ASSERT_EQ(settings.cols, sheet.cols);
    ASSERT_EQ(settings.rows, sheet.rows);
    EXPECT_GT(settings.leftMarginInches, 0.0);
    EXPECT_GT(settings.topMarginInches, 0.0);
    EXPECT_FALSE(settings.headingLines[0].isEmpty());

    QTemporaryDir dir;
    QStringList expected;
    const int cells = sheet.cols * sheet.rows;
    const std::vector<PassListRow> rows = FullSheetRows(cells, expected);
    const LabelHeadingStyle style(values.center, values.font);
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
    EXPECT_EQ(PrintPassesToPdf(pdf, 300, settings, rows, style, dir.filePath(QStringLiteral("code128.bmp"))), cells);

    const QString info = RunTool(QStringLiteral("pdfinfo"), {pdf});
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n")))) << info.toStdString();

    // Every line fits its pass: along each printed line of text (one column of
    // words down the sheet) no word runs into the next pass's, which a pass
    // would clip at both ends.
    const QString boxes = RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    const QRegularExpression word(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"[0-9.]+\" yMax=\"([0-9.]+)\">([^<]*)<"));
    std::map<int, std::vector<std::tuple<double, double, QString>>> columns;
    for (auto match = word.globalMatch(boxes); match.hasNext();) {
        const QRegularExpressionMatch m = match.next();
        columns[qRound(m.captured(1).toDouble())].emplace_back(m.captured(2).toDouble(), m.captured(3).toDouble(),
                                                              m.captured(4));
    }
    EXPECT_FALSE(columns.empty());
    for (auto& [x, words] : columns) {
        std::sort(words.begin(), words.end());
        for (size_t i = 1; i < words.size(); ++i)
            EXPECT_GE(std::get<0>(words[i]), std::get<1>(words[i - 1]))
                << std::get<2>(words[i - 1]).toStdString() << " runs into " << std::get<2>(words[i]).toStdString()
                << " at x " << x;
    }

    QStringList found = ScanPdfBarcodes(pdf, dir.path());
    found.sort();
    expected.sort();
    EXPECT_EQ(found, expected);
    EXPECT_EQ(expected.removeDuplicates(), 0);
    std::cout << sheet.fileName << ": passes printed: " << cells << ", decoded: " << found.size() << std::endl;
}

INSTANTIATE_TEST_SUITE_P(Examples, ExampleLabelFile, ::testing::ValuesIn(kExamples),
                         [](const ::testing::TestParamInfo<ExampleSheet>& info) {
                             return std::to_string(info.param.cols) + "x" + std::to_string(info.param.rows);
                         });

}  // namespace
