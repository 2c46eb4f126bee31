// tessary-print: prints the passes of a label file and a list of rows without the window.
#include "batch/batch_run.h"
#include "render/barcode/barcode_bitmap_path.h"
#include "render/barcode/heap_retention.h"

#include <QGuiApplication>
#include <csignal>
#include <cstdio>

namespace {

volatile std::sig_atomic_t stopSignal = 0;

extern "C" void RequestStop(int signal) { stopSignal = signal; }

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
    QGuiApplication app(argc, argv);
    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);

    BatchEnvironment environment;
    environment.startTime = QTime::currentTime();
    environment.bitmapPath = BarcodeBitmapPath();
    environment.interrupted = [] { return stopSignal != 0; };
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = RunBatch(app.arguments().mid(1), environment, out, err);
    out.flush();
    err.flush();
    return status;
}
