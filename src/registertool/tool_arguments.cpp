#include "registertool/tool_arguments.h"

#include <QRegularExpression>

void UsageFault(const QString& message)
{
    QString text = message;
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    throw ToolFailure{kToolUsage, text + QStringLiteral(" (see tessary-register --help)")};
}

QDate ParseDay(const QString& option, const QString& text)
{
    const QDate day = QRegularExpression(QStringLiteral("^[0-9]{4}-[0-9]{2}-[0-9]{2}$")).match(text).hasMatch()
                          ? QDate::fromString(text, Qt::ISODate)
                          : QDate();
    if (!day.isValid())
        UsageFault(QStringLiteral("--%1 \"%2\" is not a date YYYY-MM-DD").arg(option, text));
    return day;
}

RecordFilter FilterOf(const QCommandLineParser& parser)
{
    RecordFilter filter;
    if (parser.isSet(QStringLiteral("from")))
        filter.from = ParseDay(QStringLiteral("from"), parser.value(QStringLiteral("from")));
    if (parser.isSet(QStringLiteral("to")))
        filter.to = ParseDay(QStringLiteral("to"), parser.value(QStringLiteral("to")));
    filter.lane = parser.value(QStringLiteral("lane"));
    return filter;
}
