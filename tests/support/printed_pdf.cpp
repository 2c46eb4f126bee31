#include "support/printed_pdf.h"

#include "passes/pass_serial.h"
#include "passes/valid_on_stamp.h"
#include "support/tools.h"

#include <QDir>
#include <QRegularExpression>

QStringList PdfFontNames(const QString& pdfPath)
{
    const QStringList lines = RunTool(QStringLiteral("pdffonts"), {pdfPath}).split(QLatin1Char('\n'));
    QStringList names;
    // Two heading lines, then one font per line with its name first.
    for (int i = 2; i < lines.size(); ++i) {
        const QString name = lines[i].section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
        if (!name.isEmpty())
            names << name;
    }
    return names;
}

QStringList ExpectedBarcodes(const PassListRow& row, int first, int count)
{
    const CalendarInstant instant = DecodeValidOnStamp(row.validOnStamp);
    QStringList texts;
    for (int i = first; i < first + count; ++i)
        texts << BarcodeText(PassNumberText(instant, i), row.lane);
    return texts;
}
