#include "register/gate_answer.h"

#include <QRegularExpression>
#include <QSet>
#include <algorithm>

namespace {

QString LocalTimeText(const QDateTime& utc)
{
    return utc.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString PassText(const GateAnswer& answer)
{
    return QStringLiteral("pass %1 of lane %2").arg(answer.passNumber, answer.lane);
}

}  // namespace

GateSetting GateOf(const QString& name, const QString& lane)
{
    const RunInfo self = NewRunInfo(QString());
    return GateSetting{name, lane, self.user, self.host};
}

QString ReasonKey(GateReason reason)
{
    switch (reason) {
    case GateReason::Admit: return QStringLiteral("admit");
    case GateReason::NotABarcode: return QStringLiteral("not-a-barcode");
    case GateReason::NeverIssued: return QStringLiteral("never-issued");
    case GateReason::OtherLane: return QStringLiteral("other-lane");
    case GateReason::OtherDay: return QStringLiteral("other-day");
    case GateReason::Withdrawn: return QStringLiteral("withdrawn");
    case GateReason::Pending: return QStringLiteral("pending");
    case GateReason::Void: return QStringLiteral("void");
    case GateReason::AlreadyAdmitted: return QStringLiteral("already-admitted");
    case GateReason::CannotCheck: break;
    }
    return QStringLiteral("cannot-check");
}

QString Headline(const GateAnswer& answer)
{
    switch (answer.reason) {
    case GateReason::Admit: return QStringLiteral("ADMIT");
    case GateReason::NotABarcode: return QStringLiteral("NOT OUR BARCODE");
    case GateReason::NeverIssued: return QStringLiteral("NEVER ISSUED");
    case GateReason::OtherLane: return QStringLiteral("LANE %1, NOT THIS LANE").arg(answer.lane);
    case GateReason::OtherDay: return QStringLiteral("NOT VALID TODAY");
    case GateReason::Withdrawn: return QStringLiteral("WITHDRAWN");
    case GateReason::Pending: return QStringLiteral("NOT CONFIRMED PRINTED");
    case GateReason::Void: return QStringLiteral("VOID");
    case GateReason::AlreadyAdmitted: return QStringLiteral("ALREADY ADMITTED");
    case GateReason::CannotCheck: break;
    }
    return QStringLiteral("CANNOT CHECK");
}

QString Basis(const GateAnswer& a)
{
    switch (a.reason) {
    case GateReason::Admit:
        return QStringLiteral("%1, valid today, run %2").arg(PassText(a), a.runId)
               + (a.recorded ? QStringLiteral(", admitted %1 at %2").arg(LocalTimeText(a.admission.at), a.admission.gate)
                             : QStringLiteral(" (not recorded: a dry run)"));
    case GateReason::NotABarcode:
        return QStringLiteral("\"%1\" is not a pass barcode: eight digits of pass number, then two of lane").arg(a.scanned);
    case GateReason::NeverIssued:
        return QStringLiteral("%1 was never issued").arg(PassText(a));
    case GateReason::OtherLane:
        return QStringLiteral("%1 is not for this gate's lane %2").arg(PassText(a), a.gateLane);
    case GateReason::OtherDay:
        return QStringLiteral("%1 is valid on %2, not today").arg(PassText(a), a.otherDays.join(QStringLiteral(", ")));
    case GateReason::Withdrawn:
        return QStringLiteral("%1 was withdrawn: run %2 ended before handing it on").arg(PassText(a), a.runId);
    case GateReason::Pending:
        return QStringLiteral("%1 is pending: run %2 never confirmed it was printed").arg(PassText(a), a.runId);
    case GateReason::Void:
        return QStringLiteral("%1 was voided %2 by %3@%4: %5")
            .arg(PassText(a), LocalTimeText(a.voided.at), a.voided.user, a.voided.host, a.voided.reason);
    case GateReason::AlreadyAdmitted:
        return QStringLiteral("%1 was admitted %2 at gate %3").arg(PassText(a), LocalTimeText(a.admission.at), a.admission.gate);
    case GateReason::CannotCheck:
        break;
    }
    return a.failure;
}

bool SplitBarcode(const QString& text, QString* passNumber, QString* lane)
{
    // The pass number as PassNumberText makes it: eight digits, or for a serial
    // below zero zeros, a minus and digits.
    static const QRegularExpression shape(QStringLiteral("^((?:[0-9]{8}|0*-[0-9]+))([0-9]{2})$"));
    const QRegularExpressionMatch match = shape.match(text);
    if (text.size() != 10 || !match.hasMatch())
        return false;
    *passNumber = match.captured(1);
    *lane = match.captured(2);
    return true;
}

const PassRecord* AdmittableRecord(const std::vector<PassRecord>& records, const QDate& today)
{
    const QString day = today.toString(Qt::ISODate);
    const PassRecord* latest = nullptr;
    for (const PassRecord& record : records) {
        if (ValidDay(record) == day && !record.pending && !record.voided.IsVoid())
            latest = &record;  // records come in the order they were taken
    }
    return latest;
}

GateAnswer JudgeScan(const QString& scanned, const ScannedRecords& held, const GateSetting& gate, const QDate& today)
{
    GateAnswer answer;
    answer.scanned = scanned;
    answer.gateLane = gate.lane;
    if (!SplitBarcode(scanned, &answer.passNumber, &answer.lane)) {
        answer.reason = GateReason::NotABarcode;
        return answer;
    }
    if (held.records.empty() && held.withdrawn.empty()) {
        answer.reason = GateReason::NeverIssued;
        return answer;
    }
    if (answer.lane != gate.lane) {
        answer.reason = GateReason::OtherLane;
        return answer;
    }
    // A barcode comes round every two years: only the record valid today counts.
    const QString day = today.toString(Qt::ISODate);
    std::vector<const PassRecord*> todays;
    QSet<QString> days;
    for (const WithdrawnPass& withdrawn : held.withdrawn)
        days.insert(withdrawn.validDay);
    for (const PassRecord& record : held.records) {
        days.insert(ValidDay(record));
        if (ValidDay(record) == day)
            todays.push_back(&record);
    }
    if (todays.empty() && !days.contains(day)) {
        answer.reason = GateReason::OtherDay;
        answer.otherDays = QStringList(days.begin(), days.end());
        std::sort(answer.otherDays.begin(), answer.otherDays.end());
        return answer;
    }
    if (todays.empty()) {
        answer.reason = GateReason::Withdrawn;
        for (const WithdrawnPass& withdrawn : held.withdrawn)
            answer.runId = withdrawn.validDay == day ? withdrawn.runId : answer.runId;
        return answer;
    }
    if (std::all_of(todays.begin(), todays.end(), [](const PassRecord* r) { return r->voided.IsVoid(); })) {
        answer.reason = GateReason::Void;
        answer.voided = todays.back()->voided;
        answer.runId = todays.back()->run.id;
        return answer;
    }
    const PassRecord* admittable = AdmittableRecord(held.records, today);
    if (!admittable) {
        // Not void, not handed on: the run that holds it never said it printed.
        const auto pending = std::find_if(todays.rbegin(), todays.rend(),
                                          [](const PassRecord* r) { return r->pending && !r->voided.IsVoid(); });
        answer.reason = GateReason::Pending;
        answer.runId = (*pending)->run.id;
        return answer;
    }
    answer.runId = admittable->run.id;
    if (held.admitted) {
        answer.reason = GateReason::AlreadyAdmitted;
        answer.admission = *held.admitted;
        return answer;
    }
    answer.reason = GateReason::Admit;
    return answer;
}
