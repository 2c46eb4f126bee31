#include "render/barcode/barcode_bitmap_path.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

const QString kBitmapFileName = QStringLiteral("code128.bmp");

// Permission bits alone mislead: root passes them everywhere, and some folders
// (/proc) refuse new files whatever they say. Only creating a file tells.
bool CanCreateFileIn(const QString& dir)
{
    if (dir.isEmpty() || !QFileInfo(dir).isDir() || !QFileInfo(dir).isWritable())
        return false;
    QTemporaryFile probe(QDir(dir).filePath(QStringLiteral("code128-probe-XXXXXX")));
    return probe.open();
}

}  // namespace

QString ChooseBarcodeBitmapPath(const QString& exeDir, const QString& cacheDir)
{
    if (CanCreateFileIn(exeDir))
        return QDir(exeDir).filePath(kBitmapFileName);
    QDir().mkpath(cacheDir);
    return QDir(cacheDir).filePath(kBitmapFileName);
}

QString BarcodeBitmapPath()
{
    return ChooseBarcodeBitmapPath(QCoreApplication::applicationDirPath(),
                                   QStandardPaths::writableLocation(QStandardPaths::CacheLocation));
}
