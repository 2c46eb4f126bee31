#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <memory>

// A PostgreSQL server of the test's own: initdb in a temporary folder, the
// socket in that folder and no TCP port, run as an unprivileged user (nobody)
// when the test runs as root, and stopped by its process id when the object
// goes. No system database or service is used or changed.
class PrivatePostgres {
public:
    PrivatePostgres();
    ~PrivatePostgres();
    PrivatePostgres(const PrivatePostgres&) = delete;
    PrivatePostgres& operator=(const PrivatePostgres&) = delete;

    // Why this machine cannot run one (no server binaries), or "" when it can.
    static QString MissingPrerequisite();

    // Makes the cluster, starts the server, creates the database "passes".
    // Returns "" on success, else what went wrong.
    QString Start();
    void Stop();

    // postgresql://tessary@<socket folder, percent-encoded>:5432/passes
    QString Uri() const;
    QString SocketFolder() const { return folder_.path(); }

private:
    QString RunTool(const QString& tool, const QStringList& arguments, bool asServerUser) const;

    QTemporaryDir folder_;
    QProcess server_;
};
