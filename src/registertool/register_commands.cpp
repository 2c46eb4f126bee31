#include "registertool/register_commands.h"

#include "register/pass_register.h"
#include "registertool/register_csv.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace {

// Ends the tool with a status and the message for standard error.
struct ToolFailure {
    RegisterToolStatus status;
    QString message;
};

[[noreturn]] void UsageFault(const QString& message)
{
    QString text = message;
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    throw ToolFailure{kToolUsage, text + QStringLiteral(" (see tessary-register --help)")};
}

QString HelpText()
{
    return QStringLiteral(
        "Usage: tessary-register list [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--lane LL]\n"
        "       tessary-register find BARCODE\n"
        "       tessary-register export --csv FILE\n"
        "       tessary-register withdraw-pending RUN\n"
        "\n"
        "Looks up the register of issued passes that the window and tessary-print\n"
        "keep: every pass they handed on, when, by which run and to which output.\n"
        "TESSARY_REGISTER names the register: a SQLite file, a PostgreSQL URI\n"
        "(postgresql://user@host:port/database), or off; by default\n"
        "$XDG_DATA_HOME/tessary-utility/issued-passes.sqlite.\n"
        "\n"
        "  list              every pass recorded, oldest first; --from and --to take\n"
        "                    the days it was recorded on, --lane a lane code\n"
        "  find BARCODE      when, where and by which run the pass was issued, and\n"
        "                    every re-issue\n"
        "  export --csv FILE one line per issued pass, for a gate or accounting system\n"
        "                    (\"-\" writes to standard output)\n"
        "  withdraw-pending RUN\n"
        "                    removes the pending passes of a run that never printed\n"
        "\n"
        "Exit status: 0 done, 1 nothing found, 2 usage, 3 the register cannot be used.\n");
}

QString LocalTime(const QDateTime& utc)
{
    return utc.isValid() ? utc.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QString();
}

QString StateText(const PassRecord& record)
{
    if (record.pending)
        return record.reissue ? QStringLiteral("pending re-issue") : QStringLiteral("pending");
    return record.reissue ? QStringLiteral("re-issued") : QStringLiteral("issued");
}

QString OutputText(const RunOutput& output)
{
    return (output.toFile ? QStringLiteral("PDF ") : QStringLiteral("queue ")) + output.name;
}

QString RunText(const PassRecord& record)
{
    return QStringLiteral("run %1 (%2, %3@%4) to %5")
        .arg(record.run.id, record.run.program, record.run.user, record.run.host, OutputText(record.run.output));
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

int List(PassRegister& passRegister, const QCommandLineParser& parser, QTextStream& out)
{
    RecordFilter filter;
    if (parser.isSet(QStringLiteral("from")))
        filter.from = ParseDay(QStringLiteral("from"), parser.value(QStringLiteral("from")));
    if (parser.isSet(QStringLiteral("to")))
        filter.to = ParseDay(QStringLiteral("to"), parser.value(QStringLiteral("to")));
    filter.lane = parser.value(QStringLiteral("lane"));
    for (const PassRecord& record : passRegister.Records(filter)) {
        out << LocalTime(record.pending ? record.recordedAt : record.issuedAt) << "  " << record.barcode << "  "
            << StateText(record) << "  valid " << QString(record.validOn).replace(QLatin1Char('T'), QLatin1Char(' '))
            << "  sheet " << record.sheet << " cell " << record.cell << "  " << RunText(record) << '\n';
    }
    return kToolDone;
}

int Find(PassRegister& passRegister, const QString& barcode, QTextStream& out)
{
    RecordFilter filter;
    filter.barcode = barcode;
    const std::vector<PassRecord> records = passRegister.Records(filter);
    if (records.empty())
        throw ToolFailure{kToolNothingFound, QStringLiteral("%1 is not in the register").arg(barcode)};
    QString validOn;
    for (const PassRecord& record : records) {
        // The same barcode in another two-year cycle is another pass: a heading each.
        if (record.validOn != validOn) {
            validOn = record.validOn;
            out << record.barcode << ": pass " << record.passNumber << ", lane " << record.lane << ", valid on "
                << QString(validOn).replace(QLatin1Char('T'), QLatin1Char(' ')) << '\n';
        }
        out << "  " << StateText(record).leftJustified(16) << " "
            << LocalTime(record.pending ? record.recordedAt : record.issuedAt) << "  " << RunText(record)
            << ", sheet " << record.sheet << " cell " << record.cell << '\n';
    }
    return kToolDone;
}

int WithdrawPending(PassRegister& passRegister, const QString& runId, QTextStream& out)
{
    const int withdrawn = passRegister.WithdrawPending(runId);
    if (withdrawn == 0)
        throw ToolFailure{kToolNothingFound, QStringLiteral("run %1 has no pending passes").arg(runId)};
    out << "withdrew " << withdrawn << (withdrawn == 1 ? " pending pass" : " pending passes") << " of run " << runId
        << '\n';
    return kToolDone;
}

int RunCommand(const QStringList& arguments, QTextStream& out)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({QCommandLineOption(QStringLiteral("from"), QString(), QStringLiteral("date")),
                       QCommandLineOption(QStringLiteral("to"), QString(), QStringLiteral("date")),
                       QCommandLineOption(QStringLiteral("lane"), QString(), QStringLiteral("lane")),
                       QCommandLineOption(QStringLiteral("csv"), QString(), QStringLiteral("file")),
                       QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")})});
    if (!parser.parse(QStringList{QStringLiteral("tessary-register")} + arguments))
        UsageFault(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        out << HelpText();
        return kToolDone;
    }
    const QStringList words = parser.positionalArguments();
    const QString command = words.value(0);
    const auto expect = [&](int count, const QStringList& allowedOptions) {
        if (words.size() != count)
            UsageFault(QStringLiteral("%1 takes %2").arg(command, count == 1 ? QStringLiteral("no argument")
                                                                              : QStringLiteral("one argument")));
        for (const QString& option : parser.optionNames()) {
            if (!allowedOptions.contains(option))
                UsageFault(QStringLiteral("%1 does not take --%2").arg(command, option));
        }
    };
    if (command == QLatin1String("list")) {
        expect(1, {QStringLiteral("from"), QStringLiteral("to"), QStringLiteral("lane")});
    } else if (command == QLatin1String("find") || command == QLatin1String("withdraw-pending")) {
        expect(2, {});
    } else if (command == QLatin1String("export")) {
        expect(1, {QStringLiteral("csv")});
        if (parser.value(QStringLiteral("csv")).isEmpty())
            UsageFault(QStringLiteral("export needs --csv FILE"));
    } else {
        UsageFault(command.isEmpty() ? QStringLiteral("no command given")
                                     : QStringLiteral("unknown command \"%1\"").arg(command));
    }

    const RegisterLocation location = RegisterLocationFromEnvironment();
    if (location.kind == RegisterLocation::Kind::Off)
        throw ToolFailure{kToolRegisterFailed, QStringLiteral("TESSARY_REGISTER is off: there is no register")};
    PassRegister passRegister(location);
    if (command == QLatin1String("list"))
        return List(passRegister, parser, out);
    if (command == QLatin1String("find"))
        return Find(passRegister, words.at(1), out);
    if (command == QLatin1String("withdraw-pending"))
        return WithdrawPending(passRegister, words.at(1), out);
    RecordFilter issued;
    issued.issuedOnly = true;
    WriteRecordsCsv(passRegister.Records(issued), parser.value(QStringLiteral("csv")), out);
    return kToolDone;
}

}  // namespace

int RunRegisterTool(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    try {
        const int status = RunCommand(arguments, out);
        out.flush();
        return status;
    } catch (const ToolFailure& failure) {
        out.flush();
        err << QStringLiteral("tessary-register: ") << failure.message << Qt::endl;
        return failure.status;
    } catch (const TessaryError& error) {
        out.flush();
        err << QStringLiteral("tessary-register: ") << error.text() << Qt::endl;
        return kToolRegisterFailed;
    }
}
