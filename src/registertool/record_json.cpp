#include "registertool/record_json.h"

#include "registertool/terminal_text.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

QJsonValue UtcValue(const QDateTime& time)
{
    return time.isValid() ? QJsonValue(time.toUTC().toString(Qt::ISODateWithMs)) : QJsonValue(QJsonValue::Null);
}

QJsonValue TextOrNull(const QString& text) { return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text); }

QJsonObject RecordJson(const PassRecord& r)
{
    const QJsonObject run{{QStringLiteral("id"), r.run.id},
                          {QStringLiteral("started_at"), UtcValue(r.run.started)},
                          {QStringLiteral("user"), r.run.user},
                          {QStringLiteral("host"), r.run.host},
                          {QStringLiteral("program"), r.run.program},
                          {QStringLiteral("output_kind"),
                           r.run.output.toFile ? QStringLiteral("file") : QStringLiteral("queue")},
                          {QStringLiteral("output"), r.run.output.name},
                          {QStringLiteral("job"), TextOrNull(r.run.output.job)},
                          {QStringLiteral("print_server"), TextOrNull(r.run.output.server)}};
    QJsonValue voided(QJsonValue::Null);
    if (r.voided.IsVoid()) {
        voided = QJsonObject{{QStringLiteral("at"), UtcValue(r.voided.at)},
                             {QStringLiteral("user"), r.voided.user},
                             {QStringLiteral("host"), r.voided.host},
                             {QStringLiteral("reason"), r.voided.reason}};
    }
    return QJsonObject{{QStringLiteral("barcode"), r.barcode},
                       {QStringLiteral("pass_number"), r.passNumber},
                       {QStringLiteral("lane"), r.lane},
                       {QStringLiteral("valid_on"), r.validOn},
                       {QStringLiteral("state"), r.pending ? QStringLiteral("pending") : QStringLiteral("issued")},
                       {QStringLiteral("issue"), r.reissue ? QStringLiteral("reissue") : QStringLiteral("first")},
                       {QStringLiteral("recorded_at"), UtcValue(r.recordedAt)},
                       {QStringLiteral("issued_at"), UtcValue(r.issuedAt)},
                       {QStringLiteral("sheet"), r.sheet},
                       {QStringLiteral("cell"), r.cell},
                       {QStringLiteral("run"), run},
                       {QStringLiteral("void"), voided},
                       {QStringLiteral("admitted_at"), UtcValue(r.admittedAt)},
                       {QStringLiteral("admitted_gate"), TextOrNull(r.admittedGate)}};
}

QJsonObject CountJson(const PassCount& count)
{
    return QJsonObject{{QStringLiteral("issued"), count.issued},
                       {QStringLiteral("reissued"), count.reissued},
                       {QStringLiteral("pending"), count.pending},
                       {QStringLiteral("void"), count.voided},
                       {QStringLiteral("admitted"), count.admitted}};
}

}  // namespace

QJsonObject RecordsJson(const std::vector<PassRecord>& records)
{
    QJsonArray array;
    for (const PassRecord& record : records)
        array.append(RecordJson(record));
    return QJsonObject{{QStringLiteral("records"), array}};
}

QJsonObject CountsJson(const std::vector<CountGroup>& groups, CountBy by)
{
    QJsonArray array;
    if (by != CountBy::All) {
        for (const CountGroup& group : groups) {
            QJsonObject entry = CountJson(group.count);
            entry.insert(CountByName(by), group.key);
            array.append(entry);
        }
    }
    const QJsonValue byName = by == CountBy::All ? QJsonValue(QJsonValue::Null) : QJsonValue(CountByName(by));
    return QJsonObject{{QStringLiteral("by"), byName},
                       {QStringLiteral("groups"), array},
                       {QStringLiteral("all"), CountJson(TotalCount(groups))}};
}

QString JsonText(const QJsonObject& document)
{
    return TerminalJson(QJsonDocument(document).toJson(QJsonDocument::Indented));
}
