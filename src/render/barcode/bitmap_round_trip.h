#pragma once

#include <QByteArray>
#include <QString>

// Writes bytes into the bitmap file and reads the file back, both while the file
// is locked for this pass alone (LockedBitmapFile), and returns what was read:
// another program's pass can neither come in between nor be read instead.
QByteArray WriteAndReadBack(const QString& bitmapPath, const QByteArray& bytes);
