// Saving a label file that lies in a folder the user may not write.
#include "labelfile/ini_document.h"
#include "labelfile/label_file.h"

#include "common/tessary_error.h"
#include "label_test_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Makes the folder take no new files for this thread. Root ignores the mode
// bits, so as root the thread's file-system user becomes "nobody", which also
// drops root's right to override them; the process keeps its own user.
class FolderTakesNoNewFiles {
public:
    explicit FolderTakesNoNewFiles(const QString& folder) : folder_(QFile::encodeName(folder))
    {
        chmod(folder_.constData(), 0555);
        if (geteuid() == 0)
            savedFsuid_ = setfsuid(kNobody);
    }
    ~FolderTakesNoNewFiles()
    {
        if (savedFsuid_ >= 0)
            setfsuid(uid_t(savedFsuid_));
        chmod(folder_.constData(), 0700);
    }
    FolderTakesNoNewFiles(const FolderTakesNoNewFiles&) = delete;
    FolderTakesNoNewFiles& operator=(const FolderTakesNoNewFiles&) = delete;

    static constexpr uid_t kNobody = 65534;

private:
    QByteArray folder_;
    int savedFsuid_ = -1;
};

const QByteArray kOldFile = "; kept\r\n[Other]\r\nx=1\r\n[Barcode]\r\nCols=3\r\nFont=Arial\r\n";

struct InPlaceCase {
    const char* name;
    bool fileExists;
    mode_t fileMode;
    bool saves;
};

class SaveInUnwritableFolder : public ::testing::TestWithParam<InPlaceCase> {};

TEST_P(SaveInUnwritableFolder, WritesAnExistingWritableFileWhereItStands)
{
    const InPlaceCase& c = GetParam();
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.path() + "/labels.lbl";
    if (c.fileExists) {
        ASSERT_TRUE(WriteBytes(path, kOldFile));
        ASSERT_EQ(chmod(QFile::encodeName(path).constData(), c.fileMode), 0);
    }
    LabelValues values;
    values.cols = "6";
    values.lines[0] = "Saved in place";
    QString error;
    {
        const FolderTakesNoNewFiles guard(folder.path());
        ASSERT_FALSE(QFile(folder.path() + "/probe").open(QIODevice::WriteOnly)) << "the folder still takes files";
        try {
            SaveLabelFile(path, values);
        } catch (const TessaryError& e) {
            error = e.text();
        }
    }
    if (!c.saves) {
        EXPECT_EQ(error, "Unable to write to " + path) << c.name;
        if (c.fileExists)
            EXPECT_EQ(ReadBytes(path), kOldFile) << c.name;
        else
            EXPECT_FALSE(QFile::exists(path)) << c.name;
        return;
    }
    EXPECT_EQ(error, QString()) << c.name;
    const QByteArray saved = ReadBytes(path);
    EXPECT_TRUE(saved.startsWith("; kept\r\n[Other]\r\nx=1\r\n[Barcode]\r\nCols=6\r\nFont=Arial\r\n")) << saved.constData();
    EXPECT_EQ(LoadLabelFile(path).lines[0], "Saved in place") << c.name;
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"labels.lbl"}) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Table, SaveInUnwritableFolder,
                         ::testing::Values(InPlaceCase{"writable file", true, 0666, true},
                                           InPlaceCase{"read-only file", true, 0444, false},
                                           InPlaceCase{"no file yet", false, 0, false}));

TEST(SaveInUnwritableFolder, FailedWriteInPlacePutsTheOldContentBack)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.path() + "/labels.lbl";
    ASSERT_TRUE(WriteBytes(path, kOldFile));
    ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0666), 0);
    IniDocument document = IniDocument::readFileForUpdate(path);
    document.setValue("Barcode", "Line 1", QString(500, u'x'));
    QString error;
    {
        const FolderTakesNoNewFiles guard(folder.path());
        const FileSizeLimit limit(kOldFile.size() + 16);
        try {
            document.writeFile(path);
        } catch (const TessaryError& e) {
            error = e.text();
        }
    }
    EXPECT_EQ(error, "Unable to write to " + path);
    EXPECT_EQ(ReadBytes(path), kOldFile);
}

} // namespace
