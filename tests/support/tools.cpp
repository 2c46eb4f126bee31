#include "support/tools.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

QStringList ScanPdfBarcodes(const QString& pdfPath, const QString& workDir)
{
    const QString prefix = QDir(workDir).filePath(QStringLiteral("page"));
    RunTool(QStringLiteral("pdftoppm"), {"-r", "300", "-gray", "-png", pdfPath, prefix});
    QStringList found;
    const QStringList pages = QDir(workDir).entryList({QStringLiteral("page*.png")}, QDir::Files, QDir::Name);
    for (const QString& page : pages) {
        const QString out = RunTool(QStringLiteral("zbarimg"), {"--quiet", "--raw", "-Scode128.enable",
                                                                 QDir(workDir).filePath(page)});
        for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            found << line.trimmed();
    }
    return found;
}

QString GoldenPdfHash(const QString& pdfPath)
{
    QFile file(pdfPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.readAll();
    static const QRegularExpression creationDate(QStringLiteral("/CreationDate \\(D:[^)]*\\)"));
    bytes = QString::fromLatin1(bytes).remove(creationDate).toLatin1();
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().left(16));
}
