#pragma once

#include <QString>

// What a run handed on, as tessary-print reports it on standard output.
struct BatchResult {
    QString job;          // "Passes-12"; "" for a PDF
    QString pdfPath;      // the file written, absolute; "" for a queue and for standard output
    int sheets = 0;       // the sheets of the run, each once (a queue makes the copies)
    int passes = 0;       // the passes they hold
    QString registerRun;  // the register's id of the run; "" when the register is off
    QString heldUntil;    // the job's job-hold-until when it was handed on held; "" when it prints at once
};

// "tessary-print: Passes-12 is held (job-hold-until=indefinite); lp -i
// Passes-12 -H resume releases it\n" for a job handed on held; "" otherwise.
QString HeldJobLine(const BatchResult& result);

// lp's line for the job, "request id is Passes-12 (1 file(s))\n"; "" for a PDF.
QString RequestIdLine(const BatchResult& result);

// The result as one line of JSON, every key always there and null when it has
// no value: {"held_until":null,"job":"Passes-12","passes":10,"pdf":null,"register_run":null,"sheets":3}
QString ResultJsonLine(const BatchResult& result);
