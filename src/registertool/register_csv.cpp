#include "registertool/register_csv.h"

#include "registertool/checked_output.h"
#include "registertool/tool_arguments.h"

namespace {

// A spreadsheet runs a field beginning so as a formula.
bool ReadsAsFormula(const QString& text)
{
    static const QString starts = QStringLiteral("=+-@\t\r");
    return !text.isEmpty() && starts.contains(text.front());
}

QString Field(const QString& text)
{
    if (ReadsAsFormula(text))
        return QStringLiteral("\"'") + QString(text).replace(QLatin1String("\""), QLatin1String("\"\"")) + QLatin1Char('"');
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n'))
        && !text.contains(QLatin1Char('\r')))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1String("\""), QLatin1String("\"\"")) + QLatin1Char('"');
}

QString CsvText(const std::vector<PassRecord>& records)
{
    QString text = QStringLiteral("barcode,pass_number,lane,valid_on,issued_at,issue,run_id,run_started_at,user,host,"
                                  "program,output_kind,output,sheet,cell,voided_at,voided_by,voided_host,void_reason,"
                                  "admitted_at,admitted_gate\r\n");
    for (const PassRecord& r : records) {
        const QStringList fields = {r.barcode,
                                    r.passNumber,
                                    r.lane,
                                    r.validOn,
                                    r.issuedAt.toString(Qt::ISODateWithMs),
                                    r.reissue ? QStringLiteral("reissue") : QStringLiteral("first"),
                                    r.run.id,
                                    r.run.started.toString(Qt::ISODateWithMs),
                                    r.run.user,
                                    r.run.host,
                                    r.run.program,
                                    r.run.output.toFile ? QStringLiteral("file") : QStringLiteral("queue"),
                                    r.run.output.name,
                                    QString::number(r.sheet),
                                    QString::number(r.cell),
                                    r.voided.at.toString(Qt::ISODateWithMs),
                                    r.voided.user,
                                    r.voided.host,
                                    r.voided.reason,
                                    r.admittedAt.toString(Qt::ISODateWithMs),
                                    r.admittedGate};
        QStringList quoted;
        for (const QString& field : fields)
            quoted << Field(field);
        text += quoted.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return text;
}

}  // namespace

void WriteRecordsCsv(const std::vector<PassRecord>& records, const QString& path, QTextStream& out)
{
    const QString text = CsvText(records);
    if (path == QLatin1String("-")) {
        out << text;
        return;
    }
    const QString fault = WriteOutputFile(path, text);
    if (!fault.isEmpty())
        throw TessaryError(fault, ErrorKind::OutputFailed);
}
