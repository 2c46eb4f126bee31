#include "register/pass_register.h"

#include "register/register_schema.h"
#include "register/register_values.h"

#include <QCoreApplication>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QSysInfo>
#include <QUuid>
#include <atomic>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

namespace {

// The user the system knows this process by: the environment's $USER is
// whatever the caller set.
QString UserName()
{
#ifdef Q_OS_UNIX
    const uid_t uid = geteuid();
    if (const passwd* entry = getpwuid(uid))
        return QString::fromLocal8Bit(entry->pw_name);
    return QString::number(uid);
#else
    const QString value = qEnvironmentVariable("USERNAME");
    return value.isEmpty() ? QStringLiteral("unknown") : value;
#endif
}

}  // namespace

RunInfo NewRunInfo(const QString& program)
{
    RunInfo run;
    run.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    run.started = QDateTime::currentDateTimeUtc();
    run.user = UserName();
    run.host = QSysInfo::machineHostName();
    run.program = program;
    run.processId = QCoreApplication::applicationPid();
    return run;
}

QString PassRegister::Key(const RunPass& pass)
{
    return QString::number(NumberingCycle(pass.validOn)) + QLatin1Char('/') + pass.barcode;
}

PassRegister::PassRegister(const RegisterLocation& location, RegisterAccess access) : location_(location)
{
    static std::atomic<int> connections{0};
    connectionName_ = QStringLiteral("tessary-register-%1").arg(++connections);
    postgres_ = location.kind == RegisterLocation::Kind::PostgreSQL;
    const QString driver = postgres_ ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE");
    if (!QSqlDatabase::isDriverAvailable(driver))
        Fail(QStringLiteral("cannot be opened"), QStringLiteral("Qt's database driver %1 is not installed").arg(driver));
    db_ = QSqlDatabase::addDatabase(driver, connectionName_);
    if (postgres_) {
        db_.setHostName(location.host);
        if (location.port > 0)
            db_.setPort(location.port);
        db_.setUserName(location.user);
        db_.setPassword(location.password);
        db_.setDatabaseName(location.database);
        db_.setConnectOptions(location.connectOptions);
        if (!db_.open())
            Fail(QStringLiteral("cannot be opened"), Reason(db_.lastError()));
        if (access == RegisterAccess::ReadOnly)
            Exec(QStringLiteral("SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY"),
                 QStringLiteral("cannot be opened"));
    } else {
        OpenFile(access);
    }
    OpenSchema(access);
}

PassRegister::~PassRegister()
{
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connectionName_);
}

void PassRegister::Fail(const QString& doing, const QString& reason)
{
    throw TessaryError(QStringLiteral("The register %1 %2: %3").arg(Name(), doing, reason));
}

// A failed statement ends its transaction at once: PostgreSQL frees the
// statements still open only outside a failed transaction.
QSqlQuery PassRegister::Prepared(const QString& statement)
{
    QSqlQuery query(db_);
    if (!query.prepare(statement)) {
        const QSqlError error = query.lastError();
        Rollback();
        Fail(QStringLiteral("cannot be used"), Reason(error));
    }
    return query;
}

void PassRegister::Exec(QSqlQuery& query, const QString& doing)
{
    if (!query.exec()) {
        const QSqlError error = query.lastError();
        Rollback();
        Fail(doing, Reason(error));
    }
}

void PassRegister::Exec(const QString& statement, const QString& doing)
{
    QSqlQuery query(db_);
    if (!query.exec(statement)) {
        const QSqlError error = query.lastError();
        Rollback();
        Fail(doing, Reason(error));
    }
}

void PassRegister::Begin()
{
    // SQLite: take the write lock now, so that the check below and the insert
    // after it see the same register.
    Exec(postgres_ ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE"),
         QStringLiteral("cannot be written"));
    inTransaction_ = true;
}

void PassRegister::Commit(const QString& doing)
{
    Exec(QStringLiteral("COMMIT"), doing);
    inTransaction_ = false;
}

void PassRegister::Rollback()
{
    if (!inTransaction_)
        return;
    inTransaction_ = false;
    // Nothing of the transaction is kept whether or not this reaches the
    // database: an unanswered transaction ends with its connection.
    QSqlQuery(db_).exec(QStringLiteral("ROLLBACK"));
}

bool PassRegister::HasSchemaTable()
{
    if (postgres_)
        return db_.tables().contains(QStringLiteral("register_schema"));
    // Asked, not taken from tables(), which answers an unreadable file with no tables.
    QSqlQuery query(db_);
    if (!query.exec(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'register_schema'")))
        Fail(QStringLiteral("cannot be read"), Reason(query.lastError()));
    return query.next();
}

// A SQLite register gets its tables while it is built (CreateFile); a
// PostgreSQL database gets them when a printing program first opens it.
void PassRegister::OpenSchema(RegisterAccess access)
{
    const QString doing = QStringLiteral("cannot be set up");
    const auto version = [this, &doing] {
        QSqlQuery query(db_);
        if (!query.exec(QStringLiteral("SELECT version FROM register_schema")))
            Fail(doing, Reason(query.lastError()));
        return query.next() ? query.value(0).toInt() : 0;
    };
    const auto newer = [this](int found, int known) {
        Fail(QStringLiteral("cannot be used"),
             QStringLiteral("its tables are of version %1, newer than this program's %2").arg(found).arg(known));
    };
    const int known = RegisterSchemaVersion();
    const bool hasSchema = HasSchemaTable();
    const bool mayCreate = creating_ || (postgres_ && access == RegisterAccess::Create);
    if (!hasSchema && !mayCreate)
        Fail(QStringLiteral("cannot be opened"), postgres_ ? QStringLiteral("it holds no register yet")
                                                           : QStringLiteral("it is not a register"));
    if (hasSchema && access == RegisterAccess::ReadOnly) {
        // An older register reads as it is: its upgrade is for a program that writes.
        schemaVersion_ = version();
        if (schemaVersion_ > known)
            newer(schemaVersion_, known);
        return;
    }
    schemaVersion_ = known;
    if (hasSchema && version() == known)
        return;
    Begin();
    try {
        // Two programs opening a new register at once must not both create it;
        // the one that waited is not to be told on standard error that the table exists.
        if (postgres_) {
            Exec(QStringLiteral("SELECT pg_advisory_xact_lock(2026120901)"), doing);
            Exec(QStringLiteral("SET LOCAL client_min_messages TO WARNING"), doing);
        }
        Exec(QStringLiteral("CREATE TABLE IF NOT EXISTS register_schema (version INTEGER NOT NULL)"), doing);
        const int found = version();
        if (found > known)
            newer(found, known);
        const std::vector<QStringList>& steps = RegisterSchemaSteps();
        for (int step = found; step < known; ++step) {
            for (const QString& statement : steps[std::size_t(step)])
                Exec(statement, doing);
        }
        if (found < known) {
            Exec(found == 0 ? QStringLiteral("INSERT INTO register_schema (version) VALUES (%1)").arg(known)
                            : QStringLiteral("UPDATE register_schema SET version = %1").arg(known),
                 doing);
        }
        Commit(doing);
    } catch (...) {
        Rollback();
        throw;
    }
}

EarlierIssues PassRegister::LookUp(const std::vector<RunPass>& passes)
{
    QStringList keys;
    keys.reserve(qsizetype(passes.size()));
    for (const RunPass& pass : passes)
        keys << Key(pass);
    return Found(keys);
}

EarlierIssues PassRegister::Found(const QStringList& keys)
{
    EarlierIssues found;
    if (keys.isEmpty())
        return found;
    // One statement for the whole run: the keys go in as one text.
    const QString matching = postgres_ ? QStringLiteral("p.pass_key = ANY (string_to_array(?, ','))")
                                       : QStringLiteral("p.pass_key IN (SELECT value FROM json_each(?))");
    QSqlQuery query = Prepared(QStringLiteral("SELECT p.pass_key, p.state, COALESCE(p.issued_at, p.recorded_at),"
                                              " r.output_kind, r.output_name, r.host_name, ")
                               + VoidColumns() + QStringLiteral(", ") + JobColumns()
                               + QStringLiteral(" FROM passes p JOIN runs r ON r.run_id = p.run_id WHERE ") + matching);
    query.setForwardOnly(true);
    query.addBindValue(postgres_ ? keys.join(QLatin1Char(','))
                                 : QStringLiteral("[\"") + keys.join(QStringLiteral("\",\"")) + QStringLiteral("\"]"));
    Exec(query, QStringLiteral("cannot be read"));
    QHash<QString, bool> issuedByKey;  // key -> some record of it was handed on
    QHash<QString, bool> voidByKey;    // key -> every record of it is void (a re-issue after a void is not)
    QString firstTime;
    while (query.next()) {
        const QString key = query.value(0).toString();
        issuedByKey[key] = issuedByKey.value(key) || query.value(1).toString() == kIssued;
        voidByKey[key] = voidByKey.value(key, true) && !query.value(6).isNull();
        const QString time = query.value(2).toString();
        if (firstTime.isEmpty() || time < firstTime) {
            firstTime = time;
            found.firstOutput = RunOutput{query.value(3).toString() == QLatin1String("file"), query.value(4).toString()};
            found.firstOutput.job = query.value(10).toString();
            found.firstOutput.server = query.value(11).toString();
            found.firstHost = query.value(5).toString();
        }
    }
    query.finish();
    if (issuedByKey.isEmpty())
        return found;
    found.firstAt = QDateTime::fromString(firstTime, Qt::ISODateWithMs).toLocalTime();
    for (const QString& key : keys) {
        const auto entry = issuedByKey.constFind(key);
        if (entry == issuedByKey.constEnd())
            continue;
        ++found.passes;
        found.mayHavePrinted += entry.value() ? 0 : 1;
        found.voided += voidByKey.value(key) ? 1 : 0;
        found.keys.insert(key);
    }
    return found;
}
