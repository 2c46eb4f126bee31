#pragma once

#include "run/run_request.h"

#include <QElapsedTimer>
#include <QRect>

class QProgressBar;
class QWidget;

// The line that shows how far a run is, over the buttons beside Print while
// the run lasts: hidden at rest, and for a run over before anyone could read it.
class RunProgressLine {
public:
    RunProgressLine(QWidget& window, const QRect& wherePx);

    void RunBegun();
    void Show(const RunProgress& progress);
    void RunEnded();

    const QProgressBar& bar() const { return *bar_; }

private:
    QProgressBar* bar_;
    QElapsedTimer sinceBegun_;
};
