#include "batch/batch_rows.h"

#include "batch/batch_failure.h"
#include "batch/batch_options.h"
#include "common/tessary_error.h"
#include "labelfile/label_file.h"
#include "passes/lane_codes.h"
#include "passes/valid_on_stamp.h"

#include <QFile>
#include <QLocale>
#include <QRegularExpression>

namespace {

[[noreturn]] void Refuse(const QString& origin, const QString& why)
{
    throw BatchFailure(kExitRefused, QStringLiteral("%1: %2").arg(origin, why));
}

QString LaneOf(const QString& text, const QString& origin)
{
    const QStringList lanes = LaneCodes();
    const int index = FindLaneIndex(text, lanes);
    if (index < 0)
        Refuse(origin, QStringLiteral("\"%1\" is not a lane (%2)").arg(text, lanes.join(QLatin1Char(' '))));
    return lanes[index];
}

QDate DateOf(const QString& text, const QString& origin)
{
    const QDate date = QRegularExpression(QStringLiteral("^[0-9]{4}-[0-9]{2}-[0-9]{2}$")).match(text).hasMatch()
                           ? QDate::fromString(text, QStringLiteral("yyyy-MM-dd"))
                           : QDate();
    if (!date.isValid())
        Refuse(origin, QStringLiteral("\"%1\" is not a date YYYY-MM-DD").arg(text));
    return date;
}

QTime TimeOf(const QString& text, const QString& origin)
{
    const QTime time = ParseTimeOfDay(text);
    if (!time.isValid())
        Refuse(origin, QStringLiteral("\"%1\" is not a time of day hh:mm:ss").arg(text));
    return time;
}

int QuantityOf(const QString& text, const QString& origin)
{
    // Digits only, as the window's quantity box takes them.
    bool fits = false;
    const qlonglong value = text.toLongLong(&fits);
    if (!QRegularExpression(QStringLiteral("^[0-9]+$")).match(text).hasMatch() || !fits
        || QuantityValue(text) != value)
        Refuse(origin, QStringLiteral("\"%1\" is not a quantity of passes").arg(text));
    return QuantityValue(text);
}

// Fields of one CSV line, trimmed, with surrounding double quotes taken off.
QStringList CsvFields(const QString& line)
{
    QStringList fields = line.split(QLatin1Char(','));
    for (QString& field : fields) {
        field = field.trimmed();
        if (field.size() >= 2 && field.startsWith(QLatin1Char('"')) && field.endsWith(QLatin1Char('"')))
            field = field.mid(1, field.size() - 2).trimmed();
    }
    return fields;
}

BatchRow RowOfFields(const QStringList& fields, const QString& origin)
{
    if (fields.size() != 3 && fields.size() != 4)
        Refuse(origin, QStringLiteral("a row is lane, date, time (optional) and quantity"));
    BatchRow row;
    row.origin = origin;
    row.lane = LaneOf(fields[0], origin);
    row.date = DateOf(fields[1], origin);
    if (fields.size() == 4)
        row.timeOfDay = TimeOf(fields[2], origin);
    row.quantity = QuantityOf(fields.constLast(), origin);
    return row;
}

}  // namespace

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
    return RowOfFields(parts, origin);
}

std::vector<BatchRow> ReadRowsFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw BatchFailure(kExitUsage, QStringLiteral("Cannot open file %1").arg(path));
    QString content = QString::fromUtf8(file.readAll());
    if (content.startsWith(QChar(0xFEFF)))
        content.remove(0, 1);
    const QStringList lines = content.split(QLatin1Char('\n'));
    const QRegularExpression digit(QStringLiteral("[0-9]"));
    std::vector<BatchRow> rows;
    bool firstLine = true;
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty())
            continue;
        const bool header = firstLine && !line.contains(digit);
        firstLine = false;
        if (header)
            continue;
        rows.push_back(RowOfFields(CsvFields(line), QStringLiteral("%1 line %2").arg(path).arg(i + 1)));
    }
    return rows;
}

PassListRow MakePassListRow(const BatchRow& row, const QTime& defaultTime)
{
    PassListRow made;
    made.lane = row.lane;
    made.validOnText = QLocale::system().toString(row.date, QStringLiteral("MMMM dd yyyy"));
    made.validOnStamp = EncodeValidOnStamp(row.date, row.timeOfDay.value_or(defaultTime));
    made.quantityText = QString::number(row.quantity);
    try {
        DecodeValidOnStamp(made.validOnStamp);
    } catch (const TessaryError& error) {
        Refuse(row.origin, error.text());
    }
    return made;
}
