// tessary-gate: the window at a lane's door, answering every pass scanned
// there from the register that printed it.
#include "gate/camera_scanner.h"
#include "gate/gate_setting_dialog.h"
#include "gate/gate_window.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

namespace {

const char kHelp[] =
    "Usage: tessary-gate [--camera[=NAME]]\n"
    "       tessary-gate --help | --version\n"
    "\n"
    "The window at a lane's door: each pass scanned (a USB scanner types the\n"
    "barcode and Enter) is answered from the register of issued passes that\n"
    "TESSARY_REGISTER names, and admitted once across every gate sharing it.\n"
    "Ctrl+Z undoes the last admission, Ctrl+G chooses the gate, F11 is full screen.\n"
    "\n"
    "  --camera         reads the passes held up to the first camera as well\n"
    "  --camera=NAME    to the camera whose description holds NAME\n";

}  // namespace

int main(int argc, char* argv[])
{
    // Answered before the application starts: they need no display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::fputs("tessary-gate " TESSARY_VERSION "\n", stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kHelp, stdout);
            return 0;
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tessary-gate"));
    std::optional<QString> camera;
    for (const QString& argument : app.arguments().mid(1)) {
        if (argument == QLatin1String("--camera"))
            camera = QString();
        else if (argument.startsWith(QLatin1String("--camera=")))
            camera = argument.mid(9);
        else {
            std::fprintf(stderr, "tessary-gate: unknown argument \"%s\" (see tessary-gate --help)\n",
                         qPrintable(argument));
            return 2;
        }
    }

    RegisterLocation location;
    try {
        location = RegisterLocationFromEnvironment();
    } catch (const TessaryError& error) {
        QMessageBox::critical(nullptr, QStringLiteral("Tessary gate"), error.text());
        return 2;
    }
    KeptGate gate = LoadKeptGate();
    if (!gate.IsChosen()) {
        GateSettingDialog dialog(gate);
        if (dialog.exec() != QDialog::Accepted)
            return 1;
        gate = dialog.Chosen();
        SaveKeptGate(gate);
    }
    GateWindow window(location, gate);
    std::unique_ptr<CameraScanner> scanner;
    if (camera) {
        scanner = std::make_unique<CameraScanner>(*camera);
        QObject::connect(&scanner->Scanner(), &FrameScanner::scanned, &window, &GateWindow::Scan);
        window.NoteCamera(QObject::tr("camera: %1").arg(scanner->Description()));
    }
    window.show();
    return app.exec();
}
