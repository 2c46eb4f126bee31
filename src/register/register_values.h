#pragma once

#include <QDateTime>
#include <QSqlError>
#include <QString>

// Values the register's statements share.
inline const QString kPending = QStringLiteral("pending");
inline const QString kIssued = QStringLiteral("issued");

// Times are kept as UTC ISO 8601 texts of one width, so that they sort as text.
inline QString UtcText(const QDateTime& time) { return time.toUTC().toString(Qt::ISODateWithMs); }

// The database's own words for a failure.
inline QString Reason(const QSqlError& error)
{
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.driverText().trimmed();
    return text;
}
