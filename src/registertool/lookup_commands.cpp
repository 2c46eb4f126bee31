#include "registertool/lookup_commands.h"

#include "registertool/pass_counts.h"
#include "registertool/record_json.h"
#include "registertool/record_text.h"
#include "registertool/register_csv.h"
#include "registertool/terminal_text.h"
#include "registertool/tool_arguments.h"

namespace {

bool Json(const QCommandLineParser& parser) { return parser.isSet(QStringLiteral("json")); }

QString TakenAt(const PassRecord& record) { return LocalTime(record.pending ? record.recordedAt : record.issuedAt); }

}  // namespace

int ListCommand(PassRegister& passRegister, const QCommandLineParser& parser, QTextStream& out)
{
    const std::vector<PassRecord> records = passRegister.Records(FilterOf(parser));
    if (Json(parser)) {
        out << JsonText(RecordsJson(records));
        return kExitDone;
    }
    for (const PassRecord& record : records) {
        out << TakenAt(record) << "  " << TerminalText(record.barcode) << "  " << StateText(record) << "  valid "
            << ValidOnText(record) << "  sheet " << record.sheet << " cell " << record.cell << "  " << RunText(record);
        if (record.voided.IsVoid())
            out << "  " << VoidText(record);
        out << '\n';
    }
    return kExitDone;
}

int FindCommand(PassRegister& passRegister, const QCommandLineParser& parser, QTextStream& out)
{
    RecordFilter filter;
    filter.barcode = parser.positionalArguments().at(1);
    const std::vector<PassRecord> records = passRegister.Records(filter);
    if (records.empty())
        throw TessaryError(QStringLiteral("%1 is not in the register").arg(filter.barcode), ErrorKind::Refused);
    if (Json(parser)) {
        out << JsonText(RecordsJson(records));
        return kExitDone;
    }
    QString validOn;
    for (const PassRecord& record : records) {
        // The same barcode in another two-year cycle is another pass: a heading each.
        if (record.validOn != validOn) {
            validOn = record.validOn;
            out << TerminalText(record.barcode) << ": pass " << TerminalText(record.passNumber) << ", lane "
                << TerminalText(record.lane) << ", valid on " << ValidOnText(record) << '\n';
        }
        out << "  " << StateText(record).leftJustified(16) << " " << TakenAt(record) << "  " << RunText(record)
            << ", sheet " << record.sheet << " cell " << record.cell << '\n';
        if (record.voided.IsVoid())
            out << "  " << QString().leftJustified(16) << " " << VoidText(record) << '\n';
    }
    // Every admission of the barcode, undone ones too: who let it in, and who took that back.
    for (const Admission& admission : passRegister.Admissions(filter.barcode))
        out << "  " << AdmissionText(admission) << '\n';
    return kExitDone;
}

int CountsCommand(PassRegister& passRegister, const QCommandLineParser& parser, QTextStream& out)
{
    CountBy by = CountBy::All;
    if (parser.isSet(QStringLiteral("by"))) {
        const QString name = parser.value(QStringLiteral("by"));
        if (name == QLatin1String("day"))
            by = CountBy::Day;
        else if (name == QLatin1String("lane"))
            by = CountBy::Lane;
        else if (name == QLatin1String("run"))
            by = CountBy::Run;
        else
            UsageFault(QStringLiteral("--by \"%1\" is not day, lane or run").arg(name));
    }
    const std::vector<CountGroup> groups = CountRecords(passRegister.Records(FilterOf(parser)), by);
    out << (Json(parser) ? JsonText(CountsJson(groups, by)) : CountsText(groups, by));
    return kExitDone;
}

int ExportCommand(PassRegister& passRegister, const QCommandLineParser& parser, QTextStream& out)
{
    RecordFilter issued = FilterOf(parser);
    issued.issuedOnly = true;
    WriteRecordsCsv(passRegister.Records(issued), parser.value(QStringLiteral("csv")), out);
    return kExitDone;
}
