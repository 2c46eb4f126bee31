#pragma once

#include <QDate>
#include <QDateTime>
#include <QSqlError>
#include <QString>
#include <QTime>
#include <QVariant>

// Values the register's statements share.
inline const QString kPending = QStringLiteral("pending");
inline const QString kIssued = QStringLiteral("issued");

// Times are kept as UTC ISO 8601 texts of one width, so that they sort as text.
inline QString UtcText(const QDateTime& time) { return time.toUTC().toString(Qt::ISODateWithMs); }

// A time the register kept as UtcText, read back; invalid for NULL.
inline QDateTime UtcTime(const QVariant& value)
{
    return value.isNull() ? QDateTime() : QDateTime::fromString(value.toString(), Qt::ISODateWithMs);
}

// The UTC text of local midnight at the start of day: days are the user's own.
inline QString DayStartUtcText(const QDate& day) { return UtcText(QDateTime(day, QTime(0, 0))); }

// The database's own words for a failure.
inline QString Reason(const QSqlError& error)
{
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.driverText().trimmed();
    return text;
}

// A lost race for a unique row: PostgreSQL's unique violation or deadlock,
// SQLite's constraint (never reached where BEGIN IMMEDIATE lets one writer
// at a time check and insert).
inline bool IsRaceLost(const QSqlError& error)
{
    const QString code = error.nativeErrorCode();
    return code == QLatin1String("23505") || code == QLatin1String("40P01") || code == QLatin1String("19")
           || code == QLatin1String("2067");
}

// The key a record is kept under (see PassRegister::Key), from its valid-on
// text and barcode.
inline QString PassKeyOf(const QString& validOn, const QString& barcode)
{
    const int year = validOn.left(4).toInt();
    return QString::number(year - ((year % 2 + 2) % 2)) + QLatin1Char('/') + barcode;
}
