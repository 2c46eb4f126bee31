// Takes the README's pictures of the print dialog's Passes tab and of the run's
// preview, driving the window as an operator would. Run under a display:
//   xvfb-run -s "-screen 0 1280x1024x24" build/tests/docs-screenshots docs
#include "support/modal_script.h"
#include "app/tessary_application.h"
#include "app/tfrm_main.h"
#include "preview/run_preview.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLineEdit>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <cstdio>

namespace {

void SetText(QWidget& window, const char* name, const QString& text)
{
    window.findChild<QLineEdit*>(QLatin1String(name))->setText(text);
}

// Grabs without running the event loop, where the script would answer the
// dialog out of turn.
bool Save(QWidget& widget, const QString& path)
{
    const bool saved = widget.grab().save(path);
    std::printf("%s %s (%dx%d)\n", saved ? "wrote" : "could not write", qPrintable(path), widget.width(),
                widget.height());
    return saved;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    SetUpApplication();
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs"));

    TfrmMain window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    SetText(window, "ebxCols", "2");
    SetText(window, "ebxRows", "5");
    SetText(window, "txtLeftMargin", "0.25");
    SetText(window, "txtTop", "0.5");
    SetText(window, "txtFontSize", "1.0");
    SetText(window, "ebxLine1", "CITY LANES");
    SetText(window, "ebxLine2", "DAY PASS");
    SetText(window, "ebxLine5", "KEEP VISIBLE");
    auto* lanes = window.findChild<QComboBox*>(QStringLiteral("cboType"));
    lanes->setCurrentIndex(lanes->findText(QStringLiteral("03")));
    window.findChild<QDateEdit*>(QStringLiteral("dtpDate"))->setDate(QDate(2026, 3, 4));
    SetText(window, "txtQty", "14");
    window.findChild<QPushButton*>(QStringLiteral("btnAdd"))->click();

    int failures = 0;
    ModalScript script;
    script
        .Expect(QStringLiteral("printDialog"),
                [&](QWidget* dialog) {
                    auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
                    printers->setCurrentIndex(printers->findText(QStringLiteral("Print to File (PDF)")));
                    // Only shown: the script cancels the dialog after the preview.
                    dialog->findChild<QLineEdit*>(QStringLiteral("filename"))
                        ->setText(QDir::home().filePath(QStringLiteral("passes.pdf")));
                    auto* tab = dialog->findChild<QWidget*>(QStringLiteral("passesTab"));
                    for (QWidget* w = tab; w; w = w->parentWidget()) {
                        if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
                            tabs->setCurrentWidget(tab);
                            break;
                        }
                    }
                    tab->findChild<QSpinBox*>(QStringLiteral("spnStartCell"))->setValue(4);
                    tab->findChild<QCheckBox*>(QStringLiteral("chkOutlineCells"))->setChecked(true);
                    dialog->adjustSize();
                    failures += !Save(*dialog, out.filePath("print-dialog-passes.png"));
                    QTimer::singleShot(0, tab->findChild<QPushButton*>(QStringLiteral("btnPreview")),
                                       &QPushButton::click);
                })
        .Expect(QStringLiteral("runPreview"),
                [&](QWidget* preview) {
                    failures += !Save(*preview, out.filePath("preview.png"));
                    preview->findChild<QPushButton*>(QStringLiteral("btnClosePreview"))->click();
                })
        .Expect(QStringLiteral("printDialog"), [](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
    window.findChild<QPushButton*>(QStringLiteral("btnPrint"))->click();
    for (const QString& unexpected : script.Unexpected())
        std::printf("unexpected dialog: %s\n", qPrintable(unexpected));
    return failures + script.Pending() + int(script.Unexpected().size());
}
