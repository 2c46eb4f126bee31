#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// Runs with the bitmap path after the file is written and before it is read
// back, the file still locked: what another program that ignores the lock
// could do in between.
using BetweenWriteAndRead = std::function<void(const QString& bitmapPath)>;

// Writes bytes into the bitmap file and reads the file back, both while the file
// is locked for this pass alone (LockedBitmapFile), and returns what was read:
// another program's pass can neither come in between nor be read instead.
QByteArray WriteAndReadBack(const QString& bitmapPath, const QByteArray& bytes,
                            const BetweenWriteAndRead& between = {});
