#pragma once

#include "run/draw_run.h"
#include "run/run_plan.h"
#include "run/run_request.h"

#include <functional>

class QPagedPaintDevice;
class QPrinter;

// How a caller answers a plan's questions: the window with its message boxes,
// tessary-print from its flags, the benchmark with yes.
class RunAnswers {
public:
    virtual ~RunAnswers() = default;
    // True prints on; false ends the run with nothing handed on.
    virtual bool Accept(const RunQuestion& question) = 0;
    // The layout cannot be laid out: said as the run ends its one empty page.
    virtual void ReportUnusable() {}
};

// The sheets the print dialog's page range chose on the printer: "All", "Pages
// from .. to ..", or a list of pages.
SheetRange ChosenSheetRange(const QPrinter& printer);

// Gives a printer that draws a run (the staging PDF, the preview) exactly the
// page of the chosen output: same paper, margins and resolution, no document name.
void CopyPageSetup(const QPrinter& from, QPrinter& to);

// Prints a plan, all or nothing, to the output the printer names: asks the
// plan's questions, reserves its passes with the request's recorder (asking
// the printed-before question again about passes another desk took meanwhile),
// draws its pages into a PDF of the run's own and hands that on (renamed into
// place for a file, submitted for a queue) once it has ended complete; the
// passes are confirmed once handed on and withdrawn when the run fails. An
// unusable layout ends one empty page (ReportUnusable); any other refusal
// throws its text. Throws on any failure, leaving no job and no file behind,
// except MayHavePrinted: the sheets went out or may have, and the passes stay
// pending under the run's id, which the text names.
PrintRunResult PrintPlanned(QPrinter& printer, const RunPlan& plan, RunAnswers& answers);
