#pragma once

#include <QImage>
#include <QProcess>
#include <QString>
#include <vector>

// Helpers that look at a barcode image the way a reader would.

struct ZbarResult {
    int exitCode = -1;
    QString text;  // raw symbol data, trailing newline removed
};

// Scans the image file with zbarimg (zbar-tools), as a hand scanner would.
inline ZbarResult ScanWithZbarimg(const QString& imagePath)
{
    QProcess zbar;
    zbar.start("zbarimg", {"--raw", "-q", imagePath});
    if (!zbar.waitForFinished(30000))
        return {};
    QString out = QString::fromUtf8(zbar.readAllStandardOutput());
    while (out.endsWith('\n'))
        out.chop(1);
    return {zbar.exitCode(), out};
}

struct PixelRun {
    bool black;
    int lengthPx;
};

inline bool IsBlackAt(const QImage& image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 128;
}

// Runs of equal colour from the top of the image down column x.
inline std::vector<PixelRun> RunsDownColumn(const QImage& image, int x)
{
    std::vector<PixelRun> runs;
    for (int y = 0; y < image.height(); ++y) {
        const bool black = IsBlackAt(image, x, y);
        if (runs.empty() || runs.back().black != black)
            runs.push_back({black, 0});
        ++runs.back().lengthPx;
    }
    return runs;
}

// Bar and space widths in modules, quiet zones left out; empty when a run is not
// a whole number of modules.
inline std::vector<int> ModulesBetweenQuietZones(const std::vector<PixelRun>& runs, int modulePx)
{
    std::vector<int> modules;
    for (size_t i = 1; i + 1 < runs.size(); ++i) {
        if (runs[i].lengthPx % modulePx != 0)
            return {};
        modules.push_back(runs[i].lengthPx / modulePx);
    }
    return modules;
}
