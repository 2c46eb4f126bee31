#pragma once

#include <QString>

// The gate's name and lane, kept in the user's own settings
// (~/.config/tessary-utility/tessary-gate.conf) once chosen.
struct KeptGate {
    QString name;
    QString lane;

    bool IsChosen() const { return !name.trimmed().isEmpty() && !lane.isEmpty(); }
};

KeptGate LoadKeptGate();
void SaveKeptGate(const KeptGate& gate);
