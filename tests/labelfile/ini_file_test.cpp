#include "labelfile/ini_document.h"

#include "common/tessary_error.h"
#include "label_test_files.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kDefault = "<default>";

// Each case makes a path in the folder given and says what "Cols" must read as.
struct BadInputCase {
    const char* name;
    std::function<QString(const QString& folder)> make;
    QString expectedCols;
};

QString WithBytes(const QString& folder, const QByteArray& bytes)
{
    const QString path = folder + "/input.lbl";
    WriteBytes(path, bytes);
    return path;
}

QByteArray RandomBytes(qsizetype size)
{
    QRandomGenerator random(20240611);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& b : bytes)
        b = static_cast<char>(random.bounded(256));
    return bytes;
}

const BadInputCase kBadInputs[] = {
    {"missing file", [](const QString& f) { return f + "/none.lbl"; }, kDefault},
    {"directory", [](const QString& f) { return f; }, kDefault},
    {"binary", [](const QString& f) { return WithBytes(f, RandomBytes(1 << 16)); }, kDefault},
    {"binary then section", [](const QString& f) {
         return WithBytes(f, RandomBytes(4096) + "\n[Barcode]\nCols=2\n");
     }, "2"},
    {"no section", [](const QString& f) { return WithBytes(f, "Cols=2\nRows=3\n"); }, kDefault},
    {"10 MB single line", [](const QString& f) {
         return WithBytes(f, "[Barcode]\nCols=" + QByteArray(10 << 20, '7'));
     }, QString(2047, u'7')},
    {"10 MB without a line end", [](const QString& f) { return WithBytes(f, QByteArray(10 << 20, '[')); }, kDefault},
    {"NUL bytes", [](const QString& f) {
         return WithBytes(f, QByteArray("\0\n[Barcode]\0\nCols=2\0\n\0", 23));
     }, QString("2") + QChar(0)},
    {"duplicates", [](const QString& f) {
         return WithBytes(f, "[Barcode]\nCols=1\nCols=2\n[Barcode]\nCols=3\n");
     }, "1"},
    {"lines without equals", [](const QString& f) { return WithBytes(f, "[Barcode]\nCols\n\n=\nx\n"); }, kDefault},
    {"only line ends", [](const QString& f) { return WithBytes(f, QByteArray(1 << 20, '\n')); }, kDefault},
};

void PrintTo(const BadInputCase& c, std::ostream* out) { *out << c.name; }

class IniBadInput : public ::testing::TestWithParam<BadInputCase> {};

TEST_P(IniBadInput, ReadsWithoutFailing)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const BadInputCase& c = GetParam();
    const IniDocument document = IniDocument::readFile(c.make(folder.path()));
    EXPECT_EQ(document.value("Barcode", "Cols", kDefault), c.expectedCols) << c.name;
    EXPECT_EQ(document.value("Barcode", "Rows", kDefault), kDefault) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Table, IniBadInput, ::testing::ValuesIn(kBadInputs));

struct UnwritableCase {
    const char* name;
    std::function<QString(const QString& folder)> make;
};

const UnwritableCase kUnwritable[] = {
    {"folder under /proc", [](const QString&) { return QString("/proc/tessary-none/labels.lbl"); }},
    {"parent is a file", [](const QString& f) {
         WriteBytes(f + "/plain", "x");
         return f + "/plain/labels.lbl";
     }},
    {"path is a folder", [](const QString& f) {
         QDir(f).mkdir("labels.lbl");
         return f + "/labels.lbl";
     }},
};

void PrintTo(const UnwritableCase& c, std::ostream* out) { *out << c.name; }

class IniUnwritable : public ::testing::TestWithParam<UnwritableCase> {};

TEST_P(IniUnwritable, ThrowsUnableToWrite)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = GetParam().make(folder.path());
    IniDocument document;
    document.setValue("Barcode", "Cols", "4");
    try {
        document.writeFile(path);
        ADD_FAILURE() << "no error for " << qPrintable(path);
    } catch (const TessaryError& error) {
        EXPECT_EQ(error.text(), "Unable to write to " + path);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, IniUnwritable, ::testing::ValuesIn(kUnwritable));

TEST(IniWriteFile, FailedWriteLeavesTheOldFile)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.path() + "/labels.lbl";
    const QByteArray old = "[Barcode]\r\nCols=3\r\n";
    ASSERT_TRUE(WriteBytes(path, old));
    IniDocument document = IniDocument::readFileForUpdate(path);
    document.setValue("Barcode", "Line 1", QString(500, u'x'));
    {
        const FileSizeLimit limit(64);
        EXPECT_THROW(document.writeFile(path), TessaryError);
    }
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"labels.lbl"});
}

TEST(IniWriteFile, WritesTheWholeText)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.path() + "/labels.lbl";
    ASSERT_TRUE(WriteBytes(path, "; kept\n[Barcode]\nCols=3\n"));
    IniDocument document = IniDocument::readFileForUpdate(path);
    document.setValue("Barcode", "Cols", "5");
    document.writeFile(path);
    EXPECT_EQ(ReadBytes(path), QByteArray("; kept\n[Barcode]\nCols=5\n"));
}

// Saving through a chain of links replaces the file at its end, which stays
// its owner's (nobody's, when the test runs as root) with its mode.
TEST(IniWriteFile, ReplacesTheFileAtTheEndOfALinkChainKeepingOwnerAndMode)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QDir dir(folder.path());
    ASSERT_TRUE(dir.mkdir("shared"));
    const QString real = dir.filePath("shared/labels.lbl");
    ASSERT_TRUE(WriteBytes(real, "[Barcode]\nCols=3\n"));
    const QByteArray realName = QFile::encodeName(real);
    // The user's own file: another user's is never replaced (shared_folder_write_test.cpp).
    const uid_t owner = geteuid();
    ASSERT_EQ(chmod(realName.constData(), 0604), 0);
    ASSERT_TRUE(QFile::link("shared/labels.lbl", dir.filePath("hop2.lbl")));
    ASSERT_TRUE(QFile::link(dir.filePath("hop2.lbl"), dir.filePath("hop1.lbl")));

    IniDocument document = IniDocument::readFileForUpdate(dir.filePath("hop1.lbl"));
    document.setValue("Barcode", "Cols", "5");
    document.writeFile(dir.filePath("hop1.lbl"));

    EXPECT_EQ(ReadBytes(real), QByteArray("[Barcode]\nCols=5\n"));
    struct stat info {};
    ASSERT_EQ(lstat(realName.constData(), &info), 0);
    EXPECT_EQ(info.st_uid, owner);
    EXPECT_EQ(info.st_mode & 07777, 0604u);
    EXPECT_TRUE(QFileInfo(dir.filePath("hop1.lbl")).isSymLink());
    EXPECT_TRUE(QFileInfo(dir.filePath("hop2.lbl")).isSymLink());
    EXPECT_EQ(QDir(dir.filePath("shared")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"labels.lbl"});
}

TEST(IniWriteFile, WillNotReplaceWhatItCannotRead)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.path() + "/pipe.lbl";
    ASSERT_EQ(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    try {
        IniDocument::readFileForUpdate(path);
        ADD_FAILURE() << "no error";
    } catch (const TessaryError& error) {
        EXPECT_EQ(error.text(), "Unable to write to " + path);
    }
}

} // namespace
