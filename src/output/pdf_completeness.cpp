#include "output/pdf_completeness.h"

#include <QFile>
#include <QRegularExpression>

#include <cctype>
#include <climits>
#include <functional>
#include <vector>

namespace {

// length bytes from offset, fewer at the end of the file.
using ReadAt = std::function<QByteArray(qint64 offset, qint64 length)>;

constexpr qint64 kTailBytes = 1024;
constexpr qint64 kEntryBytes = 20;        // "oooooooooo ggggg n" and a two-byte line end
constexpr qint64 kEntriesPerRead = 4096;


// Object offsets by object number (-1 for free ones) when every object the
// cross-reference table at `table` lists begins where it says; empty otherwise.
std::vector<qint64> ObjectOffsets(const ReadAt& read, qint64 fileSize, qint64 table)
{
    const QByteArray head = read(table, 64);
    static const QRegularExpression section(QStringLiteral("^xref\\s+(\\d+)\\s+(\\d+)\\s*?\\r?\\n"));
    const QRegularExpressionMatch m = section.match(QString::fromLatin1(head));
    if (!m.hasMatch() || m.captured(1).toLongLong() != 0)
        return {};
    const qint64 count = m.captured(2).toLongLong();
    const qint64 entries = table + m.capturedLength(0);
    if (count < 1 || entries + count * kEntryBytes > fileSize)
        return {};
    std::vector<qint64> offsets(std::size_t(count), -1);
    for (qint64 first = 0; first < count; first += kEntriesPerRead) {
        const qint64 n = std::min(kEntriesPerRead, count - first);
        const QByteArray block = read(entries + first * kEntryBytes, n * kEntryBytes);
        if (block.size() != n * kEntryBytes)
            return {};
        for (qint64 i = 0; i < n; ++i) {
            const char* entry = block.constData() + i * kEntryBytes;
            if (entry[17] == 'f')
                continue;
            if (entry[17] != 'n')
                return {};
            bool ok = false;
            const qint64 offset = QByteArray(entry, 10).toLongLong(&ok);
            if (!ok || offset >= fileSize)
                return {};
            const QByteArray header = QByteArray::number(first + i) + " 0 obj";
            if (read(offset, header.size()) != header)
                return {};
            offsets[std::size_t(first + i)] = offset;
        }
    }
    const QByteArray after = read(entries + count * kEntryBytes, 16).trimmed();
    return after.startsWith("trailer") ? offsets : std::vector<qint64>{};
}

// The text of object `number`, up to its "endobj". The page tree lists every
// page, so it grows with the run: read on until the end is found.
QByteArray ObjectText(const ReadAt& read, const std::vector<qint64>& offsets, qint64 number)
{
    if (number < 0 || number >= qint64(offsets.size()) || offsets[std::size_t(number)] < 0)
        return {};
    const qint64 start = offsets[std::size_t(number)];
    QByteArray text;
    for (qint64 length = 4096; length <= (qint64(1) << 26); length *= 4) {
        text = read(start, length);
        const qsizetype end = text.indexOf("endobj");
        if (end >= 0)
            return text.left(end);
        if (text.size() < length)
            break;
    }
    return {};
}

int PageCount(const ReadAt& read, qint64 fileSize)
{
    if (fileSize < 16 || read(0, 5) != "%PDF-")
        return -1;
    const qint64 tailStart = std::max<qint64>(0, fileSize - kTailBytes);
    const QByteArray tail = read(tailStart, fileSize - tailStart);
    if (!tail.trimmed().endsWith("%%EOF"))
        return -1;
    const qint64 table = PdfNumberAfter(tail, "startxref");
    const qint64 root = PdfNumberAfter(tail, "/Root");
    if (table < 0 || root < 0 || table >= tailStart + tail.lastIndexOf("startxref"))
        return -1;
    const std::vector<qint64> offsets = ObjectOffsets(read, fileSize, table);
    if (offsets.empty())
        return -1;
    const qint64 pages = PdfNumberAfter(ObjectText(read, offsets, root), "/Pages");
    const qint64 count = PdfNumberAfter(ObjectText(read, offsets, pages), "/Count");
    return count >= 0 && count <= INT_MAX ? int(count) : -1;
}

}  // namespace

qint64 PdfNumberAfter(const QByteArray& text, const QByteArray& key)
{
    const qsizetype at = text.lastIndexOf(key);
    if (at < 0)
        return -1;
    qsizetype i = at + key.size();
    while (i < text.size() && std::isspace(uchar(text[i])))
        ++i;
    const qsizetype start = i;
    qint64 value = 0;
    while (i < text.size() && std::isdigit(uchar(text[i])) && i - start < 18)
        value = value * 10 + (text[i++] - '0');
    return i == start ? -1 : value;
}

int CompletePdfPageCount(const QByteArray& pdf)
{
    const ReadAt read = [&pdf](qint64 offset, qint64 length) {
        return offset < 0 || offset > pdf.size() ? QByteArray() : pdf.mid(qsizetype(offset), qsizetype(length));
    };
    return PageCount(read, pdf.size());
}

int CompletePdfPageCount(QFile& file)
{
    const ReadAt read = [&file](qint64 offset, qint64 length) {
        return file.seek(offset) ? file.read(length) : QByteArray();
    };
    return PageCount(read, file.size());
}
