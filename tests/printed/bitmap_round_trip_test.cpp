#include "barcode/bitmap_round_trip.h"
#include "support/tools.h"

#include "barcode/locked_bitmap_file.h"
#include "barcode/print_code128.h"
#include "barcode/read_back_code128.h"
#include "common/tessary_error.h"
#include "draw/draw_code128.h"
#include "support/recording_surface.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

ino_t InodeOf(const QString& path)
{
    struct stat st;
    return lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

// What may stand at the bitmap path besides a file of ours.
enum class Planted { SymlinkToFile, DanglingSymlink, SymlinkToFolder, HardLink, Folder, Fifo };

struct PlantedCase {
    const char* name;
    Planted planted;
};

void PrintTo(const PlantedCase& c, std::ostream* os) { *os << c.name; }

class BitmapPathPlanted : public testing::TestWithParam<PlantedCase> {
protected:
    void SetUp() override
    {
        path_ = dir_.filePath("code128.bmp");
        target_ = dir_.filePath("precious");
        const QByteArray p = QFile::encodeName(path_);
        const QByteArray t = QFile::encodeName(target_);
        switch (GetParam().planted) {
        case Planted::SymlinkToFile:
            WriteFile(target_, "precious contents");
            ASSERT_EQ(symlink(t.constData(), p.constData()), 0);
            break;
        case Planted::DanglingSymlink:
            ASSERT_EQ(symlink(t.constData(), p.constData()), 0);
            break;
        case Planted::SymlinkToFolder:
            ASSERT_EQ(mkdir(t.constData(), 0755), 0);
            ASSERT_EQ(symlink(t.constData(), p.constData()), 0);
            break;
        case Planted::HardLink:
            WriteFile(target_, "precious contents");
            ASSERT_EQ(link(t.constData(), p.constData()), 0);
            break;
        case Planted::Folder:
            ASSERT_EQ(mkdir(p.constData(), 0755), 0);
            break;
        case Planted::Fifo:
            ASSERT_EQ(mkfifo(p.constData(), 0644), 0);
            break;
        }
        before_ = ReadFile(target_);
        targetExisted_ = QFileInfo::exists(target_);
    }

    void ExpectRefusedAndUntouched(const std::function<void()>& attempt)
    {
        try {
            attempt();
            FAIL() << "no error";
        } catch (const TessaryError& e) {
            EXPECT_EQ(e.text(), "Cannot create file " + path_);
        }
        EXPECT_EQ(QFileInfo::exists(target_), targetExisted_);
        EXPECT_EQ(ReadFile(target_), before_);
        if (GetParam().planted != Planted::HardLink && GetParam().planted != Planted::Folder
            && GetParam().planted != Planted::Fifo) {
            EXPECT_TRUE(QFileInfo(path_).isSymLink());
        }
    }

    QTemporaryDir dir_;
    QString path_;
    QString target_;
    QByteArray before_;
    bool targetExisted_ = false;
};

TEST_P(BitmapPathPlanted, PrintCode128RefusesAndLeavesTheTargetAlone)
{
    ExpectRefusedAndUntouched([this] { PrintCode128(path_, 3, 280, 4, "2514080003"); });
}

TEST_P(BitmapPathPlanted, DrawCode128StopsWithNothingDrawn)
{
    RecordingSurface surface;
    ExpectRefusedAndUntouched([&] { DrawCode128(surface, 0, 0, 25, 1750, 300, 300, "2514080003", 3, path_); });
    EXPECT_TRUE(surface.images.empty());
}

INSTANTIATE_TEST_SUITE_P(Kinds, BitmapPathPlanted,
                         testing::Values(PlantedCase{"SymlinkToFile", Planted::SymlinkToFile},
                                         PlantedCase{"DanglingSymlink", Planted::DanglingSymlink},
                                         PlantedCase{"SymlinkToFolder", Planted::SymlinkToFolder},
                                         PlantedCase{"HardLink", Planted::HardLink},
                                         PlantedCase{"Folder", Planted::Folder},
                                         PlantedCase{"Fifo", Planted::Fifo}),
                         [](const testing::TestParamInfo<PlantedCase>& info) { return std::string(info.param.name); });

TEST(LockedBitmapFileWrite, OverwritesTheSameFileAndFitsItsLength)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("code128.bmp");
    ASSERT_EQ(PrintCode128(path, 3, 280, 4, "0-12345609"), 0);
    const QByteArray longer = ReadFile(path);
    const ino_t inode = InodeOf(path);

    ASSERT_EQ(PrintCode128(path, 3, 280, 4, "2514080003"), 0);  // a shorter symbol, a smaller file
    const QByteArray shorter = ReadFile(path);
    EXPECT_LT(shorter.size(), longer.size());
    EXPECT_EQ(shorter.size(), QFileInfo(path).size());
    EXPECT_EQ(InodeOf(path), inode);

    ASSERT_EQ(PrintCode128(path, 3, 280, 4, "0-12345609"), 0);
    EXPECT_EQ(ReadFile(path), longer);
    EXPECT_EQ(InodeOf(path), inode);
}

TEST(LockedBitmapFileWrite, ANewFileIsReadableByAllWhateverTheUmask)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("code128.bmp");
    const mode_t saved = umask(077);
    PrintCode128(path, 3, 280, 4, "2514080003");
    umask(saved);
    struct stat st;
    ASSERT_EQ(stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
}

// util-linux flock(1) stands for another program taking the same lock.
int FlockNonBlocking(const QString& path)
{
    return QProcess::execute("flock", {"--nonblock", "--exclusive", path, "true"});
}

TEST(LockedBitmapFileLock, HeldAgainstOtherProgramsUntilThePassEnds)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("code128.bmp");
    {
        LockedBitmapFile file(path);
        file.Overwrite("first");
        EXPECT_EQ(FlockNonBlocking(path), 1);  // busy
        EXPECT_EQ(file.ReadAll(), QByteArray("first"));
    }
    EXPECT_EQ(FlockNonBlocking(path), 0);
}

TEST(LockedBitmapFileLock, WaitsForAnotherProgramAndFollowsTheFileItLeaves)
{
    // The other program holds the lock, then renames the file away before letting
    // go: the file this one waited on is no longer the bitmap file.
    QTemporaryDir dir;
    const QString path = dir.filePath("code128.bmp");
    const QString aside = dir.filePath("aside.bmp");
    WriteFile(path, "theirs");
    const QString go = dir.filePath("go");
    ASSERT_EQ(mkfifo(QFile::encodeName(go).constData(), 0600), 0);
    QProcess other;
    other.start("flock", {"--exclusive", path, "sh", "-c", "echo locked; read -r _ <\"$2\"; mv \"$0\" \"$1\"", path,
                          aside, go});
    ASSERT_TRUE(other.waitForReadyRead(10000));
    ASSERT_EQ(other.readAllStandardOutput(), QByteArray("locked\n"));

    // The other program lets go once this one waits for the lock: a waiter
    // shows in /proc/locks as a line with "->".
    std::thread release([&go] {
        QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired()) {
            QFile locks(QStringLiteral("/proc/locks"));
            if (locks.open(QIODevice::ReadOnly) && locks.readAll().contains("->"))
                break;
            std::this_thread::yield();
        }
        QFile fifo(go);
        if (fifo.open(QIODevice::WriteOnly))
            fifo.write("go\n");
    });
    const QByteArray readBack = WriteAndReadBack(path, "ours");
    release.join();
    ASSERT_TRUE(other.waitForFinished(10000));
    EXPECT_EQ(other.exitCode(), 0);
    EXPECT_EQ(readBack, QByteArray("ours"));
    EXPECT_EQ(ReadFile(path), QByteArray("ours"));
    EXPECT_EQ(ReadFile(aside), QByteArray("theirs"));
}

// Another program that ignores the lock changes the file between write and read.
struct ReplacedCase {
    const char* name;
    std::function<void(const QString& path)> replace;
    const char* expectedError;  // nullptr: drawn as usual
};

void PrintTo(const ReplacedCase& c, std::ostream* os) { *os << c.name; }

class BitmapReplacedBetweenWriteAndRead : public testing::TestWithParam<ReplacedCase> {};

TEST_P(BitmapReplacedBetweenWriteAndRead, IsCaughtBeforeTheBarcodeIsDrawn)
{
    const ReplacedCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath("code128.bmp");
    RecordingSurface surface;
    DrawCode128(surface, 0, 0, 25, 1750, 300, 300, "2514080003", 3, path);
    ASSERT_EQ(surface.images.size(), 1u);

    // The bars and module DrawCode128 asks for: 1750 and 25, scaled by 0.16.
    QImage readBack;
    try {
        readBack = ReadBackCode128(path, 3, 280, 4, "2514080103", c.replace);
        if (c.expectedError != nullptr)
            ADD_FAILURE() << "no error";
    } catch (const TessaryError& e) {
        EXPECT_EQ(e.text(), QString(c.expectedError ? c.expectedError : "(none)"));
    }
    EXPECT_EQ(readBack.isNull(), c.expectedError != nullptr);
}

// The file of another pass's barcode, as another run would write it.
QByteArray OtherPassFile(const char* text, int option = 3)
{
    QTemporaryDir dir;
    PrintCode128(dir.filePath("other.bmp"), option, 280, 4, text);
    return ReadFile(dir.filePath("other.bmp"));
}

const char* const kMismatch = "The barcode of pass 25140801 did not read back as 2514080103";

INSTANTIATE_TEST_SUITE_P(
    Replacements, BitmapReplacedBetweenWriteAndRead,
    testing::Values(
        ReplacedCase{"OtherLanesPass", [](const QString& p) { WriteFile(p, OtherPassFile("2514080104")); }, kMismatch},
        ReplacedCase{"OtherRunsPass", [](const QString& p) { WriteFile(p, OtherPassFile("3688467611")); }, kMismatch},
        ReplacedCase{"SameTextAcrossThePage",
                     [](const QString& p) { WriteFile(p, OtherPassFile("2514080103", 0)); }, kMismatch},
        ReplacedCase{"OneLineSmudged",
                     [](const QString& p) {
                         // Line 220 of 440, 36 bytes a line: a one-pixel stripe across the bars.
                         QByteArray bytes = ReadFile(p);
                         for (int i = 62 + 220 * 36; i < 62 + 221 * 36; ++i)
                             bytes[i] = char(bytes[i] ^ 0xFF);
                         WriteFile(p, bytes);
                     },
                     kMismatch},
        ReplacedCase{"Blank",
                     [](const QString& p) {
                         QByteArray bytes = ReadFile(p);
                         bytes.replace(62, bytes.size() - 62, QByteArray(bytes.size() - 62, char(0xFF)));
                         WriteFile(p, bytes);
                     },
                     kMismatch},
        ReplacedCase{"CutShort", [](const QString& p) { WriteFile(p, ReadFile(p).left(1000)); },
                     "Bitmap image is not valid"},
        // The pass reads the file it holds, so neither of these reaches it.
        ReplacedCase{"RemovedFromItsFolder", [](const QString& p) { QFile::remove(p); }, nullptr},
        ReplacedCase{"RenamedOver",
                     [](const QString& p) {
                         const QString other = p + ".other";
                         WriteFile(other, OtherPassFile("2514080104"));
                         ASSERT_EQ(rename(QFile::encodeName(other).constData(), QFile::encodeName(p).constData()),
                                   0);
                     },
                     nullptr}),
    [](const testing::TestParamInfo<ReplacedCase>& info) { return std::string(info.param.name); });

}  // namespace
