// Saving where another user may have laid a link or a file for this run, and
// reading a label file that could hold the program up.
#include "labelfile/label_file.h"
#include "labelfile/whole_file_write.h"

#include "common/tessary_error.h"
#include "label_test_files.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <future>
#include <iostream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace {

constexpr uid_t kOther = 65534;
const QByteArray kVictimBytes = "[Barcode]\r\nCols=3\r\n";
const QByteArray kNewBytes = "[Barcode]\r\nCols=5\r\n";

enum class Lead { LinkToFile, LinkToFolder, SecondName };

struct Planted {
    const char* name;
    mode_t folderMode;    // of the folder out.lbl is in
    uid_t folderOwner;    // of that folder
    uid_t owner;          // of the link or second name, and of the private file it leads to
    Lead lead;            // out.lbl links to that file, or a folder on the way links to its folder, or
                          // out.lbl is a second name of it
    const char* refusal;  // "" when the save goes through
};

// Where the save writes: out.lbl, or victim.lbl through the folder link.
QString SavedName(const QDir& shared, const Planted& p)
{
    return p.lead == Lead::LinkToFolder ? shared.filePath("folder/victim.lbl") : shared.filePath("out.lbl");
}

void Plant(const QString& victim, const QString& out, const Planted& p)
{
    const QByteArray name = QFile::encodeName(out);
    if (p.lead == Lead::LinkToFile) {
        ASSERT_TRUE(QFile::link(victim, out) && lchown(name.constData(), p.owner, p.owner) == 0);
    } else if (p.lead == Lead::LinkToFolder) {
        const QByteArray folder = QFile::encodeName(QFileInfo(out).path());
        ASSERT_TRUE(QFile::link(QFileInfo(victim).path(), QFileInfo(out).path())
                    && lchown(folder.constData(), p.owner, p.owner) == 0);
    } else {
        ASSERT_EQ(::link(QFile::encodeName(victim).constData(), name.constData()), 0);
    }
}

// The file's bytes, owner, mode and number of names are as given.
void ExpectFile(const QString& path, const QByteArray& bytes, uid_t owner, nlink_t names)
{
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_EQ(ReadBytes(path), bytes);
    EXPECT_EQ(info.st_uid, owner);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    EXPECT_EQ(info.st_nlink, names) << "a name of the file was replaced";
}

class SavingInASharedFolder : public ::testing::TestWithParam<Planted> {};

TEST_P(SavingInASharedFolder, FollowsOnlyTheUsersOwnLinksAndRoots)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to give files to another user";
    const Planted& p = GetParam();
    QTemporaryDir tmp;
    QDir shared(tmp.filePath("shared"));
    ASSERT_TRUE(QDir(tmp.path()).mkdir("private") && QDir(tmp.path()).mkdir("shared"));
    ASSERT_EQ(chmod(QFile::encodeName(shared.path()).constData(), p.folderMode), 0);
    ASSERT_EQ(chown(QFile::encodeName(shared.path()).constData(), p.folderOwner, p.folderOwner), 0);
    const QString victim = tmp.filePath("private/victim.lbl");
    const QString out = SavedName(shared, p);
    ASSERT_TRUE(WriteBytes(victim, kVictimBytes));
    ASSERT_EQ(chown(QFile::encodeName(victim).constData(), p.owner, p.owner), 0);
    ASSERT_EQ(chmod(QFile::encodeName(victim).constData(), 0600), 0);
    Plant(victim, out, p);
    const nlink_t names = p.lead == Lead::SecondName ? 2 : 1;

    QString error;
    try {
        WriteWholeFile(out, kNewBytes);
    } catch (const TessaryError& e) {
        error = e.text();
    }
    const QString refusal = QString("Unable to write to %1: it is %2 of another user");
    EXPECT_EQ(error, *p.refusal ? refusal.arg(out, p.refusal) : QString());
    ExpectFile(victim, *p.refusal ? kVictimBytes : kNewBytes, p.owner, names);
    EXPECT_EQ(QFileInfo(out).isSymLink(), p.lead == Lead::LinkToFile);
    if (!*p.refusal || p.lead == Lead::LinkToFolder)
        return;

    // The name is swapped back and forth between the planted entry and a plain
    // file of this user's: whatever the save sees, the victim stays as it was.
    const QByteArray outName = QFile::encodeName(out);
    const QByteArray spareName = QFile::encodeName(shared.filePath("spare.lbl"));
    int saved = 0;
    std::atomic<int> exchanges{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        SCOPED_TRACE(attempt);
        ASSERT_TRUE(WriteBytes(shared.filePath("spare.lbl"), "ours"));
        const int before = exchanges;
        std::atomic<bool> done{false};
        std::thread swapper([&] {
            while (!done)
                exchanges += renameat2(AT_FDCWD, outName, AT_FDCWD, spareName, RENAME_EXCHANGE) == 0;
        });
        while (exchanges == before) {
        }
        try {
            WriteWholeFile(out, kNewBytes);
            ++saved;  // it saw, and replaced, the plain file
        } catch (const TessaryError&) {
        }
        done = true;
        swapper.join();
        ExpectFile(victim, kVictimBytes, kOther, names);
        for (const QString& entry : shared.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
            ASSERT_TRUE(shared.remove(entry));
        Plant(victim, out, p);
    }
    std::cout << p.name << ": " << exchanges << " exchanges, " << saved << " of 100 saves went through" << std::endl;
}

INSTANTIATE_TEST_SUITE_P(Table, SavingInASharedFolder,
                         ::testing::Values(
                             Planted{"AnotherUsersLinkInASharedFolder", 01777, 0, kOther, Lead::LinkToFile, "a link"},
                             Planted{"AnotherUsersLinkInTheirFolder", 0755, kOther, kOther, Lead::LinkToFile, "a link"},
                             Planted{"AnotherUsersFolderLinkInTheirFolder", 0755, kOther, kOther, Lead::LinkToFolder,
                                     "a link"},
                             Planted{"AnotherUsersLinkInRootsFolder", 0755, 0, kOther, Lead::LinkToFile, "a link"},
                             Planted{"AnotherUsersLinkInAPlainFolder", 0777, 0, kOther, Lead::LinkToFile, "a link"},
                             Planted{"AnotherUsersFileInASharedFolder", 01777, 0, kOther, Lead::SecondName, "a file"},
                             Planted{"AnotherUsersFileInTheirFolder", 0755, kOther, kOther, Lead::SecondName, "a file"},
                             Planted{"OwnLinkInASharedFolder", 01777, 0, 0, Lead::LinkToFile, ""},
                             Planted{"OwnLinkInAnotherUsersFolder", 0755, kOther, 0, Lead::LinkToFile, ""}),
                         [](const auto& info) { return std::string(info.param.name); });

// A FIFO named as a label file has no writer: opening it to read would wait for ever.
TEST(LabelFileThatIsAFifo, IsRefusedAtOnce)
{
    QTemporaryDir tmp;
    const QString fifo = tmp.filePath("pipe.lbl");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const bool load : {true, false}) {
        auto reading = std::async(std::launch::async, [&] {
            try {
                load ? void(LoadLabelFile(fifo)) : void(HoldsLabelSettings(fifo));
            } catch (const TessaryError& error) {
                return error.text();
            }
            return QString("no error");
        });
        if (reading.wait_for(std::chrono::seconds(1)) != std::future_status::ready) {
            ADD_FAILURE() << "still waiting on the FIFO after a second";
            close(open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK));  // lets it go
        }
        EXPECT_EQ(reading.get(), "Unable to read " + fifo + ": it is a FIFO, not a file");
    }
}

}  // namespace
