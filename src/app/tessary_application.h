#pragma once

#include <QApplication>

// The application object: its title, the window font, and the error box for any
// error that escapes an event handler.
class TessaryApplication : public QApplication {
public:
    TessaryApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

inline const QString kApplicationTitle = QStringLiteral("Tessary Utility");

// Sets the application's title and makes the window font available. Called by
// TessaryApplication; tests that use a plain QApplication call it themselves.
void SetUpApplication();
