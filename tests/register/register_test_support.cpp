#include "register/register_test_support.h"

#include "support/private_postgres.h"

#include <QCoreApplication>
#include <QDir>
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
