#include "register/register_location.h"

#include "common/tessary_error.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>

namespace {

QString Decoded(const QString& part) { return QString::fromUtf8(QByteArray::fromPercentEncoding(part.toUtf8())); }

[[noreturn]] void Unreadable(const QString& setting, const QString& why)
{
    throw RegisterSettingError(QStringLiteral("TESSARY_REGISTER \"%1\" is not a register: %2").arg(setting, why));
}

// postgresql://[user[:password]@][host][:port][/database][?key=value&...]
RegisterLocation ParsePostgresUri(const QString& uri)
{
    static const QRegularExpression form(QStringLiteral(
        R"(^postgres(?:ql)?://(?:([^:@/?]*)(?::([^@/?]*))?@)?(\[[^\]]*\]|[^:/?]*)(?::([0-9]+))?(?:/([^?]*))?(?:\?(.*))?$)"));
    const QRegularExpressionMatch match = form.match(uri);
    if (!match.hasMatch())
        Unreadable(uri, QStringLiteral("a PostgreSQL URI reads postgresql://user@host:port/database"));
    RegisterLocation location;
    location.kind = RegisterLocation::Kind::PostgreSQL;
    location.user = Decoded(match.captured(1));
    location.password = Decoded(match.captured(2));
    location.host = Decoded(match.captured(3));
    if (location.host.startsWith(QLatin1Char('[')))
        location.host = location.host.mid(1, location.host.size() - 2);
    if (!match.captured(4).isEmpty())
        location.port = match.captured(4).toInt();
    location.database = Decoded(match.captured(5));
    QStringList options;
    const QStringList pairs = match.captured(6).split(QLatin1Char('&'), Qt::SkipEmptyParts);
    for (const QString& pair : pairs) {
        const qsizetype equals = pair.indexOf(QLatin1Char('='));
        if (equals <= 0)
            Unreadable(uri, QStringLiteral("\"%1\" in its query is not key=value").arg(pair));
        const QString key = Decoded(pair.left(equals));
        const QString value = Decoded(pair.mid(equals + 1));
        if (key == QLatin1String("host"))
            location.host = value;
        else if (key == QLatin1String("port"))
            location.port = value.toInt();
        else if (key == QLatin1String("user"))
            location.user = value;
        else if (key == QLatin1String("password"))
            location.password = value;
        else if (key == QLatin1String("dbname"))
            location.database = value;
        else
            options << key + QLatin1Char('=') + value;
    }
    // A server that does not answer must not hold a run for minutes.
    if (!match.captured(6).contains(QLatin1String("connect_timeout=")))
        options << QStringLiteral("connect_timeout=10");
    location.connectOptions = options.join(QLatin1Char(';'));
    return location;
}

// Why this process has no home folder for the default register, or "".
QString MissingHome()
{
#ifdef Q_OS_UNIX
    if (QDir::isAbsolutePath(qEnvironmentVariable("XDG_DATA_HOME")))
        return QString();
    // Without a home folder Qt offers "/.local/share", a folder of nobody's.
    const QString home = qEnvironmentVariable("HOME");
    if (home.isEmpty())
        return QStringLiteral("HOME is not set");
    if (!QDir::isAbsolutePath(home))
        return QStringLiteral("HOME \"%1\" is not an absolute folder name").arg(home);
    // A service account's home is often /nonexistent: the register would be
    // refused there on every run with a reason that names no way out.
    if (!QFileInfo(home).isDir())
        return QStringLiteral("HOME %1 is not a folder").arg(home);
#endif
    return QString();
}

}  // namespace

QString RegisterLocation::Name() const
{
    switch (kind) {
    case Kind::Off:
        return QStringLiteral("off");
    case Kind::SQLite:
        return file;
    case Kind::PostgreSQL:
        break;
    }
    const QString hostPart = host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']')
                                                             : QString::fromUtf8(QUrl::toPercentEncoding(host));
    QString name = QStringLiteral("postgresql://");
    if (!user.isEmpty())
        name += QString::fromUtf8(QUrl::toPercentEncoding(user)) + QLatin1Char('@');
    name += hostPart;
    if (port > 0)
        name += QLatin1Char(':') + QString::number(port);
    return name + QLatin1Char('/') + QString::fromUtf8(QUrl::toPercentEncoding(database));
}

QString RegisterSettingHint()
{
    return QStringLiteral("set TESSARY_REGISTER to the absolute name of a register file, a postgresql:// URI or off");
}

QString NoDefaultRegisterText()
{
    QString reason = MissingHome();
    if (reason.isEmpty() && QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).isEmpty())
        reason = QStringLiteral("the system names no data folder");
    if (reason.isEmpty())
        return QString();
    return QStringLiteral("There is no home folder to keep the default register in (%1); ").arg(reason)
           + RegisterSettingHint();
}

QString DefaultRegisterFile()
{
    if (!MissingHome().isEmpty())
        return QString();
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty())
        return QString();
    return QDir(data).filePath(QStringLiteral("tessary-utility/issued-passes.sqlite"));
}

RegisterLocation ParseRegisterLocation(const QString& setting)
{
    const QString text = setting.trimmed();
    RegisterLocation location;
    if (text.compare(QLatin1String("off"), Qt::CaseInsensitive) == 0) {
        location.kind = RegisterLocation::Kind::Off;
        return location;
    }
    if (text.startsWith(QLatin1String("postgresql://")) || text.startsWith(QLatin1String("postgres://")))
        return ParsePostgresUri(text);
    if (text.isEmpty()) {
        location.file = DefaultRegisterFile();
        return location;
    }
    // A relative name would follow the current folder, and a misspelt "off"
    // would quietly become a register file beside it; ":" is Qt's resources.
    // A name ending in "/" means a folder: the register is a file in one.
    if (!QDir::isAbsolutePath(text) || text.startsWith(QLatin1Char(':')) || text.endsWith(QLatin1Char('/')))
        throw RegisterSettingError(QStringLiteral("TESSARY_REGISTER \"%1\" is not a register setting: use off, an "
                                                  "absolute file name or a postgresql:// URI")
                                       .arg(text));
    location.file = QDir::cleanPath(text);
    return location;
}

RegisterLocation RegisterLocationFromEnvironment()
{
    return ParseRegisterLocation(qEnvironmentVariable("TESSARY_REGISTER"));
}
