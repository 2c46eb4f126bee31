#pragma once

#include "preview/paper_choice_watch.h"
#include "run/print_run.h"

#include <QPageSize>
#include <QPrintDialog>
#include <QString>
#include <functional>
#include <memory>

class PassesTab;
class QPrinter;

// What the print dialog needs from its caller to show a preview of the run;
// every member is set.
struct RunPreviewSource {
    // The whole run as the caller's settings stand now, without the dialog's choices.
    std::function<PrintRunRequest()> request;
    // The run's own report of a layout that cannot be laid out.
    std::function<void()> reportUnusable;
    // Shows an error that stopped the preview; the dialog stays open.
    std::function<void(const QString& errorText)> reportError;
};

// The print dialog of one run, with Qt's tabs and one more, "Passes": a preview,
// cell outlines and the start cell. Its page fields hold the run's sheet count,
// kept in step with the start cell while the dialog is open; a run without a
// sheet shows 0 in them and offers no page range. It opens on the output the
// printer has, a file included, and keeps the printer's paper unless the
// operator chooses another. What the Passes tab chooses does not outlive the dialog.
class RunPrintDialog : public QPrintDialog {
    Q_OBJECT

public:
    // counted holds the pass list and the passes across and down: enough to count sheets.
    RunPrintDialog(QPrinter& printer, const PrintRunRequest& counted, RunPreviewSource source,
                   QWidget* parent = nullptr);

    PassesTab& passesTab() { return *tab_; }

    // Puts the dialog's choices into a run: page range and odd or even pages,
    // start cell, outlines, and the chosen output's correction as kept in the
    // user's settings. Read after the dialog has been accepted.
    void ApplyChoices(PrintRunRequest& request) const;

    void done(int result) override;
    void setVisible(bool visible) override;

private:
    SheetRange ChosenSheets() const;

    // What the printer was set to before Qt's dialog, which changes it as it is made.
    struct PrinterBefore {
        explicit PrinterBefore(const QPrinter& printer);
        bool toFile;
        QString fileName;
        QString queue;
        QPageSize paper;
    };
    RunPrintDialog(const PrinterBefore& before, QPrinter& printer, const PrintRunRequest& counted,
                   RunPreviewSource source, QWidget* parent);
    void OfferFileAgain(const QString& fileName);
    void PutOutputBack();
    void ShowNoSheets();
    void OfferPageChoices();
    void FollowStartCell(int startCell);
    bool WriteChoicesToPrinter();
    void ShowPreview();
    void PressPrint();
    void PrintCalibrationSheet();
    void EditCorrection();

    PrinterBefore before_;
    PrintRunRequest counted_;
    RunPreviewSource source_;
    PassesTab* tab_ = nullptr;
    std::unique_ptr<PaperChoiceWatch> paper_;
    bool keepOpen_ = false;
    bool closeHeldBack_ = false;
};
