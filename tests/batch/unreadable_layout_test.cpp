// Label values tessary-print takes that leave barcodes unreadable on the sheet:
// the run is refused before anything is written, naming the first such pass.
#include "app/printed_pdf.h"
#include "batch/batch_rows.h"
#include "batch/batch_tool.h"
#include "render/pass_walk.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct LabelCase {
    const char* key;          // one line of the example label changed
    const char* value;
    int unreadablePass;       // first pass whose barcode will not read; -1: all ten print
};

const LabelCase kLabelCases[] = {
    {"FontSize", "1.0", -1},       // the example as it stands
    {"FontSize", "7", 0},          // heading bands drawn after the barcode cover it
    {"top", "-100", 0},            // every row of cells above the page
    {"RowAdjust", "-10000", 2},    // the second row of cells and all after it above the page
    {"ColAdjust", "5000", 1},      // the second column beyond the page's right edge
    {"margin", "4.2", 0},          // cells so narrow that the next pass covers the barcode
    {"Cols", "2550", 0},           // every pass drawn over the one before
};

QString ExampleLabel(const char* key, const char* value)
{
    QFile example(QStringLiteral(TESSARY_TEST_DATA_DIR "/../../examples/passes_2x5_letter.lbl"));
    if (!example.open(QIODevice::ReadOnly))
        return QString();
    QStringList lines = QString::fromUtf8(example.readAll()).split(QLatin1Char('\n'));
    for (QString& line : lines) {
        if (line.startsWith(QLatin1String(key) + QLatin1Char('=')))
            line = QLatin1String(key) + QLatin1Char('=') + QLatin1String(value);
    }
    return lines.join(QLatin1Char('\n'));
}

TEST(TessaryPrint, ALayoutThatLeavesABarcodeUnreadableIsRefused)
{
    const QString rowText = QStringLiteral("03,2026-03-04,10");
    const PassListRow row = MakePassListRow(ParseRowText(rowText, "row"), QTime(8, 0));
    for (const LabelCase& c : kLabelCases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.value);
        QTemporaryDir dir;
        QFile label(dir.filePath("label.lbl"));
        const QString labelText = ExampleLabel(c.key, c.value);
        ASSERT_TRUE(labelText.contains(QLatin1String(c.key) + QLatin1Char('=') + QLatin1String(c.value)));
        ASSERT_TRUE(label.open(QIODevice::WriteOnly));
        label.write(labelText.toUtf8());
        label.close();
        const QString pdf = dir.filePath("out.pdf");

        const ToolRun run = RunTessaryPrint({"--label", label.fileName(), "--row", rowText, "--at", "08:00:00",
                                             "--quiet", "--pdf", pdf},
                                            ToolEnvironment(dir.filePath("no-scheduler")));
        if (c.unreadablePass < 0) {
            EXPECT_EQ(run.status, 0) << run.err.toStdString();
            QStringList expected = ExpectedBarcodes(row, 0, 10);
            expected.sort();
            EXPECT_EQ(ScanPdfPage(pdf, 1, dir.path()), expected);
            continue;
        }
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err.toStdString(),
                  QStringLiteral("tessary-print: The barcode of pass %1 cannot be read on the sheet (covered, cut or "
                                 "off the page). Fix the layout and retry.\n")
                      .arg(PassBarcodeText(row, c.unreadablePass).left(8))
                      .toStdString());
        EXPECT_FALSE(QFile::exists(pdf));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"label.lbl"});
    }
}

}  // namespace
