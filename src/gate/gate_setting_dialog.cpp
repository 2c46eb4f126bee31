#include "gate/gate_setting_dialog.h"

#include "passes/lane_codes.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

GateSettingDialog::GateSettingDialog(const KeptGate& current, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("Gate"));
    name_ = new QLineEdit(current.name, this);
    name_->setAccessibleName(tr("Gate name"));
    name_->setMaxLength(40);
    lane_ = new QComboBox(this);
    lane_->setAccessibleName(tr("Lane"));
    lane_->addItems(LaneCodes());
    lane_->setCurrentIndex(std::max(0, int(LaneCodes().indexOf(current.lane))));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setEnabled(!current.name.trimmed().isEmpty());
    connect(name_, &QLineEdit::textChanged, ok, [ok](const QString& text) { ok->setEnabled(!text.trimmed().isEmpty()); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow(tr("Gate &name:"), name_);
    form->addRow(tr("&Lane:"), lane_);
    form->addRow(buttons);
}

KeptGate GateSettingDialog::Chosen() const { return KeptGate{name_->text().trimmed(), lane_->currentText()}; }
