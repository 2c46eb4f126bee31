// The register keeps the printer correction each run drew through, and
// tessary-register find shows it; a register from before it was kept still reads.
#include "batch/batch_tool.h"
#include "register/register_schema.h"
#include "register/register_test_support.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString Find(const QString& barcode)
{
    QProcess tool;
    tool.start(QStringLiteral(TESSARY_REGISTER_EXE), {"find", barcode});
    tool.waitForFinished(60000);
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    return QString::fromUtf8(tool.readAllStandardOutput());
}

struct RecordedCorrectionCase {
    const char* what;
    QStringList options;
    int recordsFound;
    const char* shown;  // in each record's line of the run that drew through it
};

TEST(RunCorrectionRecord, FindShowsTheCorrectionOfEachRun)
{
    QTemporaryDir dir;
    const RegisterLocation location = ParseRegisterLocation(dir.filePath("passes.sqlite"));
    const ScopedEnv registerOn{"TESSARY_REGISTER", location.file};
    const QString label = dir.filePath("2x2.lbl");
    WriteLabelFile(label, 2, 2);
    const QString barcode = QStringLiteral("4949661407");
    const RecordedCorrectionCase runs[] = {
        {"given", {"--correction", "0.060,-0.035,100.40,99.70"}, 1, " correction 0.060,-0.035,100.40,99.70, "},
        {"none for a PDF", {"--allow-reprint"}, 2, " correction 0.000,0.000,100.00,100.00, "},
    };
    for (const RecordedCorrectionCase& c : runs) {
        SCOPED_TRACE(c.what);
        const ToolRun run = RunTessaryPrint(QStringList{"--label", label, "--row", "07,2026-12-08T09:30:14,1", "--pdf",
                                                        dir.filePath("run.pdf"), "--quiet"}
                                                + c.options,
                                            ToolEnvironment(dir.filePath("no-scheduler")));
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        const QString found = Find(barcode);
        EXPECT_EQ(found.count(" run "), c.recordsFound) << found.toStdString();
        EXPECT_TRUE(found.contains(c.shown)) << found.toStdString();
    }
    // As a register of the program before: no column, no correction shown.
    ASSERT_EQ(ExecOnRegister(location, {"ALTER TABLE runs DROP COLUMN correction",
                                        QStringLiteral("UPDATE register_schema SET version = %1")
                                            .arg(kRunCorrectionSchemaVersion - 1)}),
              "");
    const QString older = Find(barcode);
    EXPECT_EQ(older.count(" run "), 2) << older.toStdString();
    EXPECT_FALSE(older.contains("correction")) << older.toStdString();
}

}  // namespace
