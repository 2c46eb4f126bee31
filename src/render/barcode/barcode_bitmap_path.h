#pragma once

#include <QString>

// Full path of "code128.bmp", the file each pass's barcode goes through: in the
// executable's folder, or in the user's cache folder when the program is installed
// where it may not write (such as /usr/bin).
QString BarcodeBitmapPath();

// The choice behind BarcodeBitmapPath: exeDir when a file can really be created
// there, otherwise cacheDir, which is created when missing.
QString ChooseBarcodeBitmapPath(const QString& exeDir, const QString& cacheDir);
