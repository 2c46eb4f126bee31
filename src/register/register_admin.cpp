// Looking after the register: voiding passes, pruning old records, copying
// a SQLite register aside.
#include "register/pass_register.h"

#include "register/register_file_checks.h"
#include "register/register_values.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>

VoidOutcome PassRegister::Void(const QStringList& barcodes, const VoidMark& mark)
{
    const QString doing = QStringLiteral("cannot mark the passes void");
    VoidOutcome outcome;
    Begin();
    try {
        QSqlQuery latest = Prepared(QStringLiteral(
            "SELECT pass_key FROM passes WHERE barcode = ? ORDER BY valid_on DESC, recorded_at DESC LIMIT 1"));
        QSqlQuery markVoid = Prepared(QStringLiteral("UPDATE passes SET voided_at = ?, voided_by = ?, voided_host = ?,"
                                                  " void_reason = ? WHERE pass_key = ? AND voided_at IS NULL"));
        for (const QString& barcode : barcodes) {
            latest.addBindValue(barcode);
            Exec(latest, QStringLiteral("cannot be read"));
            const QString key = latest.next() ? latest.value(0).toString() : QString();
            latest.finish();
            if (key.isEmpty()) {
                outcome.missing << barcode;
                continue;
            }
            for (const QString& value : {UtcText(mark.at), mark.user, mark.host, mark.reason, key})
                markVoid.addBindValue(value);
            Exec(markVoid, doing);
            (markVoid.numRowsAffected() > 0 ? outcome.voided : outcome.alreadyVoid) << barcode;
        }
        if (!outcome.missing.isEmpty()) {
            Rollback();
            return VoidOutcome{outcome.missing, {}, {}};
        }
        Commit(doing);
    } catch (...) {
        Rollback();
        throw;
    }
    return outcome;
}

int PassRegister::Prune(const QDate& before, bool remove)
{
    const QString doing = QStringLiteral("cannot remove old records");
    const QString passes = QStringLiteral(" FROM passes WHERE state = ? AND recorded_at < ?");
    if (!remove) {
        QSqlQuery count = Prepared(QStringLiteral("SELECT count(*)") + passes);
        count.addBindValue(kIssued);
        count.addBindValue(DayStartUtcText(before));
        Exec(count, QStringLiteral("cannot be read"));
        return count.next() ? count.value(0).toInt() : 0;
    }
    Begin();
    try {
        QSqlQuery prune = Prepared(QStringLiteral("DELETE") + passes);
        prune.addBindValue(kIssued);
        prune.addBindValue(DayStartUtcText(before));
        Exec(prune, doing);
        const int removed = prune.numRowsAffected();
        Exec(QStringLiteral("DELETE FROM runs WHERE NOT EXISTS (SELECT 1 FROM passes WHERE passes.run_id = runs.run_id)"),
             doing);
        // Admissions go with the records they let in; withdrawals with their day.
        Exec(QStringLiteral("DELETE FROM admissions WHERE NOT EXISTS (SELECT 1 FROM passes p"
                            " WHERE p.run_id = admissions.run_id AND p.ordinal = admissions.ordinal)"),
             doing);
        QSqlQuery withdrawn = Prepared(QStringLiteral("DELETE FROM withdrawn_passes WHERE withdrawn_at < ?"));
        withdrawn.addBindValue(DayStartUtcText(before));
        Exec(withdrawn, doing);
        Commit(doing);
        return removed;
    } catch (...) {
        Rollback();
        throw;
    }
}

// VACUUM INTO reads one snapshot of the register, as a run sees it, while
// desks go on writing; it fills the empty private file made for it, which
// then takes the name only if nothing else has it.
void PassRegister::Backup(const QString& file)
{
    const QString doing = QStringLiteral("cannot be backed up to %1").arg(file);
    if (postgres_)
        Fail(doing, QStringLiteral("a PostgreSQL register is backed up with pg_dump"));
    QString error;
    const QString built = NewPrivateFile(QFileInfo(file).absolutePath(), &error);
    if (built.isEmpty())
        Fail(doing, QStringLiteral("cannot make a file in %1: %2").arg(QFileInfo(file).absolutePath(), error));
    try {
        QSqlQuery copy = Prepared(QStringLiteral("VACUUM INTO ?"));
        copy.addBindValue(built);
        Exec(copy, doing);
    } catch (...) {
        QFile::remove(built);
        throw;
    }
    // VACUUM INTO leaves its file unsynced: it is made durable before it takes
    // the name, so that a crash never leaves a backup of that name half written.
    if (!SyncFile(built, &error)) {
        QFile::remove(built);
        Fail(doing, error);
    }
    if (!PutNewFileInPlace(built, file, &error))
        Fail(doing, error);
}
