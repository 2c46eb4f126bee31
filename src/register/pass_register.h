#pragma once

#include "passes/run_recorder.h"
#include "passes/earlier_issues.h"
#include "common/tessary_error.h"
#include "register/register_location.h"

#include <QDate>
#include <QDateTime>
#include <QSet>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class QSqlQuery;
struct GateAnswer;
struct GateSetting;
struct ScannedRecords;

// The run that prints a set of passes.
struct RunInfo {
    QString id;          // the run's own id
    QDateTime started;   // UTC
    QString user;
    QString host;
    QString program;     // "window" or "tessary-print"
    RunOutput output;
    qint64 processId = 0;  // on host; 0 when the register did not record it
};

// A new run of this process's user on this host.
RunInfo NewRunInfo(const QString& program);

// Passes of the register that may be printed again: the ones the operator was
// asked about, or all of them.
struct ReprintAllowance {
    bool any = false;
    QSet<QString> keys;
    bool Covers(const QString& key) const { return any || keys.contains(key); }
};

// Who voided a pass, where, when and why. A pass voided stays recorded: the
// gate or the accounts are to know it was issued and is not to be let in.
struct VoidMark {
    QDateTime at;  // UTC; invalid while the record is not void
    QString user;
    QString host;
    QString reason;

    bool IsVoid() const { return at.isValid(); }
};

// What voiding a set of barcodes did: when some are missing, nothing at all.
struct VoidOutcome {
    QStringList missing;      // barcodes the register holds no record of
    QStringList voided;
    QStringList alreadyVoid;  // every record of them was void before: their marks stay
};

// One pass record, as the register keeps it.
struct PassRecord {
    QString barcode;
    QString passNumber;
    QString lane;
    QString validOn;     // local wall clock, "yyyy-MM-ddThh:mm:ss"
    int sheet = 0;
    int cell = 0;
    bool reissue = false;
    bool pending = false;
    QDateTime recordedAt;  // UTC: taken as pending
    QDateTime issuedAt;    // UTC: handed on; invalid while pending
    RunInfo run;
    VoidMark voided;
    qint64 ordinal = 0;       // the record's place in its run
    QDateTime admittedAt;     // UTC: the admission in force at a gate; invalid when none
    QString admittedGate;
};

// One pass let in at a gate. An admission undone stays recorded with who
// undid it, where, when and why (the undone mark's time is invalid while it holds).
struct Admission {
    QString id;
    QString barcode;
    QString passKey;   // the pass within its numbering cycle, as PassRegister::Key
    QString runId;     // the record admitted: its run and ordinal
    qint64 ordinal = 0;
    QDateTime at;      // UTC
    QString gate;
    QString lane;      // the gate's lane
    QString user;
    QString host;
    VoidMark undone;

    bool IsRecorded() const { return !id.isEmpty(); }
};

struct RecordFilter {
    std::optional<QDate> from;  // local dates, both included
    std::optional<QDate> to;
    QString lane;
    QString barcode;
    bool issuedOnly = false;
};


// How a program opens the register: only the printing programs make one.
enum class RegisterAccess {
    Create,    // made when missing, its tables created or upgraded
    Existing,  // refused when missing; its tables upgraded
    ReadOnly,  // refused when missing; nothing written, not even an upgrade
};

// The register of issued passes, over Qt SQL: a SQLite file or a PostgreSQL
// database, the same statements on both where their SQL agrees. Opening it
// checks that it is a register, a file no other user may change. Every failure
// throws TessaryError naming the register and giving the database's own reason.
class PassRegister : public IssuedPassLookup {
public:
    explicit PassRegister(const RegisterLocation& location, RegisterAccess access = RegisterAccess::Create);
    ~PassRegister();
    PassRegister(const PassRegister&) = delete;
    PassRegister& operator=(const PassRegister&) = delete;

    QString Name() const { return location_.Name(); }

    // The key a pass is kept under: its barcode within its numbering cycle.
    static QString Key(const RunPass& pass);

    // Which of the passes an earlier run printed, or may have printed.
    EarlierIssues LookUp(const std::vector<RunPass>& passes) override;

    // In one write transaction: checks the passes again and records them as
    // pending for the run, each a first issue or an allowed re-issue. Throws
    // PassesIssuedMeanwhile when another run holds a pass the allowance does
    // not cover, and then records nothing.
    void Reserve(const RunInfo& run, const std::vector<RunPass>& passes, const ReprintAllowance& allowance);
    // The run handed on its first handedOn passes: they are issued, the rest withdrawn.
    void Confirm(const QString& runId, qint64 handedOn);
    // The queue's job the run's sheets went into, and its print server.
    void NoteJob(const QString& runId, const QString& job, const QString& server);
    // Removes the run's pending passes; returns how many there were.
    int WithdrawPending(const QString& runId);

    // Records in the order they were taken.
    std::vector<PassRecord> Records(const RecordFilter& filter);

    // The run of that id, when the register holds one.
    std::optional<RunInfo> FindRun(const QString& runId);

    // Marks every record of each barcode void, in one transaction; a barcode
    // held in more than one numbering cycle is the pass of the latest. Voids
    // nothing when a barcode is missing.
    VoidOutcome Void(const QStringList& barcodes, const VoidMark& mark);

    // The issued pass records recorded before the local day before, and their
    // runs once no record of theirs is left; pending ones stay for
    // withdraw-pending to judge. Removes them only when remove is set;
    // returns how many there are.
    int Prune(const QDate& before, bool remove);

    // The gate's answer to one scanned text on today, read in one
    // transaction; unless dryRun, an admission is recorded in it. The unique
    // index over the admissions in force, not this program, decides between
    // two gates that scan the same pass at once: the other one is told
    // "already admitted".
    GateAnswer CheckAtGate(const QString& scanned, const GateSetting& gate, const QDate& today, bool dryRun);
    // Marks the admission undone; false when there is none of that id in force.
    bool UndoAdmission(const QString& admissionId, const VoidMark& mark);
    // The latest admission in force at the gate.
    std::optional<Admission> LastAdmission(const QString& gate);
    // The admissions in force at the gate on the local day.
    int AdmittedCount(const QString& gate, const QDate& day);
    // Every admission of the barcode, undone ones too, oldest first.
    std::vector<Admission> Admissions(const QString& barcode);

    // Copies a SQLite register as it stands into file, a new file of mode
    // 0600 that appears whole or not at all; refused for PostgreSQL.
    void Backup(const QString& file);

private:
    QSqlQuery Prepared(const QString& statement);
    void Exec(QSqlQuery& query, const QString& doing);
    void Exec(const QString& statement, const QString& doing);
    void Begin();
    void Commit(const QString& doing);
    void Rollback();
    [[noreturn]] void Fail(const QString& doing, const QString& reason);
    void OpenFile(RegisterAccess access);
    void CreateFile();
    void OpenFileConnection(bool readOnly);
    bool HasSchemaTable();
    void OpenSchema(RegisterAccess access);
    EarlierIssues Found(const QStringList& keys);
    int DeletePending(const QString& runId, const QString& doing);
    void InsertPasses(const RunInfo& run, const std::vector<RunPass>& passes, const QSet<QString>& earlier,
                      bool issued, const QDateTime& recordedAt);
    QString VoidColumns() const;
    QString JobColumns() const;
    QString AdmissionJoin() const;
    ScannedRecords HeldAtGate(const QString& barcode, const QDate& today);
    Admission InsertAdmission(const PassRecord& record, const GateSetting& gate);

    RegisterLocation location_;
    QString connectionName_;
    QSqlDatabase db_;
    bool postgres_ = false;
    bool inTransaction_ = false;
    bool creating_ = false;  // building a new SQLite register under another name
    int schemaVersion_ = 0;  // of the tables as opened (older when only read)
};
