#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// The encodings a label file may be in: UTF-8, which this program writes for a
// new file; Windows-1252, which the Windows version of the program wrote; and
// UTF-16 with its byte order mark, as Notepad saves "Unicode" text.
enum class TextEncoding { Utf8, Windows1252, Utf16LittleEndian, Utf16BigEndian };

bool IsValidUtf8(QByteArrayView bytes);

// Windows-1252 with its five unassigned bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// taken as the C1 controls of the same number, as Windows does, so that every
// byte decodes and encodes back to itself.
QString DecodeWindows1252(QByteArrayView bytes);
std::optional<QByteArray> EncodeWindows1252(const QString& text);

// The UTF-16 encoding a byte order mark at the start of the bytes announces.
std::optional<TextEncoding> Utf16ByteOrder(QByteArrayView bytes);
QByteArray Utf16ByteOrderMark(TextEncoding encoding);

QString DecodeText(QByteArrayView bytes, TextEncoding encoding);
// Empty when the text has a character the encoding cannot hold (never for UTF-8).
std::optional<QByteArray> EncodeText(const QString& text, TextEncoding encoding);
