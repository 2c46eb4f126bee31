// Gates: passes checked against their records and admitted once.
#include "register/pass_register.h"

#include "register/gate_answer.h"
#include "register/register_schema.h"
#include "register/register_values.h"

#include <QSqlQuery>
#include <QUuid>

namespace {

// Another gate's admission of the same pass took the index meanwhile.
struct AdmissionRaceLost {};

const QString kAdmissionColumns = QStringLiteral(
    "admission_id, pass_key, barcode, run_id, ordinal, admitted_at, gate, lane, user_name, host_name,"
    " undone_at, undone_by, undone_host, undo_reason");

Admission AdmissionFrom(const QSqlQuery& query)
{
    Admission a;
    a.id = query.value(0).toString();
    a.passKey = query.value(1).toString();
    a.barcode = query.value(2).toString();
    a.runId = query.value(3).toString();
    a.ordinal = query.value(4).toLongLong();
    a.at = UtcTime(query.value(5));
    a.gate = query.value(6).toString();
    a.lane = query.value(7).toString();
    a.user = query.value(8).toString();
    a.host = query.value(9).toString();
    a.undone = VoidMark{UtcTime(query.value(10)), query.value(11).toString(), query.value(12).toString(),
                        query.value(13).toString()};
    return a;
}

}  // namespace

ScannedRecords PassRegister::HeldAtGate(const QString& barcode, const QDate& today)
{
    ScannedRecords held;
    RecordFilter filter;
    filter.barcode = barcode;
    held.records = Records(filter);
    // A register older than the gates knows no withdrawals and no admissions.
    if (schemaVersion_ < kAdmissionsSchemaVersion)
        return held;
    QSqlQuery withdrawn = Prepared(QStringLiteral("SELECT valid_on, run_id FROM withdrawn_passes WHERE barcode = ?"));
    withdrawn.setForwardOnly(true);
    withdrawn.addBindValue(barcode);
    Exec(withdrawn, QStringLiteral("cannot be read"));
    while (withdrawn.next())
        held.withdrawn.push_back(WithdrawnPass{withdrawn.value(0).toString().left(10), withdrawn.value(1).toString()});
    withdrawn.finish();
    const PassRecord* todays = AdmittableRecord(held.records, today);
    if (!todays)
        return held;
    QSqlQuery admitted = Prepared(QStringLiteral("SELECT ") + kAdmissionColumns
                                  + QStringLiteral(" FROM admissions WHERE pass_key = ? AND undone_at IS NULL"));
    admitted.setForwardOnly(true);
    admitted.addBindValue(PassKeyOf(todays->validOn, barcode));
    Exec(admitted, QStringLiteral("cannot be read"));
    if (admitted.next())
        held.admitted = AdmissionFrom(admitted);
    admitted.finish();
    return held;
}

Admission PassRegister::InsertAdmission(const PassRecord& record, const GateSetting& gate)
{
    Admission a;
    a.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    a.passKey = PassKeyOf(record.validOn, record.barcode);
    a.barcode = record.barcode;
    a.runId = record.run.id;
    a.ordinal = record.ordinal;
    a.at = QDateTime::currentDateTimeUtc();
    a.gate = gate.name;
    a.lane = gate.lane;
    a.user = gate.user;
    a.host = gate.host;
    QSqlQuery insert = Prepared(QStringLiteral("INSERT INTO admissions (admission_id, pass_key, barcode, run_id, ordinal,"
                                               " admitted_at, gate, lane, user_name, host_name)"
                                               " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (const QVariant& value : {QVariant(a.id), QVariant(a.passKey), QVariant(a.barcode), QVariant(a.runId),
                                  QVariant(a.ordinal), QVariant(UtcText(a.at)), QVariant(a.gate), QVariant(a.lane),
                                  QVariant(a.user), QVariant(a.host)})
        insert.addBindValue(value);
    if (!insert.exec()) {
        const QSqlError error = insert.lastError();
        Rollback();
        if (IsRaceLost(error))
            throw AdmissionRaceLost{};
        Fail(QStringLiteral("cannot record the admission"), Reason(error));
    }
    return a;
}

GateAnswer PassRegister::CheckAtGate(const QString& scanned, const GateSetting& gate, const QDate& today, bool dryRun)
{
    QString passNumber, lane;
    if (!SplitBarcode(scanned, &passNumber, &lane))
        return JudgeScan(scanned, {}, gate, today);
    const QString doing = QStringLiteral("cannot record the admission");
    // A lost race ends that transaction; the next attempt finds the winner's admission.
    for (int attempt = 1;; ++attempt) {
        if (!dryRun)
            Begin();
        try {
            const ScannedRecords held = HeldAtGate(scanned, today);
            GateAnswer answer = JudgeScan(scanned, held, gate, today);
            if (dryRun)
                return answer;
            if (answer.Admits()) {
                answer.admission = InsertAdmission(*AdmittableRecord(held.records, today), gate);
                answer.recorded = true;
            }
            Commit(doing);
            return answer;
        } catch (const AdmissionRaceLost&) {
            Rollback();
            if (attempt == 3)
                Fail(doing, QStringLiteral("other gates kept admitting the same pass"));
        } catch (...) {
            Rollback();
            throw;
        }
    }
}

bool PassRegister::UndoAdmission(const QString& admissionId, const VoidMark& mark)
{
    QSqlQuery undo = Prepared(QStringLiteral("UPDATE admissions SET undone_at = ?, undone_by = ?, undone_host = ?,"
                                             " undo_reason = ? WHERE admission_id = ? AND undone_at IS NULL"));
    for (const QString& value : {UtcText(mark.at), mark.user, mark.host, mark.reason, admissionId})
        undo.addBindValue(value);
    Exec(undo, QStringLiteral("cannot undo the admission"));
    return undo.numRowsAffected() > 0;
}

std::optional<Admission> PassRegister::LastAdmission(const QString& gate)
{
    if (schemaVersion_ < kAdmissionsSchemaVersion)
        return std::nullopt;
    QSqlQuery query = Prepared(QStringLiteral("SELECT ") + kAdmissionColumns
                               + QStringLiteral(" FROM admissions WHERE gate = ? AND undone_at IS NULL"
                                                " ORDER BY admitted_at DESC LIMIT 1"));
    query.setForwardOnly(true);
    query.addBindValue(gate);
    Exec(query, QStringLiteral("cannot be read"));
    if (!query.next())
        return std::nullopt;
    return AdmissionFrom(query);
}

int PassRegister::AdmittedCount(const QString& gate, const QDate& day)
{
    if (schemaVersion_ < kAdmissionsSchemaVersion)
        return 0;
    QSqlQuery query = Prepared(QStringLiteral("SELECT count(*) FROM admissions WHERE gate = ? AND admitted_at >= ?"
                                              " AND admitted_at < ? AND undone_at IS NULL"));
    query.addBindValue(gate);
    query.addBindValue(DayStartUtcText(day));
    query.addBindValue(DayStartUtcText(day.addDays(1)));
    Exec(query, QStringLiteral("cannot be read"));
    return query.next() ? query.value(0).toInt() : 0;
}

std::vector<Admission> PassRegister::Admissions(const QString& barcode)
{
    std::vector<Admission> admissions;
    if (schemaVersion_ < kAdmissionsSchemaVersion)
        return admissions;
    QSqlQuery query = Prepared(QStringLiteral("SELECT ") + kAdmissionColumns
                               + QStringLiteral(" FROM admissions WHERE barcode = ? ORDER BY admitted_at"));
    query.setForwardOnly(true);
    query.addBindValue(barcode);
    Exec(query, QStringLiteral("cannot be read"));
    while (query.next())
        admissions.push_back(AdmissionFrom(query));
    return admissions;
}
