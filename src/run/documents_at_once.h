#pragma once

#include "run/draw_run.h"

#include <QString>
#include <cstddef>

class QIODevice;
class QPageLayout;

// The pages of one document of a run: [firstPage, endPage) of the plan's.
struct DocumentPages {
    std::size_t firstPage = 0;
    std::size_t endPage = 0;
};

// The plan's pages cut into documents of at most pagesPerDocument pages each.
std::vector<DocumentPages> CutIntoDocuments(std::size_t pages, int pagesPerDocument);

// Workers that draw a run's documents: the request's drawingJobs, or one per processor.
int DrawingJobs(const PrintRunRequest& request);

// The page every document is drawn on: the output's paper, margins and resolution.
struct DocumentPageSetup {
    int resolutionDpi = 0;
    QString creator;
};

// Draws a usable plan's documents (CutIntoDocuments) at once, each by one of
// DrawingJobs workers into a PDF of its own in folder, with its own writer,
// barcode image file and sheet check, and joins them in page order into out.
// The heading style is read once, at the start, for every worker alike. The
// caller's thread keeps watch meanwhile: it lets the program's events be
// handled, asks stopRequested, and hears, in page order, of every sheet begun
// and pass drawn, and of progress. A stop keeps the documents up to the one
// it reached, drawn as far as it got, and drops the later ones, so the pages
// kept are the run's first, in order. The first failure in a kept document
// is thrown once every worker has ended.
PrintRunResult DrawDocumentsAtOnce(const RunPlan& plan, const QPageLayout& layout, const DocumentPageSetup& setup,
                                   const QString& folder, QIODevice& out, const QString& writeErrorText);
