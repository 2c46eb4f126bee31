#pragma once

#include <QString>

#include <functional>

// For tests only: hook is called with the bitmap path after each pass's barcode
// has been written and before it is read back, with the file still locked, so
// that a test can play a program that ignores the lock and changes the file.
// An empty function removes it.
void SetBitmapRoundTripHookForTests(std::function<void(const QString& bitmapPath)> hook);
