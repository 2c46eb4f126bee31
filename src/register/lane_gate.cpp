#include "register/lane_gate.h"

LaneGate::LaneGate(const RegisterLocation& location, const GateSetting& setting, bool dryRun)
    : location_(location), setting_(setting), dryRun_(dryRun)
{
}

LaneGate::~LaneGate() = default;

PassRegister& LaneGate::Open()
{
    if (location_.kind == RegisterLocation::Kind::Off)
        throw TessaryError(QStringLiteral("TESSARY_REGISTER is off: there is no register to check passes against"));
    if (!register_)
        register_ = std::make_unique<PassRegister>(location_, dryRun_ ? RegisterAccess::ReadOnly : RegisterAccess::Existing);
    return *register_;
}

GateAnswer LaneGate::Scan(const QString& text)
{
    try {
        return Open().CheckAtGate(text, setting_, QDate::currentDate(), dryRun_);
    } catch (const TessaryError& error) {
        // A connection that failed once is not trusted again.
        register_.reset();
        GateAnswer answer;
        answer.scanned = text;
        answer.reason = GateReason::CannotCheck;
        answer.failure = error.text();
        SplitBarcode(text, &answer.passNumber, &answer.lane);
        return answer;
    }
}

Admission LaneGate::UndoLast(const QString& reason)
{
    try {
        PassRegister& passRegister = Open();
        const std::optional<Admission> last = passRegister.LastAdmission(setting_.name);
        if (!last)
            throw TessaryError(QStringLiteral("No admission at gate %1 to undo").arg(setting_.name), ErrorKind::Refused);
        const VoidMark mark{QDateTime::currentDateTimeUtc(), setting_.user, setting_.host, reason};
        if (!passRegister.UndoAdmission(last->id, mark))
            throw TessaryError(QStringLiteral("The admission of %1 was undone meanwhile").arg(last->barcode),
                               ErrorKind::Refused);
        Admission undone = *last;
        undone.undone = mark;
        return undone;
    } catch (const TessaryError& error) {
        if (error.kind() != ErrorKind::Refused)
            register_.reset();
        throw;
    }
}

std::optional<int> LaneGate::AdmittedToday()
{
    try {
        return Open().AdmittedCount(setting_.name, QDate::currentDate());
    } catch (const TessaryError&) {
        register_.reset();
        return std::nullopt;
    }
}
