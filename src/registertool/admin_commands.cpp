#include "registertool/admin_commands.h"

#include "register/register_file_checks.h"
#include "registertool/pending_run_check.h"
#include "registertool/terminal_text.h"
#include "registertool/tool_arguments.h"

namespace {

QString RecordsText(int count)
{
    return count == 1 ? QStringLiteral("1 issued pass record") : QStringLiteral("%1 issued pass records").arg(count);
}

}  // namespace

int VoidCommand(PassRegister& passRegister, const QCommandLineParser& parser, QTextStream& out)
{
    QStringList barcodes = parser.positionalArguments().mid(1);
    barcodes.removeDuplicates();
    const RunInfo here = NewRunInfo(QStringLiteral("tessary-register"));
    const VoidMark mark{QDateTime::currentDateTimeUtc(), here.user, here.host,
                        parser.value(QStringLiteral("reason")).trimmed()};
    const VoidOutcome outcome = passRegister.Void(barcodes, mark);
    if (!outcome.missing.isEmpty()) {
        throw TessaryError(QStringLiteral("%1 %2 not in the register; nothing was voided")
                               .arg(outcome.missing.join(QStringLiteral(", ")),
                                    outcome.missing.size() == 1 ? QStringLiteral("is") : QStringLiteral("are")),
                           ErrorKind::Refused);
    }
    for (const QString& barcode : outcome.voided)
        out << "voided " << TerminalText(barcode) << '\n';
    for (const QString& barcode : outcome.alreadyVoid)
        out << TerminalText(barcode) << " was void already: its first void mark stays\n";
    return kExitDone;
}

int PruneCommand(PassRegister& passRegister, const QCommandLineParser& parser, QTextStream& out)
{
    const QDate before = ParseDay(QStringLiteral("before"), parser.value(QStringLiteral("before")));
    const bool remove = parser.isSet(QStringLiteral("yes"));
    const QString day = before.toString(Qt::ISODate);
    const int count = passRegister.Prune(before, remove);
    if (count == 0)
        throw TessaryError(QStringLiteral("no issued passes were recorded before %1").arg(day), ErrorKind::Refused);
    if (remove)
        out << "removed " << RecordsText(count) << " recorded before " << day << '\n';
    else
        out << "would remove " << RecordsText(count) << " recorded before " << day
            << "; nothing was removed: prune --yes removes them\n";
    return kExitDone;
}

QString BackupRefusal(const RegisterLocation& location, const QString& file)
{
    if (location.kind == RegisterLocation::Kind::PostgreSQL)
        return QStringLiteral("backup copies a SQLite register; back up the PostgreSQL register %1 with pg_dump")
            .arg(location.Name());
    if (RegisterPathExists(file))
        return QStringLiteral("backup does not overwrite %1: name a file that does not exist").arg(TerminalText(file));
    return QString();
}

int BackupCommand(PassRegister& passRegister, const QString& file, QTextStream& out)
{
    passRegister.Backup(file);
    out << "backed up the register to " << TerminalText(file) << '\n';
    return kExitDone;
}

int WithdrawPendingCommand(PassRegister& passRegister, const QCommandLineParser& parser, QTextStream& out)
{
    const QString runId = parser.positionalArguments().at(1);
    if (const std::optional<RunInfo> run = passRegister.FindRun(runId)) {
        const QString refusal =
            StillPrintingRefusal(*run, parser.isSet(QStringLiteral("force")), QDateTime::currentDateTimeUtc());
        if (!refusal.isEmpty())
            throw TessaryError(refusal, ErrorKind::MayHavePrinted);
    }
    const int withdrawn = passRegister.WithdrawPending(runId);
    if (withdrawn == 0)
        throw TessaryError(QStringLiteral("run %1 has no pending passes").arg(runId), ErrorKind::Refused);
    out << "withdrew " << withdrawn << (withdrawn == 1 ? " pending pass" : " pending passes") << " of run " << runId
        << '\n';
    return kExitDone;
}
