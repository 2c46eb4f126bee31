#include "gate/gate_settings.h"

#include "passes/lane_codes.h"

#include <QSettings>

KeptGate LoadKeptGate()
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("tessary-utility"),
                       QStringLiteral("tessary-gate"));
    KeptGate gate{settings.value(QStringLiteral("gate/name")).toString().trimmed(),
                  settings.value(QStringLiteral("gate/lane")).toString()};
    // A lane edited by hand into something no pass carries is chosen again.
    if (!LaneCodes().contains(gate.lane))
        gate.lane.clear();
    return gate;
}

void SaveKeptGate(const KeptGate& gate)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("tessary-utility"),
                       QStringLiteral("tessary-gate"));
    settings.setValue(QStringLiteral("gate/name"), gate.name.trimmed());
    settings.setValue(QStringLiteral("gate/lane"), gate.lane);
    settings.sync();
}
