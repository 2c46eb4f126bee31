#include "gate/gate_worker.h"

GateWorker::GateWorker(const RegisterLocation& location, const GateSetting& setting)
    : location_(location), setting_(setting)
{
    qRegisterMetaType<GateAnswer>();
    qRegisterMetaType<Admission>();
}

GateWorker::~GateWorker() = default;

LaneGate& GateWorker::Gate()
{
    if (!gate_)
        gate_ = std::make_unique<LaneGate>(location_, setting_);
    return *gate_;
}

void GateWorker::Scan(const QString& text)
{
    emit answered(Gate().Scan(text));
    Count();
}

void GateWorker::UndoLast(const QString& reason)
{
    try {
        emit undone(Gate().UndoLast(reason));
    } catch (const TessaryError& error) {
        emit undoRefused(error.text());
    }
    Count();
}

void GateWorker::Count()
{
    const std::optional<int> count = Gate().AdmittedToday();
    emit counted(count ? *count : -1);
}
