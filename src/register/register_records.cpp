// Reading the register back: the records tessary-register lists, finds and exports.
#include "register/pass_register.h"

#include "register/register_schema.h"
#include "register/register_values.h"

#include <QSqlQuery>

std::vector<PassRecord> PassRegister::Records(const RecordFilter& filter)
{
    QStringList conditions;
    QVariantList values;
    if (!filter.barcode.isEmpty()) {
        conditions << QStringLiteral("p.barcode = ?");
        values << filter.barcode;
    }
    if (!filter.lane.isEmpty()) {
        conditions << QStringLiteral("p.lane = ?");
        values << filter.lane;
    }
    if (filter.from) {
        conditions << QStringLiteral("p.recorded_at >= ?");
        values << DayStartUtcText(*filter.from);
    }
    if (filter.to) {
        conditions << QStringLiteral("p.recorded_at < ?");
        values << DayStartUtcText(filter.to->addDays(1));
    }
    if (filter.issuedOnly)
        conditions << QStringLiteral("p.state = 'issued'");
    QString statement = QStringLiteral(
        "SELECT p.barcode, p.pass_number, p.lane, p.valid_on, p.sheet, p.cell, p.reissue, p.state, p.recorded_at,"
        " p.issued_at, r.run_id, r.started_at, r.user_name, r.host_name, r.program, r.output_kind, r.output_name, ")
        + VoidColumns() + QStringLiteral(", ")
        + (schemaVersion_ >= kRunCorrectionSchemaVersion ? QStringLiteral("r.correction") : QStringLiteral("NULL"))
        + QStringLiteral(", ")
        + (schemaVersion_ >= kRunCopiesSchemaVersion ? QStringLiteral("r.copies") : QStringLiteral("NULL"))
        + QStringLiteral(", ") + JobColumns() + QStringLiteral(", p.ordinal, ")
        + (schemaVersion_ >= kAdmissionsSchemaVersion ? QStringLiteral("a.admitted_at, a.gate") : QStringLiteral("NULL, NULL"))
        + QStringLiteral(" FROM passes p JOIN runs r ON r.run_id = p.run_id") + AdmissionJoin();
    if (!conditions.isEmpty())
        statement += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    statement += QStringLiteral(" ORDER BY p.recorded_at, r.started_at, p.run_id, p.ordinal");
    QSqlQuery query = Prepared(statement);
    query.setForwardOnly(true);
    for (const QVariant& value : values)
        query.addBindValue(value);
    Exec(query, QStringLiteral("cannot be read"));

    std::vector<PassRecord> records;
    while (query.next()) {
        PassRecord record;
        record.barcode = query.value(0).toString();
        record.passNumber = query.value(1).toString();
        record.lane = query.value(2).toString();
        record.validOn = query.value(3).toString();
        record.sheet = query.value(4).toInt();
        record.cell = query.value(5).toInt();
        record.reissue = query.value(6).toInt() != 0;
        record.pending = query.value(7).toString() != QLatin1String("issued");
        record.recordedAt = UtcTime(query.value(8));
        record.issuedAt = UtcTime(query.value(9));
        record.run.id = query.value(10).toString();
        record.run.started = UtcTime(query.value(11));
        record.run.user = query.value(12).toString();
        record.run.host = query.value(13).toString();
        record.run.program = query.value(14).toString();
        record.run.output = RunOutput{query.value(15).toString() == QLatin1String("file"), query.value(16).toString()};
        record.voided = VoidMark{UtcTime(query.value(17)), query.value(18).toString(), query.value(19).toString(),
                                 query.value(20).toString()};
        record.run.output.correction = query.value(21).toString();
        record.run.output.copies = query.value(22).toInt();
        record.run.output.job = query.value(23).toString();
        record.run.output.server = query.value(24).toString();
        record.ordinal = query.value(25).toLongLong();
        record.admittedAt = UtcTime(query.value(26));
        record.admittedGate = query.value(27).toString();
        records.push_back(std::move(record));
    }
    return records;
}

QString PassRegister::JobColumns() const
{
    return schemaVersion_ >= kRunJobSchemaVersion ? QStringLiteral("r.job_id, r.print_server")
                                                  : QStringLiteral("NULL, NULL");
}

// The admission in force of each record, on a register that keeps them.
QString PassRegister::AdmissionJoin() const
{
    return schemaVersion_ >= kAdmissionsSchemaVersion
               ? QStringLiteral(" LEFT JOIN admissions a ON a.run_id = p.run_id AND a.ordinal = p.ordinal"
                                " AND a.undone_at IS NULL")
               : QString();
}

QString PassRegister::VoidColumns() const
{
    return schemaVersion_ >= kVoidMarksSchemaVersion
               ? QStringLiteral("p.voided_at, p.voided_by, p.voided_host, p.void_reason")
               : QStringLiteral("NULL, NULL, NULL, NULL");
}

std::optional<RunInfo> PassRegister::FindRun(const QString& runId)
{
    QSqlQuery query = Prepared(QStringLiteral("SELECT started_at, user_name, host_name, program, output_kind,"
                                              " output_name, process_id FROM runs WHERE run_id = ?"));
    query.setForwardOnly(true);
    query.addBindValue(runId);
    Exec(query, QStringLiteral("cannot be read"));
    if (!query.next())
        return std::nullopt;
    RunInfo run;
    run.id = runId;
    run.started = UtcTime(query.value(0));
    run.user = query.value(1).toString();
    run.host = query.value(2).toString();
    run.program = query.value(3).toString();
    run.output = RunOutput{query.value(4).toString() == QLatin1String("file"), query.value(5).toString()};
    run.processId = query.value(6).toLongLong();
    return run;
}
