#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// The two encodings a label file may be in: UTF-8, which this program writes,
// and Windows-1252, which the Windows version of the program wrote.
enum class TextEncoding { Utf8, Windows1252 };

bool IsValidUtf8(QByteArrayView bytes);

// Windows-1252 with its five unassigned bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// taken as the C1 controls of the same number, as Windows does, so that every
// byte decodes and encodes back to itself.
QString DecodeWindows1252(QByteArrayView bytes);
std::optional<QByteArray> EncodeWindows1252(const QString& text);

QString DecodeText(QByteArrayView bytes, TextEncoding encoding);
// Empty when the text has a character the encoding cannot hold (never for UTF-8).
std::optional<QByteArray> EncodeText(const QString& text, TextEncoding encoding);
