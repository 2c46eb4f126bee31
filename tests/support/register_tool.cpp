#include "support/register_tool.h"

#include "support/register_test_support.h"

QProcessEnvironment RegisterEnvironment(const RegisterLocation& location)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TESSARY_REGISTER"),
                       location.kind == RegisterLocation::Kind::SQLite ? location.file : location.Name());
    return environment;
}

std::unique_ptr<QProcess> StartTessaryRegister(const QStringList& arguments, const RegisterLocation& location,
                                               const QByteArray& input)
{
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(RegisterEnvironment(location));
    process->start(QStringLiteral(TESSARY_REGISTER_EXE), arguments);
    if (process->waitForStarted()) {
        process->write(input);
        process->closeWriteChannel();
    }
    return process;
}

ToolRun RunTessaryRegister(const QStringList& arguments, const RegisterLocation& location, const QByteArray& input)
{
    const auto process = StartTessaryRegister(arguments, location, input);
    process->waitForFinished(300000);
    ToolRun run;
    run.status = process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
    run.out = QString::fromUtf8(process->readAllStandardOutput());
    run.err = QString::fromUtf8(process->readAllStandardError());
    return run;
}

RegisterLocation OwnTestRegister(Backend backend, const QString& folder, const QString& database, QString* missing)
{
    RegisterLocation location = TestRegister(backend, folder, missing);
    if (backend == Backend::SQLite || !missing->isEmpty())
        return location;
    const QString failed = ExecOnRegister(location, {QStringLiteral("DROP DATABASE IF EXISTS ") + database,
                                                     QStringLiteral("CREATE DATABASE ") + database});
    if (!failed.isEmpty())
        *missing = failed;
    location.database = database;
    return location;
}
