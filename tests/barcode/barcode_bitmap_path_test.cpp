#include "barcode/barcode_bitmap_path.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

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

const QFile::Permissions kReadOnly =
    QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;

enum class Exe { BuildFolder, UsrBin, UsrLocalBin, ReadOnly, Proc, Missing };
enum class Cache { Fresh, ReadOnly, Unknown };
enum class Private { RuntimeDir, NoRuntimeDir, TempLinkPlanted, TempOpenToAll };
enum class Expect { ExeDir, ExeDirIfItTakesAFile, CacheDir, RuntimeDir, TempDir, CacheAsLastResort };

struct PathCase {
    const char* name;
    Exe exe;
    Cache cache;
    Private privateFolder;
    Expect expected;
};

// The build folder is the only program folder written in; a folder that does
// not take a new file (even when root's permissions say it does) falls through.
const PathCase kPathCases[] = {
    {"build_folder", Exe::BuildFolder, Cache::Fresh, Private::RuntimeDir, Expect::ExeDir},
    {"unpacked_usr_bin", Exe::UsrBin, Cache::Fresh, Private::RuntimeDir, Expect::CacheDir},
    {"unpacked_usr_local_bin", Exe::UsrLocalBin, Cache::Fresh, Private::RuntimeDir, Expect::CacheDir},
    {"read_only_program_folder", Exe::ReadOnly, Cache::Fresh, Private::RuntimeDir, Expect::ExeDirIfItTakesAFile},
    {"proc", Exe::Proc, Cache::Fresh, Private::RuntimeDir, Expect::CacheDir},
    {"missing_program_folder", Exe::Missing, Cache::Fresh, Private::RuntimeDir, Expect::CacheDir},
    {"read_only_home", Exe::UsrBin, Cache::ReadOnly, Private::RuntimeDir, Expect::RuntimeDir},
    {"no_home_no_runtime_dir", Exe::UsrBin, Cache::Unknown, Private::NoRuntimeDir, Expect::TempDir},
    {"link_planted_in_temp", Exe::UsrBin, Cache::ReadOnly, Private::TempLinkPlanted, Expect::CacheAsLastResort},
    {"temp_folder_open_to_all", Exe::UsrBin, Cache::ReadOnly, Private::TempOpenToAll, Expect::CacheAsLastResort},
};

class ChooseBarcodeBitmapPathCase : public testing::TestWithParam<PathCase> {};

TEST_P(ChooseBarcodeBitmapPathCase, BuildFolderElseCacheElseAPrivateFolder)
{
    const PathCase& c = GetParam();
    QTemporaryDir root;
    BarcodeBitmapFolders folders;
    switch (c.exe) {
    case Exe::BuildFolder: folders.exeDir = root.filePath("build"); break;
    case Exe::UsrBin: folders.exeDir = root.filePath("unpacked/usr/bin"); break;
    case Exe::UsrLocalBin: folders.exeDir = root.filePath("unpacked/usr/local/bin"); break;
    case Exe::ReadOnly: folders.exeDir = root.filePath("bin"); break;
    case Exe::Proc: folders.exeDir = "/proc"; break;
    case Exe::Missing: folders.exeDir = root.filePath("no/such/bin"); break;
    }
    if (c.exe != Exe::Proc && c.exe != Exe::Missing) {
        ASSERT_TRUE(QDir().mkpath(folders.exeDir));
    }
    if (c.exe == Exe::ReadOnly) {
        ASSERT_TRUE(QFile::setPermissions(folders.exeDir, kReadOnly));
    }

    const QString home = root.filePath("home");
    ASSERT_TRUE(QDir().mkpath(home));
    if (c.cache != Cache::Unknown)
        folders.cacheDir = root.filePath("home/.cache/tessary-utility");
    if (c.cache == Cache::ReadOnly) {
        ASSERT_TRUE(QFile::setPermissions(home, kReadOnly));
        // root writes anywhere the mode forbids; a file where the folder should be stops it too
        QFile blocker(root.filePath("home/.cache"));
        blocker.open(QIODevice::WriteOnly);
    }

    const QString runtime = root.filePath("runtime");
    ASSERT_TRUE(QDir().mkpath(runtime));
    if (c.privateFolder == Private::RuntimeDir)
        folders.runtimeDir = runtime;
    folders.tempDir = root.filePath("tmp");
    ASSERT_TRUE(QDir().mkpath(folders.tempDir));
    const QString tempPrivate = QDir(folders.tempDir).filePath(QStringLiteral("tessary-utility-%1").arg(::geteuid()));
    if (c.privateFolder == Private::TempLinkPlanted) {
        ASSERT_TRUE(QDir().mkpath(root.filePath("elsewhere")));
        ASSERT_TRUE(QFile::link(root.filePath("elsewhere"), tempPrivate));
    }
    if (c.privateFolder == Private::TempOpenToAll) {
        ASSERT_TRUE(QDir().mkpath(tempPrivate));
        ASSERT_TRUE(QFile::setPermissions(tempPrivate, QFile::Permissions(0x7777)));
    }

    QString expectedDir;
    switch (c.expected) {
    case Expect::ExeDir: expectedDir = folders.exeDir; break;
    case Expect::ExeDirIfItTakesAFile:  // root's files go in whatever the mode says
        expectedDir = FileCanBeMadeIn(folders.exeDir) ? folders.exeDir : folders.cacheDir;
        break;
    case Expect::CacheDir: expectedDir = folders.cacheDir; break;
    case Expect::RuntimeDir: expectedDir = QDir(runtime).filePath("tessary-utility"); break;
    case Expect::TempDir: expectedDir = tempPrivate; break;
    case Expect::CacheAsLastResort: expectedDir = folders.cacheDir; break;
    }
    const QString chosen = ChooseBarcodeBitmapPath(folders);
    EXPECT_EQ(chosen.toStdString(), QDir(expectedDir).filePath("code128.bmp").toStdString());
    if (c.expected != Expect::CacheAsLastResort) {
        EXPECT_TRUE(FileCanBeMadeIn(QFileInfo(chosen).path()));
    }
    if (c.expected == Expect::RuntimeDir || c.expected == Expect::TempDir) {
        EXPECT_EQ(QFileInfo(expectedDir).permissions() & 0x0077, 0);
    }
    // Nothing is left in the program's folder or in the folder a link pointed to.
    if (folders.exeDir.startsWith(root.path()) && QFileInfo(folders.exeDir).isDir()) {
        EXPECT_EQ(QDir(folders.exeDir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 0);
    }
    EXPECT_EQ(QDir(root.filePath("elsewhere")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 0);
    QFile::setPermissions(folders.exeDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::setPermissions(home, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

INSTANTIATE_TEST_SUITE_P(Folders, ChooseBarcodeBitmapPathCase, testing::ValuesIn(kPathCases),
                         [](const testing::TestParamInfo<PathCase>& info) { return std::string(info.param.name); });

TEST(BarcodeBitmapPath, TheTestProgramRunsFromItsBuildFolderSoItIsUsed)
{
    ASSERT_TRUE(FileCanBeMadeIn(QCoreApplication::applicationDirPath()));
    EXPECT_EQ(BarcodeBitmapPath(), QDir(QCoreApplication::applicationDirPath()).filePath("code128.bmp"));
}

}  // namespace
