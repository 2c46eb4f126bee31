#include "registertool/gate_commands.h"

#include "register/lane_gate.h"
#include "registertool/record_text.h"
#include "registertool/terminal_text.h"
#include "registertool/tool_arguments.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <cstdio>

namespace {

QJsonValue TextOrNull(const QString& text) { return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text); }

QJsonValue UtcValue(const QDateTime& time)
{
    return time.isValid() ? QJsonValue(time.toUTC().toString(Qt::ISODateWithMs)) : QJsonValue(QJsonValue::Null);
}

QJsonObject AnswerJson(const GateAnswer& a, const GateSetting& gate, bool dryRun)
{
    QJsonValue voided(QJsonValue::Null);
    if (a.reason == GateReason::Void)
        voided = QJsonObject{{QStringLiteral("at"), UtcValue(a.voided.at)},
                             {QStringLiteral("user"), a.voided.user},
                             {QStringLiteral("host"), a.voided.host},
                             {QStringLiteral("reason"), a.voided.reason}};
    QJsonValue admission(QJsonValue::Null);
    if (a.admission.IsRecorded())
        admission = QJsonObject{{QStringLiteral("id"), a.admission.id},
                                {QStringLiteral("at"), UtcValue(a.admission.at)},
                                {QStringLiteral("gate"), a.admission.gate},
                                {QStringLiteral("user"), a.admission.user},
                                {QStringLiteral("host"), a.admission.host}};
    return QJsonObject{{QStringLiteral("barcode"), a.scanned},
                       {QStringLiteral("admitted"), a.Admits()},
                       {QStringLiteral("reason"), ReasonKey(a.reason)},
                       {QStringLiteral("basis"), Basis(a)},
                       {QStringLiteral("dry_run"), dryRun},
                       {QStringLiteral("gate"), gate.name},
                       {QStringLiteral("lane"), gate.lane},
                       {QStringLiteral("run"), TextOrNull(a.runId)},
                       {QStringLiteral("days"), QJsonArray::fromStringList(a.otherDays)},
                       {QStringLiteral("void"), voided},
                       {QStringLiteral("admission"), admission}};
}

}  // namespace

QString ParseGateLane(const QString& text)
{
    if (!QRegularExpression(QStringLiteral("^[0-9]{2}$")).match(text).hasMatch())
        UsageFault(QStringLiteral("--lane \"%1\" is not a lane code of two digits").arg(TerminalText(text)));
    return text;
}

int CheckCommand(const RegisterLocation& location, const QCommandLineParser& parser, QTextStream& out)
{
    const bool dryRun = parser.isSet(QStringLiteral("dry-run"));
    const bool json = parser.isSet(QStringLiteral("json"));
    LaneGate gate(location, GateOf(parser.value(QStringLiteral("gate")), parser.value(QStringLiteral("lane"))), dryRun);
    bool anyRefused = false;
    bool anyUnchecked = false;
    const auto answer = [&](const QString& scanned) {
        const GateAnswer a = gate.Scan(scanned);
        anyRefused = anyRefused || (!a.Admits() && a.reason != GateReason::CannotCheck);
        anyUnchecked = anyUnchecked || a.reason == GateReason::CannotCheck;
        if (json)
            out << TerminalJson(QJsonDocument(AnswerJson(a, gate.Setting(), dryRun)).toJson(QJsonDocument::Compact));
        else
            out << TerminalText(a.scanned) << "  " << ReasonKey(a.reason) << "  " << TerminalText(Basis(a));
        // A turnstile reading the answers waits for each before its next scan.
        out << '\n' << Qt::flush;
    };
    const QStringList barcodes = parser.positionalArguments().mid(1);
    if (!barcodes.isEmpty()) {
        for (const QString& barcode : barcodes)
            answer(barcode);
    } else {
        QTextStream in(stdin);
        QString line;
        while (in.readLineInto(&line)) {
            // A scanner's carriage return, or spaces a person typed, are no part of the barcode.
            line = line.trimmed();
            if (!line.isEmpty())
                answer(line);
        }
    }
    return anyUnchecked ? kExitFailed : anyRefused ? kExitRefused : kExitDone;
}

int UndoAdmissionCommand(PassRegister& passRegister, const QCommandLineParser& parser, QTextStream& out)
{
    const QString barcode = parser.positionalArguments().at(1);
    std::optional<Admission> inForce;
    for (const Admission& admission : passRegister.Admissions(barcode)) {
        if (!admission.undone.IsVoid())
            inForce = admission;
    }
    if (!inForce)
        throw TessaryError(QStringLiteral("%1 has no admission to undo").arg(TerminalText(barcode)), ErrorKind::Refused);
    const RunInfo here = NewRunInfo(QStringLiteral("tessary-register"));
    const VoidMark mark{QDateTime::currentDateTimeUtc(), here.user, here.host,
                        parser.value(QStringLiteral("reason")).trimmed()};
    if (!passRegister.UndoAdmission(inForce->id, mark))
        throw TessaryError(QStringLiteral("the admission of %1 was undone meanwhile").arg(TerminalText(barcode)),
                           ErrorKind::Refused);
    out << "undid the admission of " << TerminalText(barcode) << " at gate " << TerminalText(inForce->gate) << " of "
        << LocalTime(inForce->at) << '\n';
    return kExitDone;
}
