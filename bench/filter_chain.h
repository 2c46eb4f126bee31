#pragma once

#include <QString>

// The CUPS filters a laser queue runs on a job, without a scheduler: cupsfilter
// turns the PDF into the printer's language as the queue's description says
// (pdftopdf, then Ghostscript at the description's resolution). On failure both
// times are negative and error says why.
struct FilterChainTime {
    double wallSeconds = -1;
    double cpuSeconds = -1;  // of every filter process, less sensitive to a busy machine
};
FilterChainTime TimeThroughFilterChain(const QString& pdfPath, const QString& ppdPath, const QString& resolution,
                                       QString& error);
