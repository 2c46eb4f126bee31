// A register file is used only when no other user can change it and it is a
// register: anything else at its name is left as it is.
#include "register/pass_register.h"
#include "register/register_file_checks.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A SQLite database, but not a register: the register's own with its schema table gone.
void DropSchemaTable(const char* file)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        db.setDatabaseName(QFile::decodeName(file));
        EXPECT_TRUE(db.open() && QSqlQuery(db).exec(QStringLiteral("DROP TABLE register_schema")));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other"));
}

// An empty file beside the register file f, of mode and owner.
void Plant(const char* f, const char* suffix, mode_t mode, uid_t owner)
{
    const QByteArray name = QByteArray(f) + suffix;
    const int fd = open(name.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    EXPECT_TRUE(fd >= 0 && fchmod(fd, mode) == 0 && fchown(fd, owner, owner) == 0);
    close(fd);
}

// arrange changes the new register's folder d or file f; reason: "%1" is the folder, "%2" where a shared
// register belongs, empty if opened. readOnly: opened for a look-up, which may read another user's register.
struct FileCase {
    const char* what;
    void (*arrange)(const char* d, const char* f);
    const char* reason;
    bool readOnly = false;
};

const FileCase kFiles[] = {
    {"a register of this user", [](auto, auto) {}, ""},
    {"of another user", [](auto, auto f) { ASSERT_EQ(chown(f, 65534, 65534), 0); }, "it belongs to another user (uid 65534)"},
    {"others may write", [](auto, auto f) { chmod(f, 0646); }, "it may be written by other users (mode 0646)"},
    {"its group may write", [](auto, auto f) { chmod(f, 0660); }, "it may be written by other users (mode 0660)"},
    {"another user's folder", [](auto d, auto) { ASSERT_EQ(chown(d, 65534, 65534), 0); },
     "its folder %1 belongs to another user (uid 65534)"},
    {"a folder others may write", [](auto d, auto) { chmod(d, 0777); }, "its folder %1 may be written by other users; %2"},
    {"a sticky folder others may write", [](auto d, auto) { chmod(d, 01777); },
     "its folder %1 may be written by other users; %2"},
    {"a folder its group may write", [](auto d, auto) { chmod(d, 0770); },
     "its folder %1 may be written by other users; %2"},
    // SQLite takes in what it finds beside the register under these names.
    {"a -wal of another user beside it", [](auto, auto f) { Plant(f, "-wal", 0600, 65534); },
     "its file passes.sqlite-wal belongs to another user (uid 65534)"},
    {"a -shm that is a link", [](auto d, auto f) {
         EXPECT_EQ(symlink(QByteArray(d) + "/elsewhere", QByteArray(f) + "-shm"), 0);
     }, "its file passes.sqlite-shm is not a plain file"},
    {"a -journal others may write", [](auto, auto f) { Plant(f, "-journal", 0666, 0); },
     "its file passes.sqlite-journal may be written by other users (mode 0666)"},
    {"a -wal of its own", [](auto, auto f) { Plant(f, "-wal", 0600, 0); }, ""},
    {"a link to a register of another user", [](auto d, auto f) {
         const QByteArray theirs = QByteArray(d) + "/theirs.sqlite";
         EXPECT_TRUE(rename(f, theirs) == 0 && chown(theirs, 65534, 65534) == 0 && symlink(theirs, f) == 0);
     }, "it is a link to a file of another user (uid 65534)"},
    {"an empty file", [](auto, auto f) { EXPECT_EQ(truncate(f, 0), 0); }, "it is not a register"},
    {"a text file", [](auto, auto f) { QFile out(f); EXPECT_TRUE(out.open(QIODevice::WriteOnly) && out.write("a,b\n")); },
     "it is not a register"},
    {"a database of another program", [](auto, auto f) { DropSchemaTable(f); }, "it is not a register"},
    // Look-ups: what is read must still be what the register's owner wrote.
    {"another user's register in their folder, read", [](auto d, auto f) {
         EXPECT_TRUE(chown(d, 65534, 65534) == 0 && chmod(d, 0755) == 0 && chown(f, 65534, 65534) == 0);
     }, "", true},
    {"a register others may write, read", [](auto, auto f) { chmod(f, 0646); },
     "it may be written by other users (mode 0646)", true},
    {"a sticky folder others may write, read", [](auto d, auto) { chmod(d, 01777); },
     "its folder %1 may be written by other users; %2", true},
    {"a -wal of a third user, read", [](auto, auto f) { Plant(f, "-wal", 0600, 12345); },
     "its file passes.sqlite-wal belongs to another user (uid 12345)", true},
    {"a link a third user laid, read", [](auto d, auto f) {
         const QByteArray real = QByteArray(d) + "/real.sqlite";
         EXPECT_TRUE(rename(f, real) == 0 && symlink(real, f) == 0 && lchown(f, 12345, 12345) == 0);
     }, "the link belongs to another user (uid 12345)", true},
};

TEST(RegisterFileChecks, RefusesARegisterOthersCanChangeAndWhatIsNoRegister)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "files of another user need root to be made";
    for (const FileCase& c : kFiles) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString folder = dir.filePath("desk");
        const RegisterLocation location = ParseRegisterLocation(folder + "/passes.sqlite");
        const QByteArray d = QFile::encodeName(folder), f = QFile::encodeName(location.file);
        ASSERT_EQ(mkdir(d, 0700), 0);
        const mode_t umaskBefore = umask(0);  // a new register's mode is the program's
        { PassRegister made(location); }
        umask(umaskBefore);
        struct stat status {};
        ASSERT_EQ(stat(f, &status), 0);
        EXPECT_EQ(status.st_mode & 07777, 0600u);
        c.arrange(d, f);
        const auto contents = [&f] { QFile in(f); return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray(); };
        const QByteArray before = contents();
        try {
            PassRegister opened(location, c.readOnly ? RegisterAccess::ReadOnly : RegisterAccess::Create);
            EXPECT_STREQ(c.reason, "") << "opened";
        } catch (const TessaryError& error) {
            EXPECT_EQ(error.text(), "The register " + location.file + " cannot be opened: "
                                        + QString::fromUtf8(c.reason).replace("%1", folder).replace("%2", kSharedRegisterHint));
            EXPECT_EQ(contents(), before) << "a refused file was changed";
        }
    }
}

}  // namespace
