#pragma once

#include "register/pass_register.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

// The door a pass is scanned at: its name, the lane it lets in, and who runs it.
struct GateSetting {
    QString name;
    QString lane;  // two digits, as the barcode ends
    QString user;
    QString host;
};

// This process's user and host at the gate of that name and lane.
GateSetting GateOf(const QString& name, const QString& lane);

// Why a pass is let in or not. The order is the order the check asks in.
enum class GateReason {
    Admit,
    NotABarcode,      // not shaped as the barcodes this system prints
    NeverIssued,      // the register holds no record of it, nor of its withdrawal
    OtherLane,        // a pass of another lane
    OtherDay,         // issued, but for other days only
    Withdrawn,        // its run ended before handing it on
    Pending,          // its run never confirmed it was handed on
    Void,
    AlreadyAdmitted,
    CannotCheck,      // the register could not be asked: never an admission
};

// The answer to one scan, with what it is based on.
struct GateAnswer {
    QString scanned;
    GateReason reason = GateReason::CannotCheck;
    bool recorded = false;   // Admit: this check recorded the admission (not a dry run)
    QString passNumber;      // from the barcode, once it is one
    QString lane;
    QString gateLane;        // the lane of the gate it was scanned at
    QString runId;           // Admit, Pending, Withdrawn: the run of the record
    QStringList otherDays;   // OtherDay: the days it was issued for, yyyy-MM-dd
    VoidMark voided;         // Void
    Admission admission;     // Admit: this one (when recorded); AlreadyAdmitted: the earlier one
    QString failure;         // CannotCheck: why

    bool Admits() const { return reason == GateReason::Admit; }
};

// A stable word a script can match: "admit", "not-a-barcode", "never-issued",
// "other-lane", "other-day", "withdrawn", "pending", "void",
// "already-admitted", "cannot-check".
QString ReasonKey(GateReason reason);

// The answer in a few words for the door's large type: "ADMIT", "VOID", ...
QString Headline(const GateAnswer& answer);

// What the answer is based on, one line: the run, the days, the void mark,
// the earlier admission or the register's failure. Times are local.
QString Basis(const GateAnswer& answer);

// The pass number and lane of a barcode as this system prints it (eight
// characters of pass number, two digits of lane); false for anything else.
bool SplitBarcode(const QString& text, QString* passNumber, QString* lane);

// A pass of a run that ended before handing it on.
struct WithdrawnPass {
    QString validDay;  // yyyy-MM-dd
    QString runId;
};

// What the register holds of one barcode, as the check reads it.
struct ScannedRecords {
    std::vector<PassRecord> records;   // every record of the barcode, any cycle
    std::vector<WithdrawnPass> withdrawn;
    std::optional<Admission> admitted; // the admission, not undone, of today's pass
};

// The valid-on day of a record, yyyy-MM-dd.
inline QString ValidDay(const PassRecord& record) { return record.validOn.left(10); }

// The record a gate would admit today: the latest issued one, not void,
// valid on today; nullptr when there is none.
const PassRecord* AdmittableRecord(const std::vector<PassRecord>& records, const QDate& today);

// Judges one scan from what the register holds: every reason but CannotCheck.
// An Admit here is not yet recorded.
GateAnswer JudgeScan(const QString& scanned, const ScannedRecords& held, const GateSetting& gate, const QDate& today);
