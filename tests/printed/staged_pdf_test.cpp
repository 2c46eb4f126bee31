// The run's own PDF: whole or refused, and moved into place without harm to
// what stood there.
#include "common/tessary_error.h"
#include "support/tools.h"
#include "output/staged_pdf.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>
#include <unistd.h>

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace {

// Three pages, each with an image of noise, as large as a few sheets of barcodes.
QByteArray ThreePagePdf()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("three.pdf");
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setResolution(300);
        QPainter painter(&printer);
        QRandomGenerator noise(7);
        for (int page = 0; page < 3; ++page) {
            if (page > 0)
                printer.newPage();
            QImage image(300, 300, QImage::Format_Grayscale8);
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x)
                    image.scanLine(y)[x] = uchar(noise.bounded(256));
            }
            painter.drawImage(QRect(100, 100, 600, 600), image);
            painter.drawText(100, 800, QStringLiteral("page %1").arg(page + 1));
        }
    }
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct PdfCut {
    const char* name;
    std::function<QByteArray(const QByteArray&)> cut;
    int pages;
};

const PdfCut kCuts[] = {
    {"Whole", [](const QByteArray& pdf) { return pdf; }, 3},
    {"HalfWritten", [](const QByteArray& pdf) { return pdf.left(pdf.size() / 2); }, -1},
    {"FirstBlockOnly", [](const QByteArray& pdf) { return pdf.left(4096); }, -1},
    {"EndOfFileMarkerMissing", [](const QByteArray& pdf) { return pdf.left(pdf.lastIndexOf("%%EOF")); }, -1},
    // A block lost in the middle while the end was still written.
    {"BlockLostInTheMiddle",
     [](const QByteArray& pdf) { return pdf.left(pdf.size() / 3) + pdf.mid(pdf.size() / 3 + 4096); }, -1},
    {"FewBytesLostInTheMiddle",
     [](const QByteArray& pdf) { return pdf.left(pdf.size() / 3) + pdf.mid(pdf.size() / 3 + 100); }, -1},
    // A write that never reached the disk, leaving a hole of zeros behind.
    {"ObjectLeftAsZeros",
     [](const QByteArray& pdf) {
         QByteArray holed = pdf;
         const qsizetype object = pdf.indexOf("\n5 0 obj") + 1;
         return object > 0 ? holed.replace(object, 512, QByteArray(512, '\0')) : QByteArray();
     },
     -1},
    {"HeadThenTrailer",
     [](const QByteArray& pdf) { return pdf.left(pdf.size() / 4) + pdf.mid(pdf.lastIndexOf("xref")); }, -1},
    {"Empty", [](const QByteArray&) { return QByteArray(); }, -1},
    {"NotAPdf", [](const QByteArray& pdf) { return "GIF89a" + pdf.mid(5); }, -1},
};

TEST(CompletePdfPageCount, CountsOnlyAWholeFile)
{
    const QByteArray pdf = ThreePagePdf();
    ASSERT_GT(pdf.size(), 3 * 4096 * 3) << "the noise should not compress";
    for (const PdfCut& cut : kCuts) {
        SCOPED_TRACE(cut.name);
        EXPECT_EQ(CompletePdfPageCount(cut.cut(pdf)), cut.pages);
    }
}

mode_t NewFileMode()
{
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

mode_t ModeOf(const QString& path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

struct Target {
    const char* name;
    // Prepares the folder and gives the path the operator chose.
    std::function<QString(const QDir& dir)> prepare;
    const char* error;      // "" when the run's file takes the place
    QString changedFile;    // where the new sheets end up, relative to the folder
    mode_t mode;            // permissions the file has afterwards; 0: a new file's
};

const Target kTargets[] = {
    {"NewFile", [](const QDir& dir) { return dir.filePath("new.pdf"); }, "", "new.pdf", 0},
    {"PrivateFileKeepsItsPermissions",
     [](const QDir& dir) {
         WriteFile(dir.filePath("old.pdf"), "old", 0600);
         return dir.filePath("old.pdf");
     },
     "", "old.pdf", 0600},
    {"SharedFileKeepsItsPermissions",
     [](const QDir& dir) {
         WriteFile(dir.filePath("old.pdf"), "old", 0664);
         return dir.filePath("old.pdf");
     },
     "", "old.pdf", 0664},
    {"LinkStaysALinkToTheNewFile",
     [](const QDir& dir) {
         dir.mkdir("real");
         WriteFile(dir.filePath("real/sheets.pdf"), "old", 0640);
         QFile::link(dir.filePath("real/sheets.pdf"), dir.filePath("link.pdf"));
         return dir.filePath("link.pdf");
     },
     "", "real/sheets.pdf", 0640},
    {"Folder",
     [](const QDir& dir) {
         dir.mkdir("folder.pdf");
         return dir.filePath("folder.pdf");
     },
     "Unable to write to %1", "", 0},
    // A named pipe stands for any file that is not a plain one: a rename would replace it.
    {"NamedPipe",
     [](const QDir& dir) {
         ::mkfifo(QFile::encodeName(dir.filePath("pipe.pdf")).constData(), 0644);
         return dir.filePath("pipe.pdf");
     },
     "Unable to write to %1", "", 0},
    {"MissingFolder", [](const QDir& dir) { return dir.filePath("missing/run.pdf"); }, "Unable to write to %1",
     "", 0},
    {"NoName", [](const QDir&) { return QString(); }, "Unable to write to %1", "", 0},
};

TEST(StagedPdf, TakesThePlaceOfAFileOnlyAndKeepsItsPermissions)
{
    const QByteArray pdf = ThreePagePdf();
    for (const Target& target : kTargets) {
        SCOPED_TRACE(target.name);
        QTemporaryDir tmp;
        const QDir dir(tmp.path());
        const QString chosen = target.prepare(dir);
        const QStringList before = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        const bool wasPlainFile = QFileInfo(chosen).isFile();
        try {
            StagedPdf staged = StagedPdf::BesideFile(chosen);
            QFile file;
            ASSERT_TRUE(file.open(staged.handle(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle));
            file.write(pdf);
            file.close();
            staged.CheckComplete(3);
            staged.MoveIntoPlace();
            EXPECT_STREQ("", target.error);
        } catch (const TessaryError& error) {
            EXPECT_EQ(QString(error.what()), QString(target.error).arg(chosen));
        }
        QStringList expected = before;
        const QString topEntry = target.changedFile.section('/', 0, 0);
        if (!topEntry.isEmpty() && !expected.contains(topEntry))
            expected << topEntry;
        expected.sort();
        QStringList after = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        after.sort();
        EXPECT_EQ(after, expected) << "no staging file is left";
        if (*target.error) {
            EXPECT_EQ(QFileInfo(chosen).isFile(), wasPlainFile) << "what stood there is still there";
        }
        if (!target.changedFile.isEmpty()) {
            const QString changed = dir.filePath(target.changedFile);
            QFile file(changed);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_EQ(file.readAll(), pdf);
            EXPECT_EQ(ModeOf(changed), target.mode ? target.mode : NewFileMode());
            EXPECT_EQ(QFileInfo(chosen).isSymLink(), QString(target.name).startsWith("Link"));
        }
    }
}

TEST(StagedPdf, AFileWithFewerPagesThanDrawnIsRefusedAndRemoved)
{
    const QByteArray pdf = ThreePagePdf();
    QTemporaryDir tmp;
    const QString chosen = tmp.filePath("run.pdf");
    try {
        StagedPdf staged = StagedPdf::BesideFile(chosen);
        // Unnamed while it is written: nothing stands beside the output.
        EXPECT_EQ(staged.path(), QString());
        EXPECT_TRUE(QDir(tmp.path()).isEmpty());
        QFile file;
        ASSERT_TRUE(file.open(staged.handle(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle));
        file.write(pdf);
        file.close();
        staged.CheckComplete(4);
        FAIL() << "three pages passed for four";
    } catch (const TessaryError& error) {
        EXPECT_EQ(QString(error.what()), "Unable to write to " + chosen);
    }
    EXPECT_TRUE(QDir(tmp.path()).isEmpty());
}

}  // namespace

namespace {

TEST(StagedPdf, LeftoversOfDeadRunsAreRemovedAndThoseOfLiveOnesKept)
{
    QTemporaryDir tmp;
    const QDir dir(tmp.path());
    // The id of a child that has ended and been waited for names no process.
    QProcess child;
    child.start("cat");
    ASSERT_TRUE(child.waitForStarted());
    const QString deadPid = QString::number(child.processId());
    child.closeWriteChannel();
    ASSERT_TRUE(child.waitForFinished());
    // pid 1 always runs.
    WriteFile(dir.filePath(".tessary." + deadPid + ".k2j.run.pdf"), "partial", 0644);
    WriteFile(dir.filePath(".tessary.1.k2j.run.pdf"), "live", 0644);
    WriteFile(dir.filePath(".tessary.notes"), "not a run's", 0644);
    {
        StagedPdf staged = StagedPdf::BesideFile(dir.filePath("run.pdf"));
        QStringList left = dir.entryList(QDir::Files | QDir::Hidden);
        left.removeAll(QFileInfo(staged.path()).fileName());
        left.sort();
        EXPECT_EQ(left, (QStringList{".tessary.1.k2j.run.pdf", ".tessary.notes"}));
    }

    QTemporaryDir temporary;
    const QDir temp(temporary.path());
    temp.mkpath("tessary-run-" + deadPid + "-a1B2c3/inner");
    WriteFile(temp.filePath("tessary-run-" + deadPid + "-a1B2c3/passes.pdf"), "partial", 0600);
    temp.mkpath("tessary-run-1-d4E5f6");
    qputenv("TMPDIR", QFile::encodeName(temporary.path()));
    {
        StagedPdf staged = StagedPdf::InTemporaryFolder();
        EXPECT_TRUE(staged.path().startsWith(temp.filePath("tessary-run-" + QString::number(getpid()) + "-")));
        QStringList left = temp.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        left.removeAll(QFileInfo(staged.path()).dir().dirName());
        left.removeIf([](const QString& name) { return name.startsWith("runtime-"); });
        EXPECT_EQ(left, QStringList{"tessary-run-1-d4E5f6"});
    }
    qunsetenv("TMPDIR");
}

}  // namespace
