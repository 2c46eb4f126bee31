// Recording runs: their passes taken as pending, then issued or withdrawn.
#include "register/pass_register.h"

#include "register/register_values.h"

#include <QSqlQuery>
#include <algorithm>
#include <optional>

namespace {

// A lost race for a first issue: another run's record took the barcode meanwhile.
struct RaceLost {};

QString ValidOnText(const CalendarInstant& i)
{
    return QStringLiteral("%1-%2-%3T%4:%5:%6")
        .arg(i.year, 4, 10, QLatin1Char('0'))
        .arg(i.month, 2, 10, QLatin1Char('0'))
        .arg(i.day, 2, 10, QLatin1Char('0'))
        .arg(i.hour, 2, 10, QLatin1Char('0'))
        .arg(i.minute, 2, 10, QLatin1Char('0'))
        .arg(i.second, 2, 10, QLatin1Char('0'));
}

}  // namespace

void PassRegister::InsertPasses(const RunInfo& run, const std::vector<RunPass>& passes, const QSet<QString>& earlier,
                                bool issued, const QDateTime& recordedAt)
{
    const QString doing = QStringLiteral("cannot record the run's passes");
    QSqlQuery runRow = Prepared(QStringLiteral("INSERT INTO runs (run_id, started_at, user_name, host_name, program,"
                                               " output_kind, output_name, process_id, correction, copies)"
                                               " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (const QString& value : {run.id, UtcText(run.started), run.user, run.host, run.program,
                                 run.output.toFile ? QStringLiteral("file") : QStringLiteral("queue"), run.output.name})
        runRow.addBindValue(value);
    runRow.addBindValue(run.processId > 0 ? QVariant(run.processId) : QVariant(QMetaType::fromType<qint64>()));
    runRow.addBindValue(run.output.correction.isEmpty() ? QVariant(QMetaType::fromType<QString>())
                                                        : QVariant(run.output.correction));
    runRow.addBindValue(run.output.copies > 0 ? QVariant(run.output.copies) : QVariant(QMetaType::fromType<int>()));
    Exec(runRow, doing);

    // Many rows a statement: one run may hold thousands of passes. 50 rows of
    // 13 values stay below SQLite's oldest limit of 999 bound values.
    constexpr int kRowsPerInsert = 50;
    constexpr int kColumns = 13;
    const auto insertOf = [this](int rows) {
        QStringList groups;
        for (int r = 0; r < rows; ++r)
            groups << QStringLiteral("(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        return Prepared(QStringLiteral("INSERT INTO passes (run_id, ordinal, pass_key, barcode, pass_number, lane,"
                                       " valid_on, sheet, cell, reissue, state, recorded_at, issued_at) VALUES ")
                        + groups.join(QStringLiteral(", ")));
    };
    const QString recorded = UtcText(recordedAt);
    const QVariant issuedAt = issued ? QVariant(recorded) : QVariant(QMetaType::fromType<QString>());
    QSet<QString> taken = earlier;  // a barcode twice in one run: its second pass is a re-issue
    std::optional<QSqlQuery> fullInsert;
    for (std::size_t first = 0; first < passes.size(); first += kRowsPerInsert) {
        const int rows = int(std::min<std::size_t>(kRowsPerInsert, passes.size() - first));
        if (rows == kRowsPerInsert && !fullInsert)
            fullInsert = insertOf(rows);
        QSqlQuery partInsert = rows == kRowsPerInsert ? QSqlQuery() : insertOf(rows);
        QSqlQuery& insert = rows == kRowsPerInsert ? *fullInsert : partInsert;
        for (int r = 0; r < rows; ++r) {
            const RunPass& pass = passes[first + std::size_t(r)];
            const QString key = Key(pass);
            const bool reissue = taken.contains(key);
            taken.insert(key);
            const int at = r * kColumns;
            insert.bindValue(at + 0, run.id);
            insert.bindValue(at + 1, qint64(first) + r);
            insert.bindValue(at + 2, key);
            insert.bindValue(at + 3, pass.barcode);
            insert.bindValue(at + 4, pass.passNumber);
            insert.bindValue(at + 5, pass.lane);
            insert.bindValue(at + 6, ValidOnText(pass.validOn));
            insert.bindValue(at + 7, pass.sheet);
            insert.bindValue(at + 8, pass.cell);
            insert.bindValue(at + 9, reissue ? 1 : 0);
            insert.bindValue(at + 10, issued ? kIssued : kPending);
            insert.bindValue(at + 11, recorded);
            insert.bindValue(at + 12, issuedAt);
        }
        if (!insert.exec()) {
            const QSqlError error = insert.lastError();
            Rollback();
            if (IsRaceLost(error))
                throw RaceLost{};
            Fail(doing, Reason(error));
        }
    }
}

void PassRegister::Reserve(const RunInfo& run, const std::vector<RunPass>& passes, const ReprintAllowance& allowance)
{
    QStringList keys;
    keys.reserve(qsizetype(passes.size()));
    for (const RunPass& pass : passes)
        keys << Key(pass);
    // A lost race ends that transaction; the next attempt finds the winner's records.
    for (int attempt = 1;; ++attempt) {
        Begin();
        try {
            const EarlierIssues found = Found(keys);
            for (const QString& key : found.keys) {
                if (!allowance.Covers(key))
                    throw PassesIssuedMeanwhile(found);
            }
            InsertPasses(run, passes, found.keys, false, QDateTime::currentDateTimeUtc());
            Commit(QStringLiteral("cannot record the run's passes"));
            return;
        } catch (const RaceLost&) {
            Rollback();
            if (attempt == 3)
                Fail(QStringLiteral("cannot record the run's passes"),
                     QStringLiteral("other runs kept taking the same passes"));
        } catch (...) {
            Rollback();
            throw;
        }
    }
}

void PassRegister::Confirm(const QString& runId, qint64 handedOn)
{
    const QString doing = QStringLiteral("cannot mark the run's passes printed; they stay recorded as pending");
    Begin();
    try {
        QSqlQuery issue = Prepared(
            QStringLiteral("UPDATE passes SET state = ?, issued_at = ? WHERE run_id = ? AND ordinal < ?"));
        issue.addBindValue(kIssued);
        issue.addBindValue(UtcText(QDateTime::currentDateTimeUtc()));
        issue.addBindValue(runId);
        issue.addBindValue(handedOn);
        Exec(issue, doing);
        DeletePending(runId, doing);
        Commit(doing);
    } catch (...) {
        Rollback();
        throw;
    }
}

void PassRegister::NoteJob(const QString& runId, const QString& job, const QString& server)
{
    QSqlQuery note = Prepared(QStringLiteral("UPDATE runs SET job_id = ?, print_server = ? WHERE run_id = ?"));
    note.addBindValue(job);
    note.addBindValue(server.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(server));
    note.addBindValue(runId);
    Exec(note, QStringLiteral("cannot record the run's job"));
}

int PassRegister::WithdrawPending(const QString& runId)
{
    const QString doing = QStringLiteral("cannot withdraw the run's pending passes");
    Begin();
    try {
        const int withdrawn = DeletePending(runId, doing);
        Commit(doing);
        return withdrawn;
    } catch (...) {
        Rollback();
        throw;
    }
}

int PassRegister::DeletePending(const QString& runId, const QString& doing)
{
    // A withdrawn pass stays known as withdrawn: a gate tells it from one never issued.
    QSqlQuery keep = Prepared(QStringLiteral(
        "INSERT INTO withdrawn_passes (pass_key, barcode, lane, valid_on, run_id, withdrawn_at)"
        " SELECT pass_key, barcode, lane, valid_on, run_id, ? FROM passes WHERE run_id = ? AND state = ?"));
    keep.addBindValue(UtcText(QDateTime::currentDateTimeUtc()));
    keep.addBindValue(runId);
    keep.addBindValue(kPending);
    Exec(keep, doing);
    QSqlQuery withdraw = Prepared(QStringLiteral("DELETE FROM passes WHERE run_id = ? AND state = ?"));
    withdraw.addBindValue(runId);
    withdraw.addBindValue(kPending);
    Exec(withdraw, doing);
    const int withdrawn = withdraw.numRowsAffected();
    QSqlQuery emptyRun = Prepared(QStringLiteral(
        "DELETE FROM runs WHERE run_id = ? AND NOT EXISTS (SELECT 1 FROM passes WHERE passes.run_id = ?)"));
    emptyRun.addBindValue(runId);
    emptyRun.addBindValue(runId);
    Exec(emptyRun, doing);
    return withdrawn;
}
