#pragma once

#include "run/print_run.h"

#include <QDialog>
#include <QString>
#include <utility>
#include <map>

class QLabel;
class QPrinter;
class QPrintPreviewWidget;
class QPushButton;

// A window that shows the sheets of one run as the run prints them: it draws
// the plan through DrawRun on a page set up like the run's own (PreviewPrinterFor). Page
// through, zoom, fit. Print closes it accepted, Close rejected; the caller
// decides what printing means. Every sheet of the range has its page, but only
// the one in view and a few either side hold their passes; paging further draws
// them there, so a long run opens as fast as a short one and holds as little.
class RunPreview : public QDialog {
    Q_OBJECT

public:
    // page must outlive the window. A drawing error is thrown from here, with the
    // text the run would give.
    // The plan is made for page's resolution and one copy; a refused one shows no page.
    RunPreview(QPrinter& page, const RunPlan& plan, QWidget* parent = nullptr);

    QPrintPreviewWidget& view() { return *view_; }
    const QPrinter& page() const { return page_; }
    // The sheet of the run on the page in view, counted as in a full run; 0 when
    // the preview has no page.
    int SheetInView() const;
    // The text under the pages: which sheet is in view, or why there is none.
    QString PositionText() const;
    // Pages (counted from 1) that hold their passes, the last possibly past the
    // range's end; the others are drawn when they come near the page in view.
    std::pair<int, int> FilledPages() const { return {filledFrom_, filledTo_}; }

    // As QDialog's, but a sheet that could not be drawn while paging closes the
    // window and is thrown from here, with the text the run would give.
    int exec() override;
    // The line under the sheet in view that counts its passes whose barcodes will
    // not read (framed in red on the sheet); empty when every one reads.
    QString UnreadableText() const;

private:
    void Draw(QPrinter* printer);
    void ShowPosition();
    void Step(int pages);
    void FillAroundPageInView();

    QPrinter& page_;
    RunPlan plan_;  // its pages: the sheets that print, one copy
    QString drawError_;
    int filledFrom_ = 1;
    int filledTo_ = 0;
    bool refillDue_ = false;
    QPrintPreviewWidget* view_ = nullptr;
    QLabel* position_ = nullptr;
    QLabel* unreadable_ = nullptr;
    std::map<int, SheetLegibility> legibilityOnSheet_;  // sheet of the run: what its check found
    QPushButton* previous_ = nullptr;
    QPushButton* next_ = nullptr;
};
