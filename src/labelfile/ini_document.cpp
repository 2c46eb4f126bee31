#include "labelfile/ini_document.h"

#include "common/tessary_error.h"
#include "labelfile/regular_file_read.h"
#include "labelfile/whole_file_write.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

QByteArrayView TrimBlanks(QByteArrayView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

QString TrimBlanks(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && (text[begin] == u' ' || text[begin] == u'\t'))
        ++begin;
    while (end > begin && (text[end - 1] == u' ' || text[end - 1] == u'\t'))
        --end;
    return text.sliced(begin, end - begin);
}

bool IsQuote(char c) { return c == '"' || c == '\''; }

QByteArrayView Unquoted(QByteArrayView text)
{
    if (text.size() >= 2 && IsQuote(text.front()) && text.back() == text.front())
        return text.sliced(1, text.size() - 2);
    return text;
}

QString Unquoted(const QString& text)
{
    if (text.size() >= 2 && (text.front() == u'"' || text.front() == u'\'') && text.back() == text.front())
        return text.sliced(1, text.size() - 2);
    return text;
}

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

bool SameName(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (AsciiUpper(a[i]) != AsciiUpper(b[i]))
            return false;
    }
    return true;
}

enum class LineKind { Blank, Comment, Section, Key, Other };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    QByteArrayView name;
    qsizetype valueStart = 0; // offset in the line just after "=" (keys only)
};

ParsedLine Parse(QByteArrayView line)
{
    const QByteArrayView trimmed = TrimBlanks(line);
    if (trimmed.isEmpty())
        return {LineKind::Blank, {}, 0};
    if (trimmed.front() == ';')
        return {LineKind::Comment, {}, 0};
    if (trimmed.front() == '[') {
        QByteArrayView name = trimmed.sliced(1);
        const qsizetype close = name.indexOf(']');
        if (close >= 0)
            name = name.first(close);
        return {LineKind::Section, TrimBlanks(name), 0};
    }
    const qsizetype equals = line.indexOf('=');
    if (equals < 0)
        return {LineKind::Other, {}, 0};
    return {LineKind::Key, TrimBlanks(line.first(equals)), equals + 1};
}

// What the reader would make of a value written as it stands.
QString AsRead(const QString& text) { return Unquoted(TrimBlanks(text)); }

QString WrittenForm(QString value)
{
    // A line break inside a value would start a new line of the file.
    for (QChar& c : value) {
        if (c == u'\r' || c == u'\n')
            c = u' ';
    }
    if (AsRead(value) != value)
        return u'"' + value + u'"';
    return value;
}

} // namespace

IniDocument IniDocument::fromBytes(QByteArray bytes)
{
    IniDocument document;
    if (const std::optional<TextEncoding> utf16 = Utf16ByteOrder(bytes)) {
        // Edited as UTF-8 and written back in its own byte order.
        QByteArrayView units = QByteArrayView(bytes).sliced(2);
        if (units.size() % 2 != 0) {
            document.utf16Tail_ = units.last(1).toByteArray();
            units.chop(1);
        }
        document.utf16_ = utf16;
        document.bytes_ = DecodeText(units, *utf16).toUtf8();
        return document;
    }
    document.bytes_ = std::move(bytes);
    if (document.bytes_.startsWith("\xEF\xBB\xBF"))
        document.bodyStart_ = 3;
    const QByteArrayView body = QByteArrayView(document.bytes_).sliced(document.bodyStart_);
    document.encoding_ = IsValidUtf8(body) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
    return document;
}

IniDocument IniDocument::readFile(const QString& path)
{
    RegularFileContent content = ReadRegularFile(path);
    if (content.outcome == RegularFileContent::Outcome::NotAFile)
        throw TessaryError(QString("Unable to read %1: it is %2, not a file").arg(path, content.kind));
    if (content.outcome != RegularFileContent::Outcome::Read)
        return {};
    return fromBytes(std::move(content.bytes));
}

IniDocument IniDocument::readFileForUpdate(const QString& path)
{
    RegularFileContent content = ReadRegularFile(path);
    if (content.outcome == RegularFileContent::Outcome::Missing)
        return {};
    if (content.outcome != RegularFileContent::Outcome::Read)
        throw TessaryError(QString("Unable to write to %1").arg(path));
    return fromBytes(std::move(content.bytes));
}

IniDocument::Line IniDocument::lineAt(qsizetype start) const
{
    const char* data = bytes_.constData();
    const qsizetype size = bytes_.size();
    qsizetype pos = start;
    while (pos < size && !IsLineBreak(data[pos]))
        ++pos;
    Line line{start, pos, pos};
    if (pos < size)
        line.end = (data[pos] == '\r' && pos + 1 < size && data[pos + 1] == '\n') ? pos + 2 : pos + 1;
    return line;
}

IniDocument::KeyPlace IniDocument::find(const QByteArray& section, const QByteArray& key) const
{
    KeyPlace place;
    const QByteArrayView all(bytes_);
    for (qsizetype pos = bodyStart_; pos < bytes_.size();) {
        const Line line = lineAt(pos);
        pos = line.end;
        const ParsedLine parsed = Parse(all.sliced(line.start, line.contentEnd - line.start));
        if (parsed.kind == LineKind::Section) {
            if (place.sectionFound)
                break;
            if (SameName(parsed.name, section)) {
                place.sectionFound = true;
                place.lastFilledLine = line;
            }
            continue;
        }
        if (!place.sectionFound)
            continue;
        if (parsed.kind != LineKind::Blank)
            place.lastFilledLine = line;
        if (parsed.kind == LineKind::Key && SameName(parsed.name, key)) {
            place.keyFound = true;
            place.keyLine = line;
            break;
        }
    }
    return place;
}

QString IniDocument::value(const QString& section, const QString& key, const QString& defaultValue) const
{
    const std::optional<QByteArray> sectionBytes = EncodeText(TrimBlanks(section), encoding_);
    const std::optional<QByteArray> keyBytes = EncodeText(TrimBlanks(key), encoding_);
    if (!sectionBytes || !keyBytes)
        return defaultValue;
    const KeyPlace place = find(*sectionBytes, *keyBytes);
    if (!place.keyFound)
        return defaultValue;
    const QByteArrayView line = QByteArrayView(bytes_).sliced(
        place.keyLine.start, place.keyLine.contentEnd - place.keyLine.start);
    const QByteArrayView raw = Unquoted(TrimBlanks(line.sliced(Parse(line).valueStart)));
    QString text = DecodeText(raw, encoding_);
    if (text.size() > MaxValueLength) {
        // Never keep half of a surrogate pair.
        const bool splitsPair = text[MaxValueLength - 1].isHighSurrogate();
        text.truncate(splitsPair ? MaxValueLength - 1 : MaxValueLength);
    }
    return text;
}

bool IniDocument::hasSection(const QString& section) const
{
    const std::optional<QByteArray> sectionBytes = EncodeText(TrimBlanks(section), encoding_);
    return sectionBytes && find(*sectionBytes, QByteArray()).sectionFound;
}

void IniDocument::setValue(const QString& section, const QString& key, const QString& value)
{
    const QString sectionName = TrimBlanks(section);
    const QString keyName = TrimBlanks(key);
    const QString written = WrittenForm(value);
    if (encoding_ == TextEncoding::Windows1252
        && (!EncodeWindows1252(sectionName) || !EncodeWindows1252(keyName) || !EncodeWindows1252(written)))
        convertToUtf8();

    const KeyPlace place = find(encoded(sectionName), encoded(keyName));
    const QByteArray newLine = encoded(keyName) + '=' + encoded(written);
    if (place.keyFound) {
        const Line& line = place.keyLine;
        const qsizetype valueStart = line.start
            + Parse(QByteArrayView(bytes_).sliced(line.start, line.contentEnd - line.start)).valueStart;
        const QByteArray stored = bytes_.mid(valueStart, line.contentEnd - valueStart);
        if (AsRead(DecodeText(stored, encoding_)) == AsRead(written))
            return; // already there; leave the line as it was written
        bytes_.replace(valueStart, line.contentEnd - valueStart, encoded(written));
    } else if (place.sectionFound) {
        const Line& last = place.lastFilledLine;
        if (last.end == last.contentEnd)
            bytes_.insert(last.contentEnd, lineEnd() + newLine);
        else
            bytes_.insert(last.end, newLine + lineEnd());
    } else {
        const QByteArray end = lineEnd();
        if (bytes_.size() > bodyStart_ && !IsLineBreak(bytes_.back()))
            bytes_.append(end);
        bytes_.append('[' + encoded(sectionName) + ']' + end + newLine + end);
    }
}

void IniDocument::writeFile(const QString& path) const
{
    WriteWholeFile(path, bytes());
}

QByteArray IniDocument::bytes() const
{
    if (!utf16_)
        return bytes_;
    return Utf16ByteOrderMark(*utf16_) + EncodeText(QString::fromUtf8(bytes_), *utf16_).value_or(QByteArray())
        + utf16Tail_;
}

QByteArray IniDocument::lineEnd() const
{
    const Line first = lineAt(bodyStart_);
    if (first.end == first.contentEnd)
        return "\r\n";
    return bytes_.mid(first.contentEnd, first.end - first.contentEnd);
}

QByteArray IniDocument::encoded(const QString& text) const
{
    return EncodeText(text, encoding_).value_or(QByteArray());
}

void IniDocument::convertToUtf8()
{
    const QString text = DecodeWindows1252(QByteArrayView(bytes_).sliced(bodyStart_));
    bytes_ = bytes_.first(bodyStart_) + text.toUtf8();
    encoding_ = TextEncoding::Utf8;
}
