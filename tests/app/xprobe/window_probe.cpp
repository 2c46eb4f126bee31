// The program's window on a real X server, driven by a test: the test types
// with real key events (xdotool) and asks this probe, through standard input,
// what the window's controls hold. One command a line, one answer a line:
//   focus-quantity  the window active, the quantity box focused holding "1"
//   save            clicks Save; the save dialog stays open
//   name-box        the text of the open save dialog's name box
//   focus-dialog    the open dialog active, its name box focused
//   close-dialog    closes the open dialog
//   fit             the window's frame and the screen's area (x y w h each), and the
//                   control under Print's middle with the controls scrolled to the end
//   quit
// A key press of F12 (which types nothing) answers "keys-done <quantity>",
// so the test knows every key it sent before F12 has been handled.
#include "app/tessary_application.h"
#include "app/tfrm_main.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSocketNotifier>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <unistd.h>

namespace {

void Answer(const QString& line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

class KeysDoneFilter : public QObject {
public:
    explicit KeysDoneFilter(QLineEdit& quantity) : quantity_(quantity) {}
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F12) {
            if (!static_cast<QKeyEvent*>(event)->isAutoRepeat())
                Answer(QStringLiteral("keys-done ") + quantity_.text());
            return true;
        }
        return event->type() == QEvent::KeyRelease && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F12;
    }

private:
    QLineEdit& quantity_;
};

QLineEdit* NameBox()
{
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    return dialog ? dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
}

}  // namespace

int main(int argc, char** argv)
{
    TessaryApplication app(argc, argv);
    TfrmMain window;
    window.show();
    auto* quantity = window.findChild<QLineEdit*>(QStringLiteral("txtQty"));
    KeysDoneFilter keysDone(*quantity);
    app.installEventFilter(&keysDone);

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[256];
        const ssize_t size = read(STDIN_FILENO, buffer, sizeof buffer - 1);
        if (size <= 0) {
            QApplication::exit(0);
            return;
        }
        for (const QString& command : QString::fromUtf8(buffer, size).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            if (command == QLatin1String("focus-quantity")) {
                window.activateWindow();
                quantity->setFocus();
                quantity->setText(QStringLiteral("1"));
                quantity->setCursorPosition(1);
                Answer(QStringLiteral("focused ") + QString::number(quantity->hasFocus()));
            } else if (command == QLatin1String("save")) {
                QTimer::singleShot(0, window.findChild<QPushButton*>(QStringLiteral("btnSave")), &QPushButton::click);
                Answer(QStringLiteral("saving"));
            } else if (command == QLatin1String("name-box")) {
                const QLineEdit* name = NameBox();
                Answer(name ? QStringLiteral("name-box [") + name->text() + QLatin1Char(']')
                            : QStringLiteral("name-box none"));
            } else if (command == QLatin1String("focus-dialog")) {
                QLineEdit* name = NameBox();
                if (name) {
                    name->window()->activateWindow();
                    name->setFocus();
                }
                Answer(QStringLiteral("dialog-focused ") + QString::number(name && name->hasFocus()));
            } else if (command == QLatin1String("close-dialog")) {
                if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                    dialog->reject();
                Answer(QStringLiteral("closed"));
            } else if (command == QLatin1String("fit")) {
                QElapsedTimer waited;
                waited.start();
                while (!window.windowHandle()->isExposed() && waited.elapsed() < 10000)
                    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
                if (auto* area = window.findChild<QScrollArea*>()) {
                    for (QScrollBar* bar : {area->horizontalScrollBar(), area->verticalScrollBar()})
                        bar->setValue(bar->maximum());
                }
                const auto* print = window.findChild<QPushButton*>(QStringLiteral("btnPrint"));
                const QWidget* hit = QApplication::widgetAt(print->mapToGlobal(print->rect().center()));
                QString rects;
                for (const QRect& r : {window.frameGeometry(), window.screen()->availableGeometry()})
                    rects += QString::asprintf("%d %d %d %d ", r.x(), r.y(), r.width(), r.height());
                Answer(QStringLiteral("fit ") + rects + (hit ? hit->objectName() : QStringLiteral("none")));
            } else if (command == QLatin1String("quit")) {
                QApplication::exit(0);
            }
        }
    });
    Answer(QStringLiteral("ready"));
    return app.exec();
}
