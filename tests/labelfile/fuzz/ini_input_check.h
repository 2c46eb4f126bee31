#pragma once

#include "labelfile/ini_document.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Reads an arbitrary text as an INI document, writes one key into it and
// checks what a reader must then see. Returns an empty text when all holds,
// otherwise what went wrong. Shared by the fuzz target and its GoogleTest
// stand-in, so that both look for the same faults.
inline QString CheckIniInput(const QByteArray& input)
{
    static const QStringList sections = {"Barcode", "other"};
    static const QStringList keys = {"Cols", "Line 1", "margin", "Bold 3", "x"};
    if (input.isEmpty())
        return {};

    const auto selector = static_cast<unsigned char>(input[0]);
    const QString section = sections[selector % sections.size()];
    const QString key = keys[(selector / 2) % keys.size()];
    const QByteArray rest = input.mid(1);
    const qsizetype split = rest.isEmpty() ? 0 : static_cast<unsigned char>(rest[0]) % (rest.size() + 1);
    const QString newValue = QString::fromUtf8(rest.left(split));

    IniDocument document = IniDocument::fromBytes(rest.mid(split));
    QStringList before;
    for (const QString& s : sections) {
        for (const QString& k : keys) {
            const QString v = document.value(s, k, "<none>");
            if (v.size() > IniDocument::MaxValueLength)
                return QString("value of %1/%2 longer than the limit").arg(s, k);
            before << v;
        }
    }

    document.setValue(section, key, newValue);
    const IniDocument reread = IniDocument::fromBytes(document.bytes());
    QString expected = newValue;
    expected.replace(u'\r', u' ').replace(u'\n', u' ');
    if (expected.size() <= IniDocument::MaxValueLength && reread.value(section, key, "<none>") != expected)
        return QString("%1/%2 did not read back as written").arg(section, key);

    int index = 0;
    for (const QString& s : sections) {
        for (const QString& k : keys) {
            const bool written = s == section && k == key;
            if (!written && reread.value(s, k, "<none>") != before[index])
                return QString("writing %1/%2 changed %3/%4").arg(section, key, s, k);
            ++index;
        }
    }
    return {};
}
