#include "support/register_test_support.h"

#include "register/pass_register.h"
#include "register/register_values.h"
#include "support/private_postgres.h"

#include <QCoreApplication>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <memory>

namespace {

std::unique_ptr<PrivatePostgres> sharedServer;
QString sharedServerMissing;
bool sharedServerTried = false;

}  // namespace

PrivatePostgres* SharedPostgres(QString* missing)
{
    if (!sharedServerTried) {
        sharedServerTried = true;
        sharedServerMissing = PrivatePostgres::MissingPrerequisite();
        if (sharedServerMissing.isEmpty()) {
            sharedServer = std::make_unique<PrivatePostgres>();
            sharedServerMissing = sharedServer->Start();
            if (!sharedServerMissing.isEmpty())
                sharedServer.reset();
            // Stopped by its process id while the application still runs.
            qAddPostRoutine([] { sharedServer.reset(); });
        }
    }
    if (missing)
        *missing = sharedServerMissing;
    return sharedServer.get();
}

RegisterLocation TestRegister(Backend backend, const QString& folder, QString* missing)
{
    if (backend == Backend::SQLite)
        return ParseRegisterLocation(QDir(folder).filePath(QStringLiteral("passes.sqlite")));
    PrivatePostgres* server = SharedPostgres(missing);
    return server ? ParseRegisterLocation(server->Uri()) : RegisterLocation{};
}

QString ExecOnRegister(const RegisterLocation& location, const QStringList& statements)
{
    static int connections = 0;
    const QString name = QStringLiteral("test-exec-%1").arg(++connections);
    QString error;
    {
        const bool postgres = location.kind == RegisterLocation::Kind::PostgreSQL;
        QSqlDatabase db = QSqlDatabase::addDatabase(postgres ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(postgres ? location.database : location.file);
        db.setHostName(location.host);
        db.setPort(location.port);
        db.setUserName(location.user);
        if (!db.open())
            error = db.lastError().text();
        for (const QString& statement : statements) {
            QSqlQuery query(db);
            if (error.isEmpty() && !query.exec(statement))
                error = statement + QStringLiteral(": ") + query.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return error;
}

QString RecordIssuedEarlier(const RegisterLocation& location, const RunInfo& run, const std::vector<RunPass>& passes)
{
    try {
        PassRegister passRegister(location);
        passRegister.Reserve(run, passes, ReprintAllowance{true, {}});
        passRegister.Confirm(run.id, qint64(passes.size()));
    } catch (const TessaryError& error) {
        return error.text();
    }
    const QString started = UtcText(run.started);
    return ExecOnRegister(location, {QStringLiteral("UPDATE passes SET recorded_at = '%1', issued_at = '%1' WHERE run_id = '%2'")
                                         .arg(started, run.id)});
}
