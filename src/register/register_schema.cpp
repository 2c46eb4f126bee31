#include "register/register_schema.h"

const std::vector<QStringList>& RegisterSchemaSteps()
{
    static const std::vector<QStringList> steps = {
        // 0 -> 1. Times are UTC ISO 8601 texts of one width, so they sort as text
        // on both databases; valid_on is the pass's local wall-clock instant.
        // pass_key is the barcode within its two-year numbering cycle
        // ("2026/2514080003"); a barcode has one first issue among the records
        // kept (pending or issued), and the index, not the program, decides
        // which of two runs racing for it gets it.
        {
            QStringLiteral("CREATE TABLE runs ("
                           " run_id TEXT PRIMARY KEY,"
                           " started_at TEXT NOT NULL,"
                           " user_name TEXT NOT NULL,"
                           " host_name TEXT NOT NULL,"
                           " program TEXT NOT NULL,"
                           " output_kind TEXT NOT NULL,"
                           " output_name TEXT NOT NULL)"),
            QStringLiteral("CREATE TABLE passes ("
                           " run_id TEXT NOT NULL REFERENCES runs (run_id),"
                           " ordinal INTEGER NOT NULL,"
                           " pass_key TEXT NOT NULL,"
                           " barcode TEXT NOT NULL,"
                           " pass_number TEXT NOT NULL,"
                           " lane TEXT NOT NULL,"
                           " valid_on TEXT NOT NULL,"
                           " sheet INTEGER NOT NULL,"
                           " cell INTEGER NOT NULL,"
                           " reissue INTEGER NOT NULL,"
                           " state TEXT NOT NULL,"
                           " recorded_at TEXT NOT NULL,"
                           " issued_at TEXT,"
                           " PRIMARY KEY (run_id, ordinal))"),
            QStringLiteral("CREATE UNIQUE INDEX passes_first_issue ON passes (pass_key) WHERE reissue = 0"),
            QStringLiteral("CREATE INDEX passes_by_key ON passes (pass_key)"),
            QStringLiteral("CREATE INDEX passes_by_time ON passes (recorded_at)"),
            QStringLiteral("CREATE INDEX passes_by_barcode ON passes (barcode)"),
        },
        // 1 -> 2. The process of each run on its host, so that the pending passes
        // of a run still printing are not withdrawn under it; NULL for older runs.
        {
            QStringLiteral("ALTER TABLE runs ADD COLUMN process_id INTEGER"),
        },
        // 2 -> 3. A pass voided stays recorded with who voided it, where, when
        // and why; NULL columns for every pass recorded before and any not void.
        {
            QStringLiteral("ALTER TABLE passes ADD COLUMN voided_at TEXT"),
            QStringLiteral("ALTER TABLE passes ADD COLUMN voided_by TEXT"),
            QStringLiteral("ALTER TABLE passes ADD COLUMN voided_host TEXT"),
            QStringLiteral("ALTER TABLE passes ADD COLUMN void_reason TEXT"),
        },
        // 3 -> 4. The output's offset and scale each run drew through,
        // "DX,DY,SX,SY"; NULL for runs recorded before.
        {
            QStringLiteral("ALTER TABLE runs ADD COLUMN correction TEXT"),
        },
        // 4 -> 5. The copies each run handed on, every one carrying the run's
        // barcodes; NULL for runs recorded before.
        {
            QStringLiteral("ALTER TABLE runs ADD COLUMN copies INTEGER"),
        },
        // 5 -> 6. The queue's job of each run and the print server it is on,
        // so that a run left pending can be looked for there; NULL for files
        // and for runs recorded before.
        {
            QStringLiteral("ALTER TABLE runs ADD COLUMN job_id TEXT"),
            QStringLiteral("ALTER TABLE runs ADD COLUMN print_server TEXT"),
        },
        // 6 -> 7. Passes let in at gates: each admission names the record it
        // let in, the gate, its lane, who and when. A pass has one admission
        // in force; the index, not the program, decides which of two gates
        // scanning it at once gets it. An undone admission stays, with who
        // undid it, when and why. Withdrawn passes keep a trace, so that a
        // gate tells them from passes never issued.
        {
            QStringLiteral("CREATE TABLE admissions ("
                           " admission_id TEXT PRIMARY KEY,"
                           " pass_key TEXT NOT NULL,"
                           " barcode TEXT NOT NULL,"
                           " run_id TEXT NOT NULL,"
                           " ordinal INTEGER NOT NULL,"
                           " admitted_at TEXT NOT NULL,"
                           " gate TEXT NOT NULL,"
                           " lane TEXT NOT NULL,"
                           " user_name TEXT NOT NULL,"
                           " host_name TEXT NOT NULL,"
                           " undone_at TEXT,"
                           " undone_by TEXT,"
                           " undone_host TEXT,"
                           " undo_reason TEXT)"),
            QStringLiteral("CREATE UNIQUE INDEX admissions_once ON admissions (pass_key) WHERE undone_at IS NULL"),
            QStringLiteral("CREATE INDEX admissions_by_record ON admissions (run_id, ordinal)"),
            QStringLiteral("CREATE INDEX admissions_by_barcode ON admissions (barcode)"),
            QStringLiteral("CREATE INDEX admissions_by_gate ON admissions (gate, admitted_at)"),
            QStringLiteral("CREATE TABLE withdrawn_passes ("
                           " pass_key TEXT NOT NULL,"
                           " barcode TEXT NOT NULL,"
                           " lane TEXT NOT NULL,"
                           " valid_on TEXT NOT NULL,"
                           " run_id TEXT NOT NULL,"
                           " withdrawn_at TEXT NOT NULL)"),
            QStringLiteral("CREATE INDEX withdrawn_by_barcode ON withdrawn_passes (barcode)"),
        },
    };
    return steps;
}
