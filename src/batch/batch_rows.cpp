#include "batch/batch_rows.h"

#include "common/exit_status.h"
#include "batch/rows_input.h"
#include "common/tessary_error.h"
#include "labelfile/label_file.h"
#include "passes/lane_codes.h"
#include "passes/pass_list.h"
#include "passes/valid_on_stamp.h"
#include "run/print_run.h"

#include <QByteArrayView>
#include <QLocale>

#include <algorithm>
#include <cstring>

namespace {

constexpr qsizetype kLongestShownText = 40;  // of a field or row quoted in a message

[[noreturn]] void Refuse(const QString& origin, const QString& why)
{
    throw TessaryError(QStringLiteral("%1: %2").arg(origin, why), ErrorKind::Refused);
}

const QStringList& Lanes()
{
    static const QStringList lanes = LaneCodes();
    return lanes;
}

QString LaneOf(const QString& text, const QString& origin)
{
    const int index = FindLaneIndex(text, Lanes());
    if (index < 0)
        Refuse(origin, QStringLiteral("%1 is not a lane (%2)").arg(QuotedForMessage(text), Lanes().join(QLatin1Char(' '))));
    return Lanes()[index];
}

// Whether text is shaped like pattern, where 'd' stands for an ASCII digit and
// every other character for itself.
bool Shaped(const QString& text, const char* pattern)
{
    const qsizetype length = qsizetype(std::strlen(pattern));
    if (text.size() != length)
        return false;
    for (qsizetype i = 0; i < length; ++i) {
        const char16_t c = text[i].unicode();
        if (pattern[i] == 'd' ? (c < u'0' || c > u'9') : c != char16_t(pattern[i]))
            return false;
    }
    return true;
}

int DigitsAt(const QString& text, qsizetype from, qsizetype count)
{
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i)
        value = value * 10 + (text[i].unicode() - u'0');
    return value;
}

QDate DateOf(const QString& text, const QString& origin)
{
    const QDate date =
        Shaped(text, "dddd-dd-dd") ? QDate(DigitsAt(text, 0, 4), DigitsAt(text, 5, 2), DigitsAt(text, 8, 2)) : QDate();
    if (!date.isValid())
        Refuse(origin, QStringLiteral("%1 is not a date YYYY-MM-DD").arg(QuotedForMessage(text)));
    return date;
}

QTime TimeOf(const QString& text, const QString& origin)
{
    const QTime time =
        Shaped(text, "dd:dd:dd") ? QTime(DigitsAt(text, 0, 2), DigitsAt(text, 3, 2), DigitsAt(text, 6, 2)) : QTime();
    if (!time.isValid())
        Refuse(origin, QStringLiteral("%1 is not a time of day hh:mm:ss").arg(QuotedForMessage(text)));
    return time;
}

int QuantityOf(const QString& text, const QString& origin)
{
    // Digits only, as the window's quantity box takes them, and no more passes
    // than its two digits hold.
    if (text.isEmpty())
        Refuse(origin, QStringLiteral("%1 is not a quantity of passes").arg(QuotedForMessage(text)));
    qint64 value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            Refuse(origin, QStringLiteral("%1 is not a quantity of passes").arg(QuotedForMessage(text)));
        value = std::min<qint64>(value * 10 + (c.unicode() - u'0'), 1000);
    }
    if (value < 1 || value > kMostPassesOfARow)
        Refuse(origin, QuantityRangeMessage());
    return int(value);
}

BatchRow RowOfFields(const QStringList& fields, const QString& origin, qint64 line)
{
    const QString where = line > 0 ? QStringLiteral("%1 line %2").arg(origin).arg(line) : origin;
    if (fields.size() != 3 && fields.size() != 4)
        Refuse(where, QStringLiteral("a row is lane, date, time (optional) and quantity"));
    BatchRow row;
    row.origin = origin;
    row.line = line;
    row.lane = LaneOf(fields[0], where);
    row.date = DateOf(fields[1], where);
    if (fields.size() == 4)
        row.timeOfDay = TimeOf(fields[2], where);
    row.quantity = QuantityOf(fields.constLast(), where);
    return row;
}

QByteArrayView Trimmed(QByteArrayView text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; };
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && blank(text[begin]))
        ++begin;
    while (end > begin && blank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

// Fields of one CSV line, trimmed, with surrounding double quotes taken off.
// Stops after five: no row has more than four. A line without a comma may be
// separated by semicolons, as spreadsheets save CSV where the comma is the
// decimal mark.
QStringList CsvFields(QByteArrayView line)
{
    const char separator = !line.contains(',') && line.contains(';') ? ';' : ',';
    QStringList fields;
    qsizetype start = 0;
    while (fields.size() < 5) {
        const qsizetype comma = line.indexOf(separator, start);
        QByteArrayView field = Trimmed(line.sliced(start, (comma < 0 ? line.size() : comma) - start));
        if (field.size() >= 2 && field.front() == '"' && field.back() == '"')
            field = Trimmed(field.sliced(1, field.size() - 2));
        fields << QString::fromUtf8(field);
        if (comma < 0)
            break;
        start = comma + 1;
    }
    return fields;
}

// The lines of a rows file, one at a time, each at most kLongestRowsLine bytes.
class RowsFileReader {
public:
    RowsFileReader(const QString& path, std::vector<BatchRow>& rows)
        : name_(path == QLatin1String("-") ? QStringLiteral("standard input") : path), rows_(rows)
    {
    }

    void Line(QByteArrayView line)
    {
        if (++lineNumber_ > 2 * kMostRows)
            Refuse(name_, QStringLiteral("more than %1 lines").arg(2 * kMostRows));
        if (line.size() > kLongestRowsLine)
            Refuse(name_, QStringLiteral("line %1 is longer than %2 bytes").arg(lineNumber_).arg(kLongestRowsLine));
        if (lineNumber_ == 1 && line.startsWith("\xEF\xBB\xBF"))
            line = line.sliced(3);
        line = Trimmed(line);
        if (line.isEmpty())
            return;
        const bool header = firstLine_ && std::none_of(line.begin(), line.end(), [](char c) { return c >= '0' && c <= '9'; });
        firstLine_ = false;
        if (header)
            return;
        if (qint64(rows_.size()) >= kMostRows)
            Refuse(name_, QStringLiteral("more than %1 rows").arg(kMostRows));
        rows_.push_back(RowOfFields(CsvFields(line), name_, lineNumber_));
    }

    // A line longer than the limit is refused as soon as that many bytes are
    // read, so that endless input without line ends takes no more memory.
    void CheckPending(qsizetype pendingBytes)
    {
        if (pendingBytes > kLongestRowsLine)
            Refuse(name_, QStringLiteral("line %1 is longer than %2 bytes").arg(lineNumber_ + 1).arg(kLongestRowsLine));
    }

    const QString& name() const { return name_; }

private:
    QString name_;
    std::vector<BatchRow>& rows_;
    qint64 lineNumber_ = 0;
    bool firstLine_ = true;
};

void ReadLines(RowsInput& input, RowsFileReader& reader)
{
    char chunk[1 << 16];
    QByteArray pending;
    for (;;) {
        const qsizetype got = input.Read(chunk, sizeof chunk, reader.name());
        if (got == 0)
            break;
        const char* at = chunk;
        const char* const end = chunk + got;
        while (at < end) {
            const char* newline = static_cast<const char*>(std::memchr(at, '\n', size_t(end - at)));
            if (!newline) {
                pending.append(at, end - at);
                reader.CheckPending(pending.size());
                break;
            }
            if (pending.isEmpty()) {
                reader.Line(QByteArrayView(at, newline - at));
            } else {
                pending.append(at, newline - at);
                reader.Line(pending);
                pending.clear();
            }
            at = newline + 1;
        }
    }
    if (!pending.isEmpty())
        reader.Line(pending);
}

}  // namespace

QString QuotedForMessage(const QString& text)
{
    if (text.size() <= kLongestShownText)
        return QStringLiteral("\"%1\"").arg(text);
    qsizetype cut = kLongestShownText;
    if (text[cut - 1].isHighSurrogate())
        --cut;
    return QStringLiteral("\"%1...\"").arg(text.left(cut));
}

QString BatchRow::Where() const { return line > 0 ? QStringLiteral("%1 line %2").arg(origin).arg(line) : origin; }

BatchRow ParseRowText(const QString& text, const QString& origin)
{
    const QStringList fields = text.split(QLatin1Char(','));
    if (fields.size() != 3)
        Refuse(origin, QStringLiteral("a row is LANE,YYYY-MM-DD[Thh:mm:ss],QTY"));
    const QString when = fields[1].trimmed();
    const qsizetype t = when.indexOf(QLatin1Char('T'));
    QStringList parts{fields[0].trimmed(), t < 0 ? when : when.left(t)};
    if (t >= 0)
        parts << when.mid(t + 1);
    parts << fields[2].trimmed();
    return RowOfFields(parts, origin, 0);
}

std::vector<BatchRow> ReadRowsFile(const QString& path)
{
    RowsInput input(path);
    std::vector<BatchRow> rows;
    RowsFileReader reader(path, rows);
    if (!input.IsFileOrPipe())
        Refuse(reader.name(), QStringLiteral("not a file or a pipe of rows"));
    ReadLines(input, reader);
    return rows;
}

PassListRow MakePassListRow(const BatchRow& row, const QTime& defaultTime)
{
    static const QLocale locale = QLocale::system();
    PassListRow made;
    made.lane = row.lane;
    made.validOnText = locale.toString(row.date, QStringLiteral("MMMM dd yyyy"));
    made.validOnStamp = EncodeValidOnStamp(row.date, row.timeOfDay.value_or(defaultTime));
    made.quantityText = QString::number(row.quantity);
    try {
        DecodeValidOnStamp(made.validOnStamp);
    } catch (const TessaryError& error) {
        Refuse(row.Where(), error.text());
    }
    return made;
}
