// Label values that leave barcodes readable, readable only along a strip of
// their bars, or unreadable on the sheet, through tessary-print.
#include "support/printed_pdf.h"
#include "batch/batch_rows.h"
#include "support/batch_tool.h"
#include "draw/draw_pass.h"
#include "support/planned_run.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

enum class Verdict { Prints, PartlyRead, Refused };

struct LabelCase {
    const char* example;  // under examples/
    QStringList changes;  // KEY=VALUE lines of the example replaced
    Verdict verdict;
};

const LabelCase kLabelCases[] = {
    {"passes_2x5_letter.lbl", {}, Verdict::Prints},
    {"passes_3x4_letter.lbl", {}, Verdict::Prints},
    {"passes_3x4_letter.lbl", {"RowAdjust=400"}, Verdict::Prints},
    // A heading band covers a strip of the bars' length; the rest reads.
    {"passes_3x4_letter.lbl", {"Cols=4"}, Verdict::PartlyRead},
    {"passes_3x4_letter.lbl", {"Cols=4", "Rows=4"}, Verdict::PartlyRead},
    {"passes_3x4_letter.lbl", {"Cols=3", "FontSize=2"}, Verdict::PartlyRead},
    {"passes_3x4_letter.lbl", {"FontSize=3.5"}, Verdict::PartlyRead},
    // Nothing of the bars left that reads.
    {"passes_3x4_letter.lbl", {"FontSize=4"}, Verdict::Refused},
    {"passes_3x4_letter.lbl", {"Rows=8"}, Verdict::Refused},
    {"passes_3x4_letter.lbl", {"Rows=10"}, Verdict::Refused},
    {"passes_3x4_letter.lbl", {"top=-100"}, Verdict::Refused},
    // Cells so narrow that the next pass's barcode lies across this one's bars:
    // a scanner laid along them reads the other pass.
    {"passes_3x4_letter.lbl", {"margin=3"}, Verdict::Refused},
    {"passes_3x4_letter.lbl", {"margin=3.5"}, Verdict::Refused},
    {"passes_3x4_letter.lbl", {"margin=4"}, Verdict::Refused},
};

QString ChangedExample(const LabelCase& c)
{
    QFile example(QStringLiteral(TESSARY_TEST_DATA_DIR "/../../examples/") + QLatin1String(c.example));
    if (!example.open(QIODevice::ReadOnly))
        return QString();
    QStringList lines = QString::fromUtf8(example.readAll()).split(QLatin1Char('\n'));
    for (QString& line : lines) {
        for (const QString& change : c.changes) {
            if (line.startsWith(change.section(QLatin1Char('='), 0, 0) + QLatin1Char('=')))
                line = change;
        }
    }
    return lines.join(QLatin1Char('\n'));
}

// Whatever the check decides, a real reader agrees: what prints scans, pass
// for pass; what is refused writes nothing.
TEST(TessaryPrint, PrintsRefusesOrAsksAboutALayoutAsAReaderWouldReadIt)
{
    const QString rowText = QStringLiteral("03,2026-03-04,10");
    const PassListRow row = MakePassListRow(ParseRowText(rowText, "row"), QTime(8, 0));
    QStringList expected = ExpectedBarcodes(row, 0, 10);
    expected.sort();
    for (const LabelCase& c : kLabelCases) {
        SCOPED_TRACE(std::string(c.example) + " " + c.changes.join(' ').toStdString());
        QTemporaryDir dir;
        QFile label(dir.filePath("label.lbl"));
        ASSERT_TRUE(label.open(QIODevice::WriteOnly));
        label.write(ChangedExample(c).toUtf8());
        label.close();
        const QString pdf = dir.filePath("out.pdf");
        const QStringList arguments = {"--label", label.fileName(), "--row", rowText, "--at", "08:00:00",
                                       "--quiet", "--pdf", pdf};
        const QProcessEnvironment environment = ToolEnvironment(dir.filePath("no-scheduler"));

        const ToolRun run = RunTessaryPrint(arguments, environment);
        if (c.verdict == Verdict::Prints) {
            EXPECT_EQ(run.status, 0) << run.err.toStdString();
            EXPECT_EQ(ScanPdfPage(pdf, 1, dir.path()), expected);
            continue;
        }
        EXPECT_EQ(run.status, 1);
        EXPECT_FALSE(QFile::exists(pdf));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"label.lbl"});
        const QString first = RowPassBarcode(row, 0).left(8);
        const ToolRun anyway = RunTessaryPrint(arguments + QStringList{"--allow-partly-covered"}, environment);
        if (c.verdict == Verdict::Refused) {
            EXPECT_EQ(run.err.toStdString(),
                      QStringLiteral("tessary-print: The barcode of pass %1 cannot be read on the sheet (covered, "
                                     "cut or off the page). Fix the layout and retry.\n")
                          .arg(first)
                          .toStdString());
            EXPECT_EQ(anyway.status, 1);
            EXPECT_FALSE(QFile::exists(pdf));
            continue;
        }
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("tessary-print: The barcodes of passes %1, ").arg(first)))
            << run.err.toStdString();
        EXPECT_TRUE(run.err.endsWith(QStringLiteral("--allow-partly-covered prints them anyway\n")));
        EXPECT_EQ(anyway.status, 0) << anyway.err.toStdString();
        EXPECT_EQ(ScanPdfPage(pdf, 1, dir.path()), expected);
    }
}

}  // namespace
