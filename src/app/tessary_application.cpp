#include "app/tessary_application.h"

#include "app/error_box.h"

#include <QFont>
#include <QFontDatabase>
#include <QIcon>

TessaryApplication::TessaryApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    SetUpApplication();
}

bool TessaryApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowErrorBox(QString::fromStdString(error.what()));
        return false;
    }
}

void SetUpApplication()
{
    QApplication::setApplicationName(QStringLiteral("tessary-utility"));
    QApplication::setApplicationDisplayName(kApplicationTitle);
    // The desktop entry's name ties the window to its entry and icon in a
    // desktop's task list; the icon of its own serves where there is none.
    QGuiApplication::setDesktopFileName(QStringLiteral("tessary-utility"));
    QIcon icon;
    for (const char* size : {"48x48", "128x128", "256x256"})
        icon.addFile(QStringLiteral(":/icons/%1/tessary-utility.png").arg(QLatin1String(size)));
    QApplication::setWindowIcon(icon);
    // The window was laid out for MS Sans Serif; where it is missing, Liberation
    // Sans has the closest widths (the font system's own choice runs wider and
    // pushes labels into their boxes).
    const QString windowFace = QStringLiteral("MS Sans Serif");
    if (!QFontDatabase::hasFamily(windowFace))
        QFont::insertSubstitution(windowFace, QStringLiteral("Liberation Sans"));
}
