// tessary-print: prints the passes of a label file and a list of rows without the window.
#include "barcode/barcode_bitmap_path.h"
#include "batch/batch_run.h"
#include "common/heap_retention.h"

#include <QGuiApplication>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

// Until a run has reserved its passes, a signal ends the tool at once with the
// shell's status for it, 128 + the signal's number, wherever it waits: for rows
// from a pipe, for the print server. From then on the run defers it, and ends
// with the status of what happened.
extern "C" void EndOnSignal(int signal) { _exit(128 + signal); }

void EndOnStopSignals()
{
    for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGXFSZ}) {
        struct sigaction current {};
        // A signal the caller ignores (nohup) stays ignored.
        if (sigaction(signal, nullptr, &current) != 0 || current.sa_handler == SIG_IGN)
            continue;
        struct sigaction end {};
        end.sa_handler = EndOnSignal;
        sigemptyset(&end.sa_mask);
        sigaction(signal, &end, nullptr);
    }
}

QtMessageHandler qtDefaultHandler = nullptr;

// Qt notes a missing XDG_RUNTIME_DIR, usual under cron, on every start; a script
// reading standard error wants the tool's own messages there, not that.
void ForwardQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    qtDefaultHandler(type, context, message);
}

}  // namespace

int main(int argc, char* argv[])
{
    KeepFreedHeapForReuse();
    // Fonts and printers need a GUI application, but a batch tool needs no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qtDefaultHandler = qInstallMessageHandler(ForwardQtMessage);
    EndOnStopSignals();
    // A reader that went away is a failed write, told and accounted for, not
    // the end of the tool halfway through a run.
    signal(SIGPIPE, SIG_IGN);
    QGuiApplication app(argc, argv);

    BatchEnvironment environment;
    environment.startTime = QTime::currentTime();
    environment.bitmapPath = BarcodeBitmapPath();
    environment.errIsTerminal = isatty(STDERR_FILENO) == 1;
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = RunBatch(app.arguments().mid(1), environment, out, err);
    out.flush();
    err.flush();
    return status;
}
