// Saving where another user may have laid a link or a file for this run, and
// reading a label file that could hold the program up.
#include "labelfile/label_file.h"
#include "labelfile/whole_file_write.h"

#include "common/replacement_file.h"
#include "common/tessary_error.h"
#include "label_test_files.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <future>
#include <iostream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr uid_t kOther = 65534;
const QByteArray kVictimBytes = "[Barcode]\r\nCols=3\r\n";
const QByteArray kNewBytes = "[Barcode]\r\nCols=5\r\n";

struct Planted {
    const char* name;
    mode_t folderMode;    // of the folder out.lbl is in
    uid_t owner;          // of out.lbl and of the private file it leads to
    bool link;            // out.lbl links to the file, or is another name of it
    const char* refusal;  // "" when the save goes through
};

struct stat StatOf(const QString& path)
{
    struct stat info {};
    ::stat(QFile::encodeName(path).constData(), &info);
    return info;
}

// Puts out.lbl in place as a link to victim, or as a second name of it, owned by owner.
void Plant(const QString& victim, const QString& out, const Planted& p)
{
    const QByteArray name = QFile::encodeName(out);
    if (p.link) {
        ASSERT_TRUE(QFile::link(victim, out));
        ASSERT_EQ(lchown(name.constData(), p.owner, p.owner), 0);
    } else {
        ASSERT_EQ(::link(QFile::encodeName(victim).constData(), name.constData()), 0);
    }
}

class SavingInASharedFolder : public ::testing::TestWithParam<Planted> {};

TEST_P(SavingInASharedFolder, FollowsOnlyWhatTheKernelWouldFollow)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to give files to another user";
    const Planted& p = GetParam();
    QTemporaryDir tmp;
    const QDir dir(tmp.path());
    ASSERT_TRUE(dir.mkdir("private") && dir.mkdir("shared"));
    ASSERT_EQ(chmod(QFile::encodeName(dir.filePath("shared")).constData(), p.folderMode), 0);
    const QString victim = dir.filePath("private/victim.lbl");
    const QString out = dir.filePath("shared/out.lbl");
    ASSERT_TRUE(WriteBytes(victim, kVictimBytes));
    ASSERT_EQ(chown(QFile::encodeName(victim).constData(), p.owner, p.owner), 0);
    ASSERT_EQ(chmod(QFile::encodeName(victim).constData(), 0600), 0);
    Plant(victim, out, p);
    const nlink_t names = StatOf(victim).st_nlink;

    QString error;
    try {
        WriteWholeFile(out, kNewBytes);
    } catch (const TessaryError& e) {
        error = e.text();
    }
    const QString refusal = QString("Unable to write to %1: it is %2 of another user in a shared folder");
    EXPECT_EQ(error, *p.refusal ? refusal.arg(out, p.refusal) : QString());
    EXPECT_EQ(ReadBytes(victim), *p.refusal ? kVictimBytes : kNewBytes);
    EXPECT_EQ(StatOf(victim).st_uid, p.owner);
    EXPECT_EQ(StatOf(victim).st_mode & 07777, 0600u);
    EXPECT_EQ(QFileInfo(out).isSymLink(), p.link);
    if (!*p.refusal)
        return;

    // The name is swapped back and forth between the planted entry and a plain
    // file of this user's: whatever the save sees, the victim stays as it was.
    const QByteArray outName = QFile::encodeName(out);
    const QByteArray spareName = QFile::encodeName(dir.filePath("shared/spare.lbl"));
    int saved = 0;
    int refused = 0;
    std::atomic<int> exchanges{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        SCOPED_TRACE(attempt);
        ASSERT_TRUE(WriteBytes(dir.filePath("shared/spare.lbl"), "ours"));
        std::atomic<bool> done{false};
        const int before = exchanges;
        std::thread swapper([&] {
            while (!done)
                exchanges += renameat2(AT_FDCWD, outName.constData(), AT_FDCWD, spareName.constData(),
                                       RENAME_EXCHANGE) == 0;
        });
        while (exchanges == before) {
        }
        try {
            WriteWholeFile(out, kNewBytes);
            ++saved;
        } catch (const SharedFolderRefusal&) {
            ++refused;
        } catch (const TessaryError&) {
        }
        done = true;
        swapper.join();
        EXPECT_EQ(ReadBytes(victim), kVictimBytes);
        EXPECT_EQ(StatOf(victim).st_uid, kOther);
        EXPECT_EQ(StatOf(victim).st_mode & 07777, 0600u);
        EXPECT_EQ(StatOf(victim).st_nlink, names) << "the victim's name was replaced";
        QDir shared(dir.filePath("shared"));
        for (const QString& entry : shared.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
            ASSERT_TRUE(shared.remove(entry));
        Plant(victim, out, p);
    }
    std::cout << p.name << ": " << exchanges << " exchanges; of 100 saves " << saved << " went to our own file, "
              << refused << " refused, the rest failed" << std::endl;
    EXPECT_GT(exchanges, 0);
}

INSTANTIATE_TEST_SUITE_P(Table, SavingInASharedFolder,
                         ::testing::Values(Planted{"AnotherUsersLink", 01777, kOther, true, "a link"},
                                           Planted{"AnotherUsersFile", 01777, kOther, false, "a file"},
                                           Planted{"OwnLinkInSharedFolder", 01777, 0, true, ""},
                                           Planted{"LinkInPlainFolder", 0777, kOther, true, ""}),
                         [](const auto& info) { return std::string(info.param.name); });

// A FIFO named as a label file has no writer: opening it to read would wait for ever.
TEST(LabelFileThatIsAFifo, IsRefusedAtOnce)
{
    QTemporaryDir tmp;
    const QString fifo = tmp.filePath("pipe.lbl");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString expected = "Unable to read " + fifo + ": it is a FIFO, not a file";
    for (const auto& read : {std::function<void()>([&] { LoadLabelFile(fifo); }),
                             std::function<void()>([&] { HoldsLabelSettings(fifo); })}) {
        auto reading = std::async(std::launch::async, [&] {
            try {
                read();
            } catch (const TessaryError& error) {
                return error.text();
            }
            return QString("no error");
        });
        if (reading.wait_for(std::chrono::seconds(1)) != std::future_status::ready) {
            ADD_FAILURE() << "still waiting on the FIFO after a second";
            close(open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK));  // lets it go
        }
        EXPECT_EQ(reading.get(), expected);
    }
}

}  // namespace
