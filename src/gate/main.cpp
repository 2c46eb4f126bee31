// tessary-gate: the window at a lane's door, answering every pass scanned
// there from the register that printed it.
#include "gate/gate_setting_dialog.h"
#include "gate/gate_window.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstring>

namespace {

const char kHelp[] =
    "Usage: tessary-gate\n"
    "       tessary-gate --help | --version\n"
    "\n"
    "The window at a lane's door: each pass scanned (a USB scanner types the\n"
    "barcode and Enter) is answered from the register of issued passes that\n"
    "TESSARY_REGISTER names, and admitted once across every gate sharing it.\n"
    "Ctrl+Z undoes the last admission, Ctrl+G chooses the gate, F11 is full screen.\n";

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
    window.show();
    return app.exec();
}
