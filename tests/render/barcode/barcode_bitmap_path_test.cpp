#include "render/barcode/barcode_bitmap_path.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Whether a new file really can be made in dir, asked independently of the code under test.
bool FileCanBeMadeIn(const QString& dir)
{
    QFile file(QDir(dir).filePath("oracle-check"));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.remove();
    return true;
}

enum class ExeDirKind { Writable, ReadOnlyMode, Proc, Missing, Empty };

struct PathCase {
    const char* name;
    ExeDirKind kind;
};

class ChooseBarcodeBitmapPathCase : public testing::TestWithParam<PathCase> {};

TEST_P(ChooseBarcodeBitmapPathCase, ExeFolderWhenAFileCanBeMadeThereElseTheCache)
{
    QTemporaryDir root;
    QString exeDir;
    switch (GetParam().kind) {
    case ExeDirKind::Writable:
        exeDir = root.filePath("bin");
        ASSERT_TRUE(QDir().mkpath(exeDir));
        break;
    case ExeDirKind::ReadOnlyMode:
        exeDir = root.filePath("bin");
        ASSERT_TRUE(QDir().mkpath(exeDir));
        ASSERT_TRUE(QFile::setPermissions(exeDir, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup
                                                      | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
        break;
    case ExeDirKind::Proc:
        exeDir = "/proc";
        break;
    case ExeDirKind::Missing:
        exeDir = root.filePath("no/such/bin");
        break;
    case ExeDirKind::Empty:
        break;
    }
    const QString cacheDir = root.filePath("cache/tessary");
    const bool exeDirUsable = !exeDir.isEmpty() && QFileInfo(exeDir).isDir() && FileCanBeMadeIn(exeDir);

    const QString chosen = ChooseBarcodeBitmapPath(exeDir, cacheDir);

    const QString expectedDir = exeDirUsable ? exeDir : cacheDir;
    EXPECT_EQ(chosen, QDir(expectedDir).filePath("code128.bmp"));
    EXPECT_TRUE(FileCanBeMadeIn(QFileInfo(chosen).path()));
    // The probe leaves nothing behind in the program's folder.
    if (exeDirUsable) {
        EXPECT_EQ(QDir(exeDir).entryList(QDir::Files).size(), 0);
    }
    QFile::setPermissions(root.filePath("bin"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

INSTANTIATE_TEST_SUITE_P(Folders, ChooseBarcodeBitmapPathCase,
                         testing::Values(PathCase{"writable", ExeDirKind::Writable},
                                         PathCase{"mode0555", ExeDirKind::ReadOnlyMode},
                                         PathCase{"proc", ExeDirKind::Proc},
                                         PathCase{"missing", ExeDirKind::Missing},
                                         PathCase{"empty", ExeDirKind::Empty}),
                         [](const testing::TestParamInfo<PathCase>& info) { return std::string(info.param.name); });

TEST(ChooseBarcodeBitmapPathProc, ProcIsRefusedEvenWhereItsModeWouldAllow)
{
    QTemporaryDir root;
    const QString cacheDir = root.filePath("cache");
    EXPECT_EQ(ChooseBarcodeBitmapPath("/proc", cacheDir), QDir(cacheDir).filePath("code128.bmp"));
    EXPECT_TRUE(QFileInfo(cacheDir).isDir());
}

TEST(BarcodeBitmapPath, TheTestProgramsFolderIsWritableSoItIsUsed)
{
    ASSERT_TRUE(FileCanBeMadeIn(QCoreApplication::applicationDirPath()));
    EXPECT_EQ(BarcodeBitmapPath(), QDir(QCoreApplication::applicationDirPath()).filePath("code128.bmp"));
}

}  // namespace
