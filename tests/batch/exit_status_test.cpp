// tessary-print as a script sees it: the exit status, the message on standard
// error, and what is left at the output path.
#include "app/printed_pdf.h"
#include "batch/batch_tool.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

std::string Text(const QString& text) { return text.toStdString(); }

// Placeholders: %LABEL% a 2 x 2 label file, %FLAT% one with no rows of passes,
// %CSV% a rows file with a bad third line, %DIR% the case's output folder,
// %PDF% = %DIR%/out.pdf, which holds an earlier file before every failing case.
struct ExitCase {
    const char* name;
    QStringList arguments;
    int status;
    const char* err;  // standard error in full
    int pages;        // pages of the PDF written; 0: the earlier file is left as it was
};

const QString kRow = QStringLiteral("03,2026-03-04,4");

const ExitCase kExitCases[] = {
    {"one sheet", {"--label", "%LABEL%", "--row", kRow, "--at", "08:00:00", "--pdf", "%PDF%"}, 0, "", 1},
    {"progress", {"--label", "%LABEL%", "--row", "03,2026-03-04,10", "--pdf", "%PDF%"}, 0,
     "sheet 1 of 3\nsheet 2 of 3\nsheet 3 of 3\n", 3},
    {"progress over the range", {"--label", "%LABEL%", "--row", "03,2026-03-04,10", "--pages", "2-7", "--pdf", "%PDF%"},
     0, "sheet 1 of 2\nsheet 2 of 2\n", 2},
    {"quiet", {"--label", "%LABEL%", "--row", "03,2026-03-04,10", "--quiet", "--pdf", "%PDF%"}, 0, "", 3},
    {"start cell", {"--label", "%LABEL%", "--row", kRow, "--start-cell", "4", "--quiet", "--pdf", "%PDF%"}, 0, "", 2},
    {"duplicates allowed", {"--label", "%LABEL%", "--row", kRow, "--row", kRow, "--at", "08:00:00",
                            "--allow-duplicates", "--quiet", "--pdf", "%PDF%"}, 0, "", 2},

    {"unusable layout", {"--label", "%FLAT%", "--row", kRow, "--pdf", "%PDF%"}, 1,
     "tessary-print: Invalid value, fix and retry...\n", 0},
    {"dated 1979", {"--label", "%LABEL%", "--row", "03,1979-12-31,4", "--pdf", "%PDF%"}, 1,
     "tessary-print: row \"03,1979-12-31,4\": Invalid argument to date encode\n", 0},
    {"dated 2108", {"--label", "%LABEL%", "--row", kRow, "--row", "03,2108-01-01T08:00:00,4", "--pdf", "%PDF%"}, 1,
     "tessary-print: row \"03,2108-01-01T08:00:00,4\": Invalid argument to date encode\n", 0},
    {"shared barcodes", {"--label", "%LABEL%", "--row", kRow, "--row", "03,2026-03-04T08:00:02,4", "--at",
                         "08:00:00", "--pdf", "%PDF%"}, 1,
     "tessary-print: 2 passes of this run would carry the same barcode as another pass (rows 1 and 2, lane 03); "
     "--allow-duplicates prints them anyway\n", 0},
    {"range beyond the last sheet", {"--label", "%LABEL%", "--row", "03,2026-03-04,10", "--pages", "4-5", "--pdf",
                                     "%PDF%"}, 1,
     "tessary-print: Nothing to print: the page range holds no sheet of this run.\n", 0},
    {"no passes", {"--label", "%LABEL%", "--row", "03,2026-03-04,0", "--pdf", "%PDF%"}, 1,
     "tessary-print: Nothing to print: no row has a quantity.\n", 0},
    {"start cell beyond the sheet", {"--label", "%LABEL%", "--row", kRow, "--start-cell", "5", "--pdf", "%PDF%"}, 1,
     "tessary-print: --start-cell 5 is beyond the 4 cells of a sheet\n", 0},
    {"unknown lane", {"--label", "%LABEL%", "--row", "08,2026-03-04,4", "--pdf", "%PDF%"}, 1,
     "tessary-print: row \"08,2026-03-04,4\": \"08\" is not a lane (01 02 03 04 05 06 07 09)\n", 0},
    {"bad CSV line", {"--label", "%LABEL%", "--rows", "%CSV%", "--pdf", "%PDF%"}, 1,
     "tessary-print: %CSV% line 3: \"four\" is not a quantity of passes\n", 0},

    {"nothing given", {}, 2, "tessary-print: --label is required (see tessary-print --help)\n", 0},
    {"unknown option", {"--label", "%LABEL%", "--row", kRow, "--pdf", "%PDF%", "--colour"}, 2,
     "tessary-print: Unknown option 'colour' (see tessary-print --help)\n", 0},
    {"no rows", {"--label", "%LABEL%", "--pdf", "%PDF%"}, 2,
     "tessary-print: no rows: give --row or --rows (see tessary-print --help)\n", 0},
    {"two outputs", {"--label", "%LABEL%", "--row", kRow, "--pdf", "%PDF%", "--printer", "PDF"}, 2,
     "tessary-print: give either --pdf or --printer (see tessary-print --help)\n", 0},
    {"bad range", {"--label", "%LABEL%", "--row", kRow, "--pdf", "%PDF%", "--pages", "3-1"}, 2,
     "tessary-print: --pages \"3-1\" is not a range of sheets such as 2-5 (see tessary-print --help)\n", 0},
    {"bad time", {"--label", "%LABEL%", "--row", kRow, "--pdf", "%PDF%", "--at", "8:00"}, 2,
     "tessary-print: --at \"8:00\" is not a time of day hh:mm:ss (see tessary-print --help)\n", 0},
    {"cell 0", {"--label", "%LABEL%", "--row", kRow, "--pdf", "%PDF%", "--start-cell", "0"}, 2,
     "tessary-print: --start-cell \"0\" is not a cell number from 1 (see tessary-print --help)\n", 0},
    {"missing label file", {"--label", "%DIR%/none.lbl", "--row", kRow, "--pdf", "%PDF%"}, 2,
     "tessary-print: Cannot open file %DIR%/none.lbl\n", 0},
    {"missing rows file", {"--label", "%LABEL%", "--rows", "%DIR%/none.csv", "--pdf", "%PDF%"}, 2,
     "tessary-print: Cannot open file %DIR%/none.csv\n", 0},

    {"folder missing", {"--label", "%LABEL%", "--row", kRow, "--pdf", "%DIR%/gone/out.pdf"}, 3,
     "tessary-print: Unable to write to %DIR%/gone/out.pdf\n", 0},
    {"no such queue", {"--label", "%LABEL%", "--row", kRow, "--printer", "NoSuchQueue"}, 3,
     "tessary-print: No printer named NoSuchQueue\n", 0},
};

const QByteArray kEarlierPdf = "%PDF-1.4 an earlier run's file\n";

QString Filled(QString text, const QTemporaryDir& inputs, const QString& dir)
{
    return text.replace("%LABEL%", inputs.filePath("2x2.lbl"))
        .replace("%FLAT%", inputs.filePath("flat.lbl"))
        .replace("%CSV%", inputs.filePath("rows.csv"))
        .replace("%PDF%", dir + "/out.pdf")
        .replace("%DIR%", dir);
}

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(TessaryPrint, EachOutcomeHasItsExitStatusAndMessage)
{
    QTemporaryDir inputs;
    WriteLabelFile(inputs.filePath("2x2.lbl"), 2, 2);
    WriteLabelFile(inputs.filePath("flat.lbl"), 2, 0);
    QFile csv(inputs.filePath("rows.csv"));
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write("Lane,Valid on,Quantity\n03,2026-03-04,4\n03,2026-03-05,four\n");
    csv.close();
    const QProcessEnvironment environment = ToolEnvironment(inputs.filePath("no-scheduler"));

    for (const ExitCase& c : kExitCases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir out;
        const QString dir = out.path();
        QStringList arguments;
        for (const QString& argument : c.arguments)
            arguments << Filled(argument, inputs, dir);
        if (c.pages == 0) {
            QFile earlier(dir + "/out.pdf");
            ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
            earlier.write(kEarlierPdf);
        }

        const ToolRun run = RunTessaryPrint(arguments, environment);
        EXPECT_EQ(run.status, c.status) << Text(run.err);
        EXPECT_EQ(Text(run.err), Text(Filled(c.err, inputs, dir)));
        if (c.pages > 0) {
            EXPECT_EQ(PdfPageCount(dir + "/out.pdf"), c.pages);
        } else {
            EXPECT_EQ(FileBytes(dir + "/out.pdf"), kEarlierPdf);
        }
        // Neither a staged PDF nor anything else is left beside the output.
        EXPECT_EQ(QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList{"out.pdf"});
    }
}

TEST(TessaryPrint, HelpGoesToStandardOutput)
{
    const ToolRun run = RunTessaryPrint({"--help"}, ToolEnvironment("/nonexistent"));
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.out.startsWith("Usage: tessary-print --label FILE.lbl")) << Text(run.out);
    EXPECT_TRUE(run.out.contains("Exit status: 0 printed, 1 invalid values")) << Text(run.out);
    EXPECT_EQ(Text(run.err), "");
}

TEST(TessaryPrint, AnInterruptedRunLeavesTheEarlierFileAndNothingElse)
{
    QTemporaryDir inputs;
    WriteLabelFile(inputs.filePath("2x2.lbl"), 2, 2);
    QTemporaryDir out;
    const QString pdf = out.filePath("out.pdf");
    QFile earlier(pdf);
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write(kEarlierPdf);
    earlier.close();

    QProcess tool;
    tool.setProcessEnvironment(ToolEnvironment(inputs.filePath("no-scheduler")));
    tool.start(TESSARY_PRINT_EXE, {"--label", inputs.filePath("2x2.lbl"), "--row", "03,2026-03-04,20000", "--pdf", pdf});
    ASSERT_TRUE(tool.waitForStarted());
    // The run has begun its document once its staged file sits beside the output.
    const auto staged = [&out] { return QDir(out.path()).entryList(QDir::Files | QDir::Hidden).size() > 1; };
    ASSERT_TRUE(QTest::qWaitFor(staged, 20000));
    tool.terminate();
    ASSERT_TRUE(tool.waitForFinished(60000));

    EXPECT_EQ(tool.exitCode(), 3);
    const QString err = QString::fromUtf8(tool.readAllStandardError());
    EXPECT_TRUE(err.endsWith("tessary-print: Interrupted; nothing was printed\n")) << Text(err.right(200));
    EXPECT_EQ(FileBytes(pdf), kEarlierPdf);
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"out.pdf"});
}

}  // namespace
