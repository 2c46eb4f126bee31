#include "support/pdf_barcodes.h"

#include "barcode/code128_image.h"
#include "barcode/code128_reader.h"
#include "support/tools.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// A module of the program's barcodes is 4 pixels at 300 dpi: room for the
// half-module tolerance of the line reader whatever the rendering's rounding.
constexpr int kScanDpi = 300;
// Every third line is read; a symbol's bars are far longer than that.
constexpr int kLineStepPx = 3;
constexpr int kHalfGrey = 128;
// Modules of the start character, of the stop pattern and of any other character.
constexpr int kStartModules = 11;
constexpr int kStopModules = 13;
constexpr int kCharacterModules = 11;

struct Run {
    int start;
    int length;
    bool dark;
};

struct LineRead {
    QString text;
    int alongPx;   // where the symbol starts on its line
    int acrossPx;  // which line
};

std::vector<Run> RunsOf(const std::vector<bool>& dark)
{
    std::vector<Run> runs;
    for (int at = 0; at < int(dark.size());) {
        int end = at + 1;
        while (end < int(dark.size()) && dark[size_t(end)] == dark[size_t(at)])
            ++end;
        runs.push_back({at, end - at, dark[size_t(at)]});
        at = end;
    }
    return runs;
}

// Finds the symbols along one line: each dark run after a light gap is tried
// as a start character, its first six runs giving the module, the symbol
// running to the next gap as wide as a quiet zone. The module is then taken
// from the symbol's whole length, a whole number of characters and the stop.
void ReadLine(const std::vector<bool>& dark, int acrossPx, std::vector<LineRead>& reads)
{
    const std::vector<Run> runs = RunsOf(dark);
    for (size_t i = 0; i + 6 < runs.size(); ++i) {
        if (!runs[i].dark)
            continue;
        int startWidth = 0;
        for (size_t k = i; k < i + 6; ++k)
            startWidth += runs[k].length;
        const double roughModule = double(startWidth) / kStartModules;
        const double quietPx = kCode128QuietZoneModules * roughModule - 1.0;
        const int gapBefore = i == 0 ? 0 : runs[i - 1].length;
        if (roughModule < 1.5 || gapBefore < quietPx)
            continue;
        size_t last = i;  // the symbol's last bar
        for (size_t k = i + 1; k < runs.size(); ++k) {
            if (!runs[k].dark && runs[k].length >= quietPx)
                break;
            if (runs[k].dark)
                last = k;
        }
        const int startPx = runs[i].start;
        const int endPx = runs[last].start + runs[last].length;
        const long characters = std::lround((double(endPx - startPx) / roughModule - kStopModules) / kCharacterModules);
        if (characters < 2)
            continue;
        const double modulePx = double(endPx - startPx) / double(characters * kCharacterModules + kStopModules);
        const int padPx = int(std::ceil(kCode128QuietZoneModules * modulePx)) + 1;
        const int from = std::max(i == 0 ? 0 : runs[i - 1].start, startPx - padPx);
        const int to = std::min(last + 1 < runs.size() ? runs[last + 1].start + runs[last + 1].length : endPx,
                                endPx + padPx);
        const std::vector<bool> symbol(dark.begin() + from, dark.begin() + to);
        if (const std::optional<QString> text = ReadCode128ScaledLine(symbol, modulePx)) {
            reads.push_back({*text, startPx, acrossPx});
            i = last;
        }
    }
}

// One symbol for the reads of the same text that start at the same place on
// lines next to each other.
void AddSymbols(const std::vector<LineRead>& reads, QStringList& symbols)
{
    struct Symbol {
        QString text;
        int alongPx;
        int lastAcrossPx;
    };
    std::vector<Symbol> found;
    for (const LineRead& read : reads) {
        const auto same = std::find_if(found.begin(), found.end(), [&](const Symbol& symbol) {
            return symbol.text == read.text && std::abs(symbol.alongPx - read.alongPx) <= 2 * kLineStepPx &&
                   read.acrossPx - symbol.lastAcrossPx <= 3 * kLineStepPx;
        });
        if (same != found.end())
            same->lastAcrossPx = read.acrossPx;
        else
            found.push_back({read.text, read.alongPx, read.acrossPx});
    }
    for (const Symbol& symbol : found)
        symbols << symbol.text;
}

// Every page in grey at dpi as files in workDir, in order: pdftoppm renders
// them all in one go.
QStringList RenderedPageFiles(const QString& pdfPath, int dpi, const QString& workDir)
{
    const QString prefix = QStringLiteral("pages%1").arg(dpi);
    RunTool(QStringLiteral("pdftoppm"), {"-r", QString::number(dpi), "-gray", pdfPath, QDir(workDir).filePath(prefix)});
    QStringList files;
    // pdftoppm pads the page numbers to one width, so the names sort as the pages.
    for (const QString& name : QDir(workDir).entryList({prefix + QStringLiteral("-*.pgm")}, QDir::Files, QDir::Name))
        files << QDir(workDir).filePath(name);
    return files;
}

// The grey picture in a file pdftoppm wrote, which goes once read.
QImage TakePicture(const QString& file)
{
    QImageReader::setAllocationLimit(512);  // a Letter page at 600 dpi is more than Qt's default
    const QImage picture(file);
    QFile::remove(file);
    return picture.convertToFormat(QImage::Format_Grayscale8);
}

}  // namespace

int PdfPageCount(const QString& pdfPath)
{
    const QString info = RunTool(QStringLiteral("pdfinfo"), {pdfPath});
    const QRegularExpressionMatch pages = QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)$"),
                                                             QRegularExpression::MultilineOption)
                                              .match(info);
    return pages.hasMatch() ? pages.captured(1).toInt() : -1;
}

QImage RenderPdfPage(const QString& pdfPath, int page, int dpi, const QString& workDir)
{
    const QString prefix = QDir(workDir).filePath(QStringLiteral("render%1-%2").arg(page).arg(dpi));
    const QString number = QString::number(page);
    RunTool(QStringLiteral("pdftoppm"),
            {"-r", QString::number(dpi), "-gray", "-singlefile", "-f", number, "-l", number, pdfPath, prefix});
    return TakePicture(prefix + QStringLiteral(".pgm"));
}

std::vector<QImage> RenderPdfPages(const QString& pdfPath, int dpi, const QString& workDir)
{
    std::vector<QImage> pages;
    for (const QString& file : RenderedPageFiles(pdfPath, dpi, workDir))
        pages.push_back(TakePicture(file));
    return pages;
}

QStringList ReadPictureBarcodes(const QImage& picture)
{
    const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
    QStringList symbols;
    // Every third line of lines lines of length pixels, darkAt(line, i) telling pixel i.
    const auto readLines = [&symbols](int lines, int length, const auto& darkAt) {
        std::vector<LineRead> reads;
        std::vector<bool> dark(static_cast<size_t>(length));
        for (int line = 0; line < lines; line += kLineStepPx) {
            for (int i = 0; i < length; ++i)
                dark[size_t(i)] = darkAt(line, i);
            ReadLine(dark, line, reads);
        }
        AddSymbols(reads, symbols);
    };
    readLines(grey.width(), grey.height(), [&grey](int x, int y) { return grey.constScanLine(y)[x] < kHalfGrey; });
    readLines(grey.height(), grey.width(), [&grey](int y, int x) { return grey.constScanLine(y)[x] < kHalfGrey; });
    return symbols;
}

QStringList ScanPdfPage(const QString& pdfPath, int page, const QString& workDir)
{
    QStringList found = ReadPictureBarcodes(RenderPdfPage(pdfPath, page, kScanDpi, workDir));
    found.sort();
    return found;
}

QStringList ScanPdfBarcodes(const QString& pdfPath, const QString& workDir)
{
    QStringList found;
    for (const QString& file : RenderedPageFiles(pdfPath, kScanDpi, workDir))
        found += ReadPictureBarcodes(TakePicture(file));
    return found;
}

QStringList ZbarPdfBarcodes(const QString& pdfPath, const QString& workDir)
{
    QStringList found;
    for (const QString& file : RenderedPageFiles(pdfPath, kScanDpi, workDir)) {
        const QString out = RunTool(QStringLiteral("zbarimg"), {"--quiet", "--raw", "-Scode128.enable", file});
        for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            found << line.trimmed();
        QFile::remove(file);
    }
    return found;
}
