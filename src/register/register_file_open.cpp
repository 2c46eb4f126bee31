// Opening a SQLite register: a file of this user's that is a register, made
// whole under another name before it takes its own, read without a write
// where the user may only read it.
#include "register/pass_register.h"

#include "register/register_file_checks.h"
#include "register/register_values.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

namespace {

const QString kOpening = QStringLiteral("cannot be opened");

// The register's own folder in the user's data folder is the user's alone.
bool MakePrivateFolder(const QString& folder)
{
    if (QFileInfo(folder).isDir())
        return true;
    return QDir().mkpath(QFileInfo(folder).path())
           && QDir().mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// Every SQLite database file begins so; an empty file is none.
bool StartsAsSQLite(const QString& file)
{
    QFile database(file);
    return database.open(QIODevice::ReadOnly) && database.read(16) == QByteArray("SQLite format 3", 16);
}

}  // namespace

void PassRegister::OpenFile(RegisterAccess access)
{
    const QString file = location_.file;
    if (file.isEmpty()) {
        const QString noDefault = NoDefaultRegisterText();
        throw TessaryError(noDefault.isEmpty() ? QStringLiteral("The register has no file name; ") + RegisterSettingHint()
                                               : noDefault);
    }
    if (!RegisterPathExists(file)) {
        if (access != RegisterAccess::Create)
            Fail(kOpening, QStringLiteral("it does not exist"));
        const QString folder = QFileInfo(file).path();
        if (file == DefaultRegisterFile() && !MakePrivateFolder(folder))
            Fail(kOpening, QStringLiteral("cannot make the folder %1; ").arg(folder) + RegisterSettingHint());
        CreateFile();
    }
    // A desk's register is often read by someone who may not change it; what
    // is read must still be what its owner wrote.
    const QString refusal = access == RegisterAccess::ReadOnly ? RegisterReaderRefusal(file) : RegisterFileRefusal(file);
    if (!refusal.isEmpty())
        Fail(kOpening, refusal);
    if (!QFileInfo(file).isReadable())
        Fail(kOpening, QStringLiteral("it cannot be read"));
    if (!QFileInfo(file).isFile() || !StartsAsSQLite(file))
        Fail(kOpening, QStringLiteral("it is not a register"));
    db_.setDatabaseName(file);
    OpenFileConnection(access == RegisterAccess::ReadOnly);
}

// Built under a name of its own and linked into place whole: a program that
// dies on the way leaves no empty file that would then read as no register.
void PassRegister::CreateFile()
{
    const QString folder = QFileInfo(location_.file).path();
    const QString refusal = RegisterFolderRefusal(folder);
    if (!refusal.isEmpty())
        Fail(kOpening, refusal);
    QString error;
    const QString built = NewPrivateFile(folder, &error);
    if (built.isEmpty())
        Fail(kOpening, QStringLiteral("cannot make a file in %1: %2").arg(folder, error));
    try {
        db_.setDatabaseName(built);
        creating_ = true;
        OpenFileConnection(false);
        OpenSchema(RegisterAccess::Create);
        creating_ = false;
        db_.close();
    } catch (...) {
        creating_ = false;
        db_.close();
        for (const char* suffix : {"", "-wal", "-shm"})
            QFile::remove(built + QLatin1String(suffix));
        throw;
    }
    if (!PutRegisterInPlace(built, location_.file, &error))
        Fail(kOpening, error);
}

void PassRegister::OpenFileConnection(bool readOnly)
{
    // Desks wait for each other's short write transactions instead of failing.
    const QString waiting = QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000");
    db_.setConnectOptions(readOnly ? waiting + QStringLiteral(";QSQLITE_OPEN_READONLY") : waiting);
    if (!db_.open())
        Fail(kOpening, Reason(db_.lastError()));
    if (!readOnly) {
        // Asked before the first write: another program's database stays as it is.
        if (!creating_ && !HasSchemaTable())
            Fail(kOpening, QStringLiteral("it is not a register"));
        Exec(QStringLiteral("PRAGMA journal_mode=WAL"), kOpening);
        return;
    }
    QSqlQuery probe(db_);
    if (probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
        return;
    // A register in WAL mode needs its -shm file to be read, which a reader
    // who may not write in its folder cannot make, nor use when another user
    // left it (its owner's own look-ups do). With no -wal, or an empty one,
    // the file holds every change made: it is read as it stands. A -wal
    // holding changes is a register being written, or one whose writer died:
    // this reader cannot see them.
    const QString file = db_.databaseName();
    if (QFileInfo(file + QStringLiteral("-wal")).size() > 0)
        Fail(kOpening, Reason(probe.lastError()));
    probe = QSqlQuery();
    db_.close();
    db_.setDatabaseName(QStringLiteral("file:") + QString::fromUtf8(QUrl::toPercentEncoding(file, "/"))
                        + QStringLiteral("?mode=ro&immutable=1"));
    db_.setConnectOptions(waiting + QStringLiteral(";QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI"));
    if (!db_.open())
        Fail(kOpening, Reason(db_.lastError()));
}
