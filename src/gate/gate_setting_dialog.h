#pragma once

#include "gate/gate_settings.h"

#include <QDialog>

class QComboBox;
class QLineEdit;

// Asks for the gate's name and lane: at the first start, and on Ctrl+G.
class GateSettingDialog : public QDialog {
    Q_OBJECT
public:
    GateSettingDialog(const KeptGate& current, QWidget* parent = nullptr);
    KeptGate Chosen() const;

private:
    QLineEdit* name_;
    QComboBox* lane_;
};
