#include "registertool/register_commands.h"

#include "register/pass_register.h"
#include "registertool/pending_run_check.h"
#include "registertool/register_csv.h"
#include "registertool/terminal_text.h"

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
        "       tessary-register withdraw-pending [--force] RUN\n"
        "\n"
        "Looks up the register of issued passes that the window and tessary-print\n"
        "keep: every pass they handed on, when, by which run and to which output.\n"
        "TESSARY_REGISTER names the register: the absolute name of a SQLite file,\n"
        "a PostgreSQL URI (postgresql://user@host:port/database), or off; by\n"
        "default $XDG_DATA_HOME/tessary-utility/issued-passes.sqlite. Anything\n"
        "else is refused. A SQLite file must be the user's own, writable by no\n"
        "one else, in a folder no one else may write in (unless sticky, as /tmp).\n"
        "list, find and export only read the register, which they never create.\n"
        "\n"
        "  list              every pass recorded, oldest first; --from and --to take\n"
        "                    the days it was recorded on, --lane a lane code\n"
        "  find BARCODE      when, where and by which run the pass was issued, and\n"
        "                    every re-issue\n"
        "  export --csv FILE one line per issued pass, for a gate or accounting system\n"
        "                    (\"-\" writes to standard output)\n"
        "  withdraw-pending RUN\n"
        "                    removes the pending passes of a run that never printed;\n"
        "                    refused while the run's process still runs on this host,\n"
        "                    and for 15 minutes after a run of another host started\n"
        "                    (its process cannot be seen from here)\n"
        "  withdraw-pending --force RUN\n"
        "                    withdraws a run of another host within those 15 minutes\n"
        "\n"
        "Exit status: 0 done, 1 nothing found, 2 usage or a TESSARY_REGISTER that is\n"
        "not a register setting, 3 the register cannot be used, 4 the run may still\n"
        "be printing.\n");
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
        .arg(TerminalText(record.run.id), TerminalText(record.run.program), TerminalText(record.run.user),
             TerminalText(record.run.host), TerminalText(OutputText(record.run.output)));
}

QString ValidOnText(const PassRecord& record)
{
    return TerminalText(QString(record.validOn).replace(QLatin1Char('T'), QLatin1Char(' ')));
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
        out << LocalTime(record.pending ? record.recordedAt : record.issuedAt) << "  " << TerminalText(record.barcode)
            << "  " << StateText(record) << "  valid " << ValidOnText(record)
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
            out << TerminalText(record.barcode) << ": pass " << TerminalText(record.passNumber) << ", lane "
                << TerminalText(record.lane) << ", valid on " << ValidOnText(record) << '\n';
        }
        out << "  " << StateText(record).leftJustified(16) << " "
            << LocalTime(record.pending ? record.recordedAt : record.issuedAt) << "  " << RunText(record)
            << ", sheet " << record.sheet << " cell " << record.cell << '\n';
    }
    return kToolDone;
}

int WithdrawPending(PassRegister& passRegister, const QString& runId, bool force, QTextStream& out)
{
    if (const std::optional<RunInfo> run = passRegister.FindRun(runId)) {
        const QString refusal = StillPrintingRefusal(*run, force, QDateTime::currentDateTimeUtc());
        if (!refusal.isEmpty())
            throw ToolFailure{kToolRunMayBePrinting, refusal};
    }
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
                       QCommandLineOption(QStringLiteral("force")),
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
    } else if (command == QLatin1String("find")) {
        expect(2, {});
    } else if (command == QLatin1String("withdraw-pending")) {
        expect(2, {QStringLiteral("force")});
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
    // Looking up never makes a register, nor changes one it may only read.
    const bool writes = command == QLatin1String("withdraw-pending");
    PassRegister passRegister(location, writes ? RegisterAccess::Existing : RegisterAccess::ReadOnly);
    if (command == QLatin1String("list"))
        return List(passRegister, parser, out);
    if (command == QLatin1String("find"))
        return Find(passRegister, words.at(1), out);
    if (command == QLatin1String("withdraw-pending"))
        return WithdrawPending(passRegister, words.at(1), parser.isSet(QStringLiteral("force")), out);
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
    } catch (const RegisterSettingError& error) {
        out.flush();
        err << QStringLiteral("tessary-register: ") << error.text() << Qt::endl;
        return kToolUsage;
    } catch (const TessaryError& error) {
        out.flush();
        err << QStringLiteral("tessary-register: ") << error.text() << Qt::endl;
        return kToolRegisterFailed;
    }
}
