#include "app/run_progress_line.h"

#include <QProgressBar>
#include <QWidget>

namespace {

// Shorter runs are over before the line could be read.
constexpr qint64 kShownAfterMs = 300;

}  // namespace

RunProgressLine::RunProgressLine(QWidget& window, const QRect& wherePx) : bar_(new QProgressBar(&window))
{
    bar_->setObjectName(QStringLiteral("runProgress"));
    bar_->setAccessibleName(QStringLiteral("Print run progress"));
    bar_->setGeometry(wherePx);
    bar_->setTextVisible(true);
    bar_->setAlignment(Qt::AlignCenter);
    bar_->hide();
}

void RunProgressLine::RunBegun()
{
    sinceBegun_.start();
    bar_->hide();
}

void RunProgressLine::Show(const RunProgress& progress)
{
    if (progress.stage == RunProgress::Drawing && sinceBegun_.isValid() && sinceBegun_.elapsed() < kShownAfterMs)
        return;
    bar_->setRange(0, std::max(1, progress.pagesTotal));
    bar_->setValue(std::min(progress.pagesDrawn, bar_->maximum()));
    const QString text = progress.stage == RunProgress::Drawing
                             ? QStringLiteral("Sheet %1 of %2 drawn and checked").arg(progress.pagesDrawn).arg(progress.pagesTotal)
                             : QStringLiteral("Handing on to the print server...");
    bar_->setFormat(text);
    bar_->setAccessibleDescription(text);
    if (!bar_->isVisible()) {
        bar_->show();
        bar_->raise();
    }
    // Painted now: the run goes on at once, and handing on may wait a while.
    bar_->repaint();
}

void RunProgressLine::RunEnded()
{
    bar_->hide();
    sinceBegun_.invalidate();
}
