// A register file is used only when no other user can change it and it is a
// register: anything else at its name is left as it is.
#include "register/pass_register.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using Arrange = void (*)(const char* folder, const char* file);

void Write(const char* file, const char* text)
{
    QFile out(QFile::decodeName(file));
    EXPECT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(text) >= 0);
}

// A SQLite database, but not a register: the register's own with its schema table gone.
void OtherProgramsDatabase(const char* file)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        db.setDatabaseName(QFile::decodeName(file));
        EXPECT_TRUE(db.open() && QSqlQuery(db).exec(QStringLiteral("DROP TABLE register_schema")));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other"));
}

struct FileCase {
    const char* what;
    Arrange arrange;
    const char* reason;  // "%1" is the register's folder; empty: opened
};

const FileCase kFiles[] = {
    {"a register of this user", [](const char*, const char*) {}, ""},
    {"a register of another user", [](const char*, const char* f) { chown(f, 65534, 65534); },
     "it belongs to another user (uid 65534)"},
    {"a register others may write", [](const char*, const char* f) { chmod(f, 0646); },
     "it may be written by other users (mode 0646)"},
    {"a register its group may write", [](const char*, const char* f) { chmod(f, 0660); },
     "it may be written by other users (mode 0660)"},
    {"a folder of another user", [](const char* d, const char*) { chown(d, 65534, 65534); },
     "its folder %1 belongs to another user (uid 65534)"},
    {"a folder others may write", [](const char* d, const char*) { chmod(d, 0777); },
     "its folder %1 may be written by other users"},
    {"a sticky folder others may write", [](const char* d, const char*) { chmod(d, 01777); }, ""},
    {"a link to a register of another user",
     [](const char* d, const char* f) {
         const QByteArray theirs = QByteArray(d) + "/theirs.sqlite";
         rename(f, theirs.constData());
         chown(theirs.constData(), 65534, 65534);
         symlink(theirs.constData(), f);
     },
     "it is a link to a file of another user (uid 65534)"},
    {"an empty file", [](const char*, const char* f) { Write(f, ""); }, "it is not a register"},
    {"a text file", [](const char*, const char* f) { Write(f, "barcode,lane\n"); }, "it is not a register"},
    {"a database of another program", [](const char*, const char* f) { OtherProgramsDatabase(f); },
     "it is not a register"},
};

QByteArray Contents(const QString& file)
{
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}
TEST(RegisterFileChecks, RefusesARegisterOthersCanChangeAndWhatIsNoRegister)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "files of another user need root to be made";
    for (const FileCase& c : kFiles) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString folder = dir.filePath("desk");
        RegisterLocation location;
        location.file = folder + "/passes.sqlite";
        ASSERT_EQ(mkdir(QFile::encodeName(folder).constData(), 0700), 0);
        const mode_t umaskBefore = umask(0);  // a new register's mode is the program's
        { PassRegister made(location); }
        umask(umaskBefore);
        struct stat status {};
        ASSERT_EQ(stat(QFile::encodeName(location.file).constData(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, 0600u);
        c.arrange(QFile::encodeName(folder).constData(), QFile::encodeName(location.file).constData());
        const QByteArray before = Contents(location.file);
        try {
            PassRegister opened(location);
            EXPECT_STREQ(c.reason, "") << "opened";
        } catch (const TessaryError& error) {
            EXPECT_EQ(error.text(), "The register " + location.file + " cannot be opened: "
                                        + QString::fromUtf8(c.reason).replace(QLatin1String("%1"), folder));
            EXPECT_EQ(Contents(location.file), before) << "a refused file was changed";
        }
    }
}

}  // namespace
