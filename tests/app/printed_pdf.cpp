#include "app/printed_pdf.h"

#include "passes/pass_serial.h"
#include "passes/valid_on_stamp.h"
#include "support/tools.h"

#include <QDir>
#include <QRegularExpression>

int PdfPageCount(const QString& pdfPath)
{
    const QString info = RunTool(QStringLiteral("pdfinfo"), {pdfPath});
    const QRegularExpressionMatch pages = QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)$"),
                                                             QRegularExpression::MultilineOption)
                                              .match(info);
    return pages.hasMatch() ? pages.captured(1).toInt() : -1;
}

QStringList ScanPdfPage(const QString& pdfPath, int page, const QString& workDir)
{
    const QString prefix = QDir(workDir).filePath(QStringLiteral("scan%1").arg(page));
    const QString number = QString::number(page);
    RunTool(QStringLiteral("pdftoppm"),
            {"-r", "300", "-gray", "-png", "-singlefile", "-f", number, "-l", number, pdfPath, prefix});
    const QString out = RunTool(QStringLiteral("zbarimg"),
                                {"--quiet", "--raw", "-Scode128.enable", prefix + QStringLiteral(".png")});
    QStringList found;
    for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        found << line.trimmed();
    found.sort();
    return found;
}

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
