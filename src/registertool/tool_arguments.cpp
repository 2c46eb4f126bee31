#include "registertool/tool_arguments.h"

#include "registertool/terminal_text.h"

#include <QRegularExpression>

void UsageFault(const QString& message)
{
    QString text = message;
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    throw TessaryError(text + QStringLiteral(" (see tessary-register --help)"), ErrorKind::Usage);
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

QString ParseBarcode(const QString& text)
{
    // Any two digits for the lane, not only LaneCodes(): a lane dropped from
    // that list leaves its passes in the register.
    static const QRegularExpression barcode(QStringLiteral("^(?:[0-9]{8}|0*-[0-9]+)[0-9]{2}$"));
    if (text.size() != 10 || !barcode.match(text).hasMatch())
        UsageFault(QStringLiteral("\"%1\" is not a barcode: eight digits of pass number, then two of lane, as 2514080003")
                       .arg(TerminalText(text)));
    return text;
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
