#pragma once

#include <QObject>
#include <QPageSize>
#include <QPointer>

class QDialog;
class QPrintDialog;
class QPrinter;

// Keeps the run's paper through Qt's print dialog. Qt puts a queue's own
// default paper (often A4) on the printer whenever it shows or switches to a
// queue, and its printer properties page opens on that default too, although
// the passes are cut for the paper the printer had before the dialog. That
// paper stays the run's: the properties page opens showing it, and only a
// paper the operator chooses there and confirms with OK replaces it.
class PaperChoiceWatch : public QObject {
public:
    // Call before the dialog is shown, with the paper the printer had before Qt's dialog was made.
    PaperChoiceWatch(QPrintDialog& dialog, const QPageSize& runPaper);
    // Call after Qt has written the dialog's choices into the printer: puts the
    // run's paper back unless the operator chose another one.
    void Apply(QPrinter& printer) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Showing(QDialog& properties);

    QPageSize runPaper_;
    // The properties page last confirmed with OK, and the paper it held then.
    // Qt drops the page (and what was chosen on it) when another printer is chosen.
    QPointer<QDialog> confirmed_;
    QPageSize confirmedPaper_;
};
