// Print to File onto a file system that is full, or fills up during the run:
// the error box names the file, nothing is left there (an earlier file stays
// byte for byte), and the next run prints every pass.
#include "support/main_window_fixture.h"
#include "support/tools.h"
#include "support/printed_pdf.h"
#include "output/staged_pdf.h"
#include "support/small_tmpfs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {


QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList Entries(const QString& dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

struct FullDiskRun {
    const char* name;
    qint64 tmpfsBytes;
    bool fullBeforeTheRun;
    const char* earlierPasses;  // printed to the same file first; "" for none
    const char* passes;
    int sheets;                 // on sheets of 2 x 5
};

// A run of 4 passes makes a PDF of about 14 KB, each further pass about 500
// bytes; the quantity box takes at most 99.
const FullDiskRun kFullDiskRuns[] = {
    {"FullBeforeTheRun", 1 << 20, true, "", "12", 2},
    {"FillsUpDuringTheRun", 32 << 10, false, "", "99", 10},
    {"OverAnEarlierFile", 24 << 10, false, "4", "99", 10},
};

class PrintToFullDisk : public MainWindowTest {
protected:
    // Prints the passes in the list to pdf; the error box's text, if one shows.
    QString Print(const QString& pdf, ModalScript& script)
    {
        QString error;
        script.Expect("printDialog", PrintToPdf(pdf));
        script.Expect("errorBox", AcceptMessage(&error));
        Click("btnPrint");
        return error;
    }

    void ExpectEveryPass(const QString& pdf, int sheets, const QString& workDir)
    {
        EXPECT_EQ(CompletePdfPageCount(ReadAll(pdf)), sheets);
        EXPECT_EQ(PdfPageCount(pdf), sheets);
        const int quantity = window->passList().EntryRow(1).quantity();
        QStringList first = ExpectedBarcodes(window->passList().EntryRow(1), 0, 10);
        QStringList last = ExpectedBarcodes(window->passList().EntryRow(1), (sheets - 1) * 10,
                                            quantity - (sheets - 1) * 10);
        first.sort();
        last.sort();
        EXPECT_EQ(Joined(ScanPdfPage(pdf, 1, workDir)), Joined(first));
        EXPECT_EQ(Joined(ScanPdfPage(pdf, sheets, workDir)), Joined(last));
    }
};

TEST_F(PrintToFullDisk, ShowsTheErrorLeavesNoFileAndTheNextRunPrintsEveryPass)
{
    for (const FullDiskRun& run : kFullDiskRuns) {
        SCOPED_TRACE(run.name);
        SmallTmpfs disk(run.tmpfsBytes);
        if (!disk.Error().isEmpty())
            GTEST_SKIP() << disk.Error().toStdString();
        const QString pdf = disk.FilePath("run.pdf");
        QByteArray earlier;
        if (*run.earlierPasses) {
            Click("btnClear");
            AddRow("04", QDate(2026, 9, 1), run.earlierPasses);
            SetSheet("2", "5");
            ModalScript first;
            EXPECT_EQ(Print(pdf, first), QString());
            earlier = ReadAll(pdf);
            ASSERT_EQ(CompletePdfPageCount(earlier), 1);
        }
        if (run.fullBeforeTheRun) {
            ASSERT_TRUE(disk.Fill());
        }
        const QStringList before = Entries(disk.Path());

        Click("btnClear");
        AddRow("07", QDate(2026, 9, 2), run.passes);
        SetSheet("2", "5");
        ASSERT_EQ(QString::number(window->passList().EntryRow(1).quantity()), run.passes);
        ModalScript failing;
        EXPECT_EQ(Print(pdf, failing), "Unable to write to " + pdf + ".");
        ExpectEveryDialogAnswered(failing);
        EXPECT_EQ(PrintCaption(), QStringLiteral("&Print"));
        EXPECT_EQ(Entries(disk.Path()), before) << "the run left a file of its own";
        if (!earlier.isEmpty()) {
            EXPECT_EQ(ReadAll(pdf), earlier) << "the earlier file changed";
        }

        QTemporaryDir healthy;
        ModalScript next;
        EXPECT_EQ(Print(healthy.filePath("run.pdf"), next), QString());
        EXPECT_EQ(next.Pending(), 1) << "only the error box is left unused";
        ExpectEveryPass(healthy.filePath("run.pdf"), run.sheets, healthy.path());

        if (run.fullBeforeTheRun) {
            disk.Unfill();
            ModalScript freed;
            EXPECT_EQ(Print(pdf, freed), QString()) << "space freed on the same file system";
            ExpectEveryPass(pdf, run.sheets, healthy.path());
        }
    }
}

}  // namespace
