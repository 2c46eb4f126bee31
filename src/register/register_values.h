#pragma once

#include <QDate>
#include <QDateTime>
#include <QSqlError>
#include <QString>
#include <QTime>

// Values the register's statements share.
inline const QString kPending = QStringLiteral("pending");
inline const QString kIssued = QStringLiteral("issued");

// Times are kept as UTC ISO 8601 texts of one width, so that they sort as text.
inline QString UtcText(const QDateTime& time) { return time.toUTC().toString(Qt::ISODateWithMs); }

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
