// The PDF bytes of canonical runs, as the window's Print to File and as
// tessary-print write them, pinned by hash: a change to how a run is planned
// or walked must not move a single byte. Runs with QT_HASH_SEED=0 (the test
// environment sets it) and without the creation date, the one thing that
// differs from run to run.
#include "batch/batch_tool.h"
#include "support/twelve_pass_run.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString PdfHash(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.readAll();
    static const QRegularExpression creationDate(QStringLiteral("/CreationDate \\(D:[^)]*\\)"));
    bytes = QString::fromLatin1(bytes).remove(creationDate).toLatin1();
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().left(16));
}

struct WindowCase {
    const char* what;
    const char* quantity;
    int startCell;
    bool outlines;
    RunCopies copies;
    const char* hash;
};

const WindowCase kWindowRuns[] = {
    {"one sheet", "4", 1, false, {}, "f6d6bc35e3d28b08"},
    {"three sheets", "12", 1, false, {}, "f7ea79d9272e1aea"},
    {"start cell 4", "12", 4, false, {}, "3c31c4865da0cb9a"},
    {"outlines", "4", 1, true, {}, "764abd754dcbbaba"},
    {"two copies collated", "8", 1, false, {2, true}, "f4850a3e1dc7416c"},
    {"two copies not collated", "8", 1, false, {2, false}, "260273679138a994"},
};

TEST(GoldenOutput, WindowPrintToFile)
{
    ASSERT_EQ(qgetenv("QT_HASH_SEED"), "0");
    for (const WindowCase& c : kWindowRuns) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        LeftAlignedSans style;
        PrintRunRequest request = TwelvePassesOnTwoByTwo(style, dir.filePath("code128.bmp"));
        request.rows[0].quantityText = c.quantity;
        request.startCell = c.startCell;
        request.outlineCells = c.outlines;
        PrintToPdfFile(request, dir.filePath("run.pdf"), c.copies);
        EXPECT_EQ(PdfHash(dir.filePath("run.pdf")), c.hash);
    }
}

struct BatchCase {
    const char* what;
    QStringList arguments;
    const char* hash;
};

TEST(GoldenOutput, TessaryPrintToFile)
{
    const BatchCase runs[] = {
        {"one sheet", {"--row", "07,2026-12-08T09:30:14,4"}, "403bb6e31227d9c8"},
        {"three sheets, start cell 4, outlines",
         {"--row", "07,2026-12-08T09:30:14,9", "--start-cell", "4", "--outline"},
         "3fc6af03e63a5f38"},
    };
    QTemporaryDir dir;
    const QString label = dir.filePath("passes.lbl");
    WriteLabelFile(label, 2, 2);
    for (const BatchCase& c : runs) {
        SCOPED_TRACE(c.what);
        const QString pdf = dir.filePath("run.pdf");
        const ToolRun run = RunTessaryPrint(QStringList{"--label", label, "--pdf", pdf, "--quiet"} + c.arguments,
                                            ToolEnvironment(dir.filePath("no-scheduler")));
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_EQ(PdfHash(pdf), c.hash);
    }
}

}  // namespace
