#pragma once

#include <QString>

// Full path of "code128.bmp", the file each pass's barcode goes through. Beside
// the executable only while the program runs from its own build folder; an
// installed program uses the user's cache folder, and when that cannot be
// written either (no HOME, a read-only home), a folder private to the user.
QString BarcodeBitmapPath();

// The folders BarcodeBitmapPath chooses from, in order.
struct BarcodeBitmapFolders {
    QString exeDir;      // the running executable's folder
    QString cacheDir;    // $XDG_CACHE_HOME/tessary-utility (or ~/.cache/...); "" without either
    QString runtimeDir;  // $XDG_RUNTIME_DIR; "" when unset
    QString tempDir;     // the system's temporary folder
};

// The choice behind BarcodeBitmapPath:
// - exeDir, when it is a build folder: owned by the running user, not a
//   .../usr/bin or .../usr/local/bin of an installed (or unpacked) package,
//   and a file can really be created there;
// - otherwise cacheDir, created when missing, when a file can be created there;
// - otherwise runtimeDir/tessary-utility, or tempDir/tessary-utility-<uid>,
//   made mode 0700 and used only when it is a real folder (not a link) owned
//   by the running user that nobody else may open.
// When none will do, the cache path, so that writing the file fails naming it.
QString ChooseBarcodeBitmapPath(const BarcodeBitmapFolders& folders);

// Whether exeDir is where an installed program lives (a bin folder under a
// usr or usr/local prefix, wherever that prefix was unpacked).
bool IsInstalledProgramFolder(const QString& exeDir);
