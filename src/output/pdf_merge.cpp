#include "output/pdf_merge.h"

#include "common/tessary_error.h"
#include "output/pdf_completeness.h"

#include <QFile>
#include <QIODevice>

#include <algorithm>
#include <cctype>
#include <map>
#include <vector>

namespace {

constexpr qsizetype kEntryBytes = 20;  // "oooooooooo ggggg n" and a two-byte line end

struct PartObject {
    qint64 number = 0;
    qsizetype begin = 0;  // where "<number> 0 obj" starts
    qsizetype end = 0;    // where the next object or the table starts
};

// What one part holds, as its cross-reference table and trailer say.
struct Part {
    QByteArray bytes;
    std::vector<PartObject> objects;  // in file order
    qint64 info = -1;
    qint64 catalog = -1;
    qint64 pageTree = -1;
    std::vector<qint64> pages;  // the page tree's kids, in order
};

[[noreturn]] void ThrowUnreadable(const QString& part)
{
    throw TessaryError(QStringLiteral("%1 is not a PDF this program can join").arg(part));
}

bool IsDigit(char c) { return std::isdigit(uchar(c)) != 0; }


// "a 0 R b 0 R ..." between the brackets after key, as object numbers.
std::vector<qint64> ReferencesInArray(const QByteArray& text, const QByteArray& key)
{
    std::vector<qint64> numbers;
    const qsizetype at = text.indexOf(key);
    const qsizetype open = at < 0 ? -1 : text.indexOf('[', at);
    const qsizetype close = open < 0 ? -1 : text.indexOf(']', open);
    if (close < 0)
        return numbers;
    const QList<QByteArray> words = text.mid(open + 1, close - open - 1).simplified().split(' ');
    for (qsizetype i = 0; i + 2 < words.size(); i += 3) {
        bool ok = false;
        const qint64 number = words[i].toLongLong(&ok);
        if (!ok || words[i + 1] != "0" || words[i + 2] != "R")
            return {};
        numbers.push_back(number);
    }
    return numbers;
}

QByteArray ObjectText(const Part& part, qint64 number)
{
    for (const PartObject& object : part.objects) {
        if (object.number == number)
            return part.bytes.mid(object.begin, object.end - object.begin);
    }
    return {};
}

Part ReadPart(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        ThrowUnreadable(path);
    Part part;
    part.bytes = file.readAll();
    const QByteArray& bytes = part.bytes;
    if (!bytes.startsWith("%PDF-"))
        ThrowUnreadable(path);
    const QByteArray tail = bytes.right(1024);
    const qint64 table = PdfNumberAfter(tail, "startxref");
    if (table <= 0 || table >= bytes.size() || !bytes.mid(qsizetype(table)).startsWith("xref"))
        ThrowUnreadable(path);
    // "xref\n0 <count>\n", then one entry of 20 bytes an object.
    const qsizetype countAt = bytes.indexOf('\n', qsizetype(table)) + 1;
    const qsizetype entriesAt = bytes.indexOf('\n', countAt) + 1;
    const QList<QByteArray> section = bytes.mid(countAt, entriesAt - countAt).simplified().split(' ');
    bool ok = section.size() == 2 && section[0] == "0";
    const qint64 count = ok ? section[1].toLongLong(&ok) : 0;
    if (!ok || count < 1 || entriesAt <= countAt || entriesAt + count * kEntryBytes > bytes.size())
        ThrowUnreadable(path);
    for (qint64 i = 1; i < count; ++i) {
        const char* entry = bytes.constData() + entriesAt + i * kEntryBytes;
        if (entry[17] != 'n')
            continue;
        const qint64 offset = QByteArray(entry, 10).toLongLong(&ok);
        const QByteArray header = QByteArray::number(i) + " 0 obj";
        if (!ok || offset >= table || bytes.mid(qsizetype(offset), header.size()) != header)
            ThrowUnreadable(path);
        part.objects.push_back({i, qsizetype(offset), 0});
    }
    std::sort(part.objects.begin(), part.objects.end(),
              [](const PartObject& a, const PartObject& b) { return a.begin < b.begin; });
    for (std::size_t i = 0; i < part.objects.size(); ++i)
        part.objects[i].end = i + 1 < part.objects.size() ? part.objects[i + 1].begin : qsizetype(table);
    const QByteArray trailer = bytes.mid(entriesAt + qsizetype(count) * kEntryBytes);
    part.info = PdfNumberAfter(trailer, "/Info");
    part.catalog = PdfNumberAfter(trailer, "/Root");
    part.pageTree = PdfNumberAfter(ObjectText(part, part.catalog), "/Pages");
    part.pages = ReferencesInArray(ObjectText(part, part.pageTree), "/Kids");
    if (part.catalog < 0 || part.pageTree < 0 || part.pages.empty())
        ThrowUnreadable(path);
    return part;
}

// text with every "<n> 0 R" and the object's own "<n> 0 obj" renumbered.
QByteArray Renumbered(const QByteArray& text, const std::map<qint64, qint64>& numbers, const QString& path)
{
    QByteArray out;
    out.reserve(text.size() + 16);
    qsizetype i = 0;
    while (i < text.size()) {
        const char c = text[i];
        const bool startsNumber = IsDigit(c) && (i == 0 || !(std::isalnum(uchar(text[i - 1])) || text[i - 1] == '.'
                                                             || text[i - 1] == '-' || text[i - 1] == '+'));
        if (!startsNumber) {
            out += c;
            ++i;
            continue;
        }
        qsizetype j = i;
        while (j < text.size() && IsDigit(text[j]))
            ++j;
        const QByteArray digits = text.mid(i, j - i);
        const QByteArray rest = text.mid(j, 6);
        const bool reference = rest.startsWith(" 0 R") && (rest.size() == 4 || !std::isalnum(uchar(rest[4])));
        const bool header = i == 0 && rest.startsWith(" 0 obj");
        if (reference || header) {
            const auto found = numbers.find(digits.toLongLong());
            if (found == numbers.end())
                ThrowUnreadable(path);
            out += QByteArray::number(found->second);
        } else {
            out += digits;
        }
        i = j;
    }
    return out;
}

class CountingWriter {
public:
    CountingWriter(QIODevice& out, const QString& error) : out_(out), error_(error) {}
    void Write(const QByteArray& bytes)
    {
        if (out_.write(bytes) != bytes.size())
            throw TessaryError(error_);
        written_ += bytes.size();
    }
    qint64 Written() const { return written_; }

private:
    QIODevice& out_;
    QString error_;
    qint64 written_ = 0;
};

}  // namespace

void JoinPdfFiles(const QStringList& parts, QIODevice& out, const QString& writeErrorText)
{
    constexpr qint64 kInfo = 1;
    constexpr qint64 kCatalog = 2;
    constexpr qint64 kPageTree = 3;
    CountingWriter writer(out, writeErrorText);
    std::vector<qint64> offsets(kPageTree + 1, 0);
    std::vector<qint64> pages;
    qint64 next = kPageTree + 1;
    for (int index = 0; index < parts.size(); ++index) {
        const QString& path = parts[index];
        const Part part = ReadPart(path);
        if (index == 0) {
            // The first part's header, binary marker line included.
            const qsizetype headerEnd = part.objects.front().begin;
            writer.Write(part.bytes.left(headerEnd));
        }
        std::map<qint64, qint64> numbers;
        for (const PartObject& object : part.objects) {
            if (object.number == part.catalog || object.number == part.info)
                continue;
            numbers[object.number] = object.number == part.pageTree ? kPageTree : next++;
        }
        if (index == 0 && part.info >= 0)
            numbers[part.info] = kInfo;
        for (qint64 page : part.pages) {
            const auto found = numbers.find(page);
            if (found == numbers.end())
                ThrowUnreadable(path);
            pages.push_back(found->second);
        }
        offsets.resize(std::size_t(next), 0);
        for (const PartObject& object : part.objects) {
            if (object.number == part.catalog || object.number == part.pageTree
                || (object.number == part.info && index > 0))
                continue;
            const QByteArray text = part.bytes.mid(object.begin, object.end - object.begin);
            // A stream's bytes are copied as they are; only the dictionary
            // before it and the words after it hold references.
            const qsizetype streamAt = text.indexOf(">>\nstream\n");
            const qsizetype dataAt = streamAt < 0 ? -1 : streamAt + qsizetype(sizeof(">>\nstream\n") - 1);
            const qsizetype dataEnd = dataAt < 0 ? -1 : text.lastIndexOf("endstream");
            offsets[std::size_t(numbers.at(object.number))] = writer.Written();
            if (dataAt < 0 || dataEnd < dataAt) {
                writer.Write(Renumbered(text, numbers, path));
                continue;
            }
            writer.Write(Renumbered(text.left(dataAt), numbers, path));
            writer.Write(text.mid(dataAt, dataEnd - dataAt));
            writer.Write(text.mid(dataEnd));
        }
    }
    if (parts.isEmpty() || offsets[kInfo] == 0)
        throw TessaryError(writeErrorText);
    offsets[kCatalog] = writer.Written();
    writer.Write(QByteArrayLiteral("2 0 obj\n<<\n/Type /Catalog\n/Pages 3 0 R\n>>\nendobj\n"));
    offsets[kPageTree] = writer.Written();
    QByteArray tree = QByteArrayLiteral("3 0 obj\n<<\n/Type /Pages\n/Kids \n[\n");
    for (qint64 page : pages)
        tree += QByteArray::number(page) + " 0 R\n";
    tree += "]\n/Count " + QByteArray::number(qint64(pages.size()))
            + "\n/ProcSet [/PDF /Text /ImageB /ImageC]\n>>\nendobj\n";
    writer.Write(tree);
    const qint64 table = writer.Written();
    QByteArray xref = "xref\n0 " + QByteArray::number(next) + "\n0000000000 65535 f \n";
    for (qint64 number = 1; number < next; ++number)
        xref += QByteArray::number(offsets[std::size_t(number)]).rightJustified(10, '0') + " 00000 n \n";
    xref += "trailer\n<<\n/Size " + QByteArray::number(next) + " \n/Info 1 0 R\n/Root 2 0 R\n>>\nstartxref\n"
            + QByteArray::number(table) + " \n%%EOF\n";
    writer.Write(xref);
}
