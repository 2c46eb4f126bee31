#pragma once

#include "register/lane_gate.h"

#include <QMetaType>
#include <QObject>
#include <memory>

// The gate's register work on a thread of its own, so that a register slow
// to answer (a server gone, its connection waiting out its timeout) leaves
// the window drawing and the scanner's keys taken in; scans are answered in
// the order they came.
class GateWorker : public QObject {
    Q_OBJECT
public:
    GateWorker(const RegisterLocation& location, const GateSetting& setting);
    ~GateWorker() override;

public slots:
    void Scan(const QString& text);
    void UndoLast(const QString& reason);
    void Count();

signals:
    void answered(const GateAnswer& answer);
    void counted(int admittedToday);  // -1 when the register cannot say
    void undone(const Admission& admission);
    void undoRefused(const QString& why);

private:
    LaneGate& Gate();

    RegisterLocation location_;
    GateSetting setting_;
    std::unique_ptr<LaneGate> gate_;  // made on the worker's thread, which its connection belongs to
};

Q_DECLARE_METATYPE(GateAnswer)
Q_DECLARE_METATYPE(Admission)
