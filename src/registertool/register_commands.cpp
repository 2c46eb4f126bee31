#include "registertool/register_commands.h"

#include "register/pass_register.h"
#include "registertool/admin_commands.h"
#include "registertool/checked_output.h"
#include "registertool/gate_commands.h"
#include "registertool/lookup_commands.h"
#include "registertool/register_help.h"
#include "registertool/tool_arguments.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace {

QCommandLineOption ValueOption(const char* name)
{
    return QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("value"));
}

int RunCommand(const QStringList& arguments, QTextStream& out)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({ValueOption("from"), ValueOption("to"), ValueOption("lane"), ValueOption("csv"),
                       ValueOption("by"), ValueOption("reason"), ValueOption("before"),
                       ValueOption("gate"), QCommandLineOption(QStringLiteral("dry-run")),
                       QCommandLineOption(QStringLiteral("force")), QCommandLineOption(QStringLiteral("json")),
                       QCommandLineOption(QStringLiteral("yes")), QCommandLineOption(QStringLiteral("version")),
                       QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")})});
    if (!parser.parse(QStringList{QStringLiteral("tessary-register")} + arguments))
        UsageFault(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        out << RegisterHelpText();
        return kExitDone;
    }
    const QStringList words = parser.positionalArguments();
    const QString command = words.value(0);
    if (parser.isSet(QStringLiteral("version"))) {
        if (!command.isEmpty() || parser.optionNames().size() > 1)
            UsageFault(QStringLiteral("--version takes nothing else"));
        out << "tessary-register " TESSARY_VERSION "\n";
        return kExitDone;
    }
    // count: the words with the command; -1 for one or more after it.
    const auto expect = [&](int count, const QStringList& allowedOptions) {
        if (count < 0 ? words.size() < 2 : words.size() != count)
            UsageFault(count < 0   ? QStringLiteral("%1 takes one or more arguments").arg(command)
                       : count == 1 ? QStringLiteral("%1 takes no argument").arg(command)
                                    : QStringLiteral("%1 takes one argument").arg(command));
        for (const QString& option : parser.optionNames()) {
            if (!allowedOptions.contains(option))
                UsageFault(QStringLiteral("%1 does not take --%2").arg(command, option));
        }
    };
    const QString json = QStringLiteral("json");
    if (command == QLatin1String("list")) {
        expect(1, {QStringLiteral("from"), QStringLiteral("to"), QStringLiteral("lane"), json});
    } else if (command == QLatin1String("find")) {
        expect(2, {json});
        ParseBarcode(words.at(1));
    } else if (command == QLatin1String("counts")) {
        expect(1, {QStringLiteral("from"), QStringLiteral("to"), QStringLiteral("by"), json});
    } else if (command == QLatin1String("withdraw-pending")) {
        expect(2, {QStringLiteral("force")});
    } else if (command == QLatin1String("export")) {
        expect(1, {QStringLiteral("csv"), QStringLiteral("from"), QStringLiteral("to"), QStringLiteral("lane")});
        if (parser.value(QStringLiteral("csv")).isEmpty())
            UsageFault(QStringLiteral("export needs --csv FILE"));
    } else if (command == QLatin1String("void")) {
        expect(-1, {QStringLiteral("reason")});
        if (parser.value(QStringLiteral("reason")).trimmed().isEmpty())
            UsageFault(QStringLiteral("void needs --reason TEXT: why the passes are void"));
        for (const QString& barcode : words.mid(1))
            ParseBarcode(barcode);
    } else if (command == QLatin1String("prune")) {
        expect(1, {QStringLiteral("before"), QStringLiteral("yes")});
        if (!parser.isSet(QStringLiteral("before")))
            UsageFault(QStringLiteral("prune needs --before YYYY-MM-DD"));
        ParseDay(QStringLiteral("before"), parser.value(QStringLiteral("before")));
    } else if (command == QLatin1String("backup")) {
        expect(2, {});
    } else if (command == QLatin1String("check")) {
        if (words.size() < 1)
            UsageFault(QStringLiteral("check takes barcodes, or reads them from standard input"));
        for (const QString& option : parser.optionNames()) {
            if (!QStringList{QStringLiteral("gate"), QStringLiteral("lane"), QStringLiteral("dry-run"), json}.contains(option))
                UsageFault(QStringLiteral("check does not take --%1").arg(option));
        }
        if (parser.value(QStringLiteral("gate")).trimmed().isEmpty())
            UsageFault(QStringLiteral("check needs --gate NAME: the gate the passes are admitted at"));
        ParseGateLane(parser.value(QStringLiteral("lane")));
    } else if (command == QLatin1String("undo-admission")) {
        expect(2, {QStringLiteral("reason")});
        if (parser.value(QStringLiteral("reason")).trimmed().isEmpty())
            UsageFault(QStringLiteral("undo-admission needs --reason TEXT: why the pass is to be let in again"));
        ParseBarcode(words.at(1));
    } else {
        UsageFault(command.isEmpty() ? QStringLiteral("no command given")
                                     : QStringLiteral("unknown command \"%1\"").arg(command));
    }

    const RegisterLocation location = RegisterLocationFromEnvironment();
    // A gate answers every barcode, a register it cannot use or one turned off included ("cannot check").
    if (command == QLatin1String("check"))
        return CheckCommand(location, parser, out);
    if (location.kind == RegisterLocation::Kind::Off)
        throw TessaryError(QStringLiteral("TESSARY_REGISTER is off: there is no register"), ErrorKind::Failed);
    const QString backupFile = command == QLatin1String("backup") ? QFileInfo(words.at(1)).absoluteFilePath() : QString();
    if (!backupFile.isEmpty()) {
        const QString refusal = BackupRefusal(location, backupFile);
        if (!refusal.isEmpty())
            throw TessaryError(refusal, ErrorKind::Usage);
    }
    // Looking up never makes a register, nor changes one it may only read.
    const bool writes = command == QLatin1String("withdraw-pending") || command == QLatin1String("void")
                        || command == QLatin1String("undo-admission")
                        || (command == QLatin1String("prune") && parser.isSet(QStringLiteral("yes")));
    PassRegister passRegister(location, writes ? RegisterAccess::Existing : RegisterAccess::ReadOnly);
    if (command == QLatin1String("list"))
        return ListCommand(passRegister, parser, out);
    if (command == QLatin1String("find"))
        return FindCommand(passRegister, parser, out);
    if (command == QLatin1String("counts"))
        return CountsCommand(passRegister, parser, out);
    if (command == QLatin1String("export"))
        return ExportCommand(passRegister, parser, out);
    if (command == QLatin1String("void"))
        return VoidCommand(passRegister, parser, out);
    if (command == QLatin1String("prune"))
        return PruneCommand(passRegister, parser, out);
    if (command == QLatin1String("backup"))
        return BackupCommand(passRegister, backupFile, out);
    if (command == QLatin1String("undo-admission"))
        return UndoAdmissionCommand(passRegister, parser, out);
    return WithdrawPendingCommand(passRegister, parser, out);
}

}  // namespace

int RunRegisterTool(const QStringList& arguments, CheckedOutput& out, QTextStream& err)
{
    int status = kExitDone;
    QString failure;
    try {
        status = RunCommand(arguments, out.Stream());
    } catch (const TessaryError& error) {
        status = ExitStatusOf(error);
        failure = error.text();
    }
    // What the command wrote goes out before the message of what stopped it.
    const QString outputFault = out.Finish();
    if (!failure.isEmpty())
        err << QStringLiteral("tessary-register: ") << failure << Qt::endl;
    if (!outputFault.isEmpty()) {
        err << QStringLiteral("tessary-register: ") << outputFault << Qt::endl;
        if (status == kExitDone)
            status = kExitOutputFailed;
    }
    return status;
}
