#include "preview/printer_correction_dialog.h"

#include "common/tessary_error.h"
#include "output/stored_correction.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QDoubleSpinBox* Box(const QString& objectName, double from, double to, int decimals, double step,
                    const QString& suffix, double value)
{
    auto* box = new QDoubleSpinBox;
    box->setObjectName(objectName);
    box->setRange(from, to);
    box->setDecimals(decimals);
    box->setSingleStep(step);
    box->setSuffix(suffix);
    box->setValue(value);
    return box;
}

}  // namespace

PrinterCorrectionDialog::PrinterCorrectionDialog(const QString& outputKey, const CalibrationCorners& corners,
                                                 const PrinterCorrection& kept, QWidget* parent)
    : QDialog(parent), outputKey_(outputKey), corners_(corners), kept_(kept)
{
    setObjectName(QStringLiteral("printerCorrectionDialog"));
    setWindowTitle(tr("Printer correction"));

    const double cornerValues[4] = {corners.first.x(), corners.first.y(), corners.last.x(), corners.last.y()};
    const char* readingNames[4] = {"spnFirstX", "spnFirstY", "spnLastX", "spnLastY"};
    const QString readingLabels[4] = {tr("First cell, top ruler (&X):"), tr("First cell, left ruler (&Y):"),
                                      tr("Last cell, bottom ruler (X):"), tr("Last cell, right ruler (Y):")};
    auto* readings = new QFormLayout;
    for (int i = 0; i < 4; ++i) {
        readings_[i] = Box(QLatin1String(readingNames[i]), -1.0, 20.0, 3, 0.01, tr(" in"), cornerValues[i]);
        readings->addRow(readingLabels[i], readings_[i]);
    }
    auto* workOut = new QPushButton(tr("&Work out from the readings"));
    workOut->setObjectName(QStringLiteral("btnWorkOut"));
    workOut->setAutoDefault(false);
    connect(workOut, &QPushButton::clicked, this, &PrinterCorrectionDialog::WorkOut);

    values_[0] = Box(QStringLiteral("spnOffsetX"), -kMostCorrectionOffsetInches, kMostCorrectionOffsetInches, 3,
                     0.001, tr(" in"), kept.offsetXInches);
    values_[1] = Box(QStringLiteral("spnOffsetY"), -kMostCorrectionOffsetInches, kMostCorrectionOffsetInches, 3,
                     0.001, tr(" in"), kept.offsetYInches);
    values_[2] = Box(QStringLiteral("spnScaleX"), kLeastCorrectionScalePercent, kMostCorrectionScalePercent, 2, 0.01,
                     tr(" %"), kept.scaleXPercent);
    values_[3] = Box(QStringLiteral("spnScaleY"), kLeastCorrectionScalePercent, kMostCorrectionScalePercent, 2, 0.01,
                     tr(" %"), kept.scaleYPercent);
    auto* values = new QFormLayout;
    values->addRow(tr("Offset &right:"), values_[0]);
    values->addRow(tr("Offset &down:"), values_[1]);
    values->addRow(tr("Scale &across:"), values_[2]);
    values->addRow(tr("Scale d&own:"), values_[3]);

    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("lblCorrectionStatus"));
    status_->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Reset);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons->button(QDialogButtonBox::Reset), &QPushButton::clicked, this, [this] {
        const PrinterCorrection none;
        values_[0]->setValue(none.offsetXInches);
        values_[1]->setValue(none.offsetYInches);
        values_[2]->setValue(none.scaleXPercent);
        values_[3]->setValue(none.scaleYPercent);
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("For %1. Read the calibration sheet where the stock's cut lines cross its "
                                    "rulers (it went out through the correction below).")
                                     .arg(outputKey)));
    layout->addLayout(readings);
    layout->addWidget(workOut, 0, Qt::AlignLeft);
    layout->addLayout(values);
    layout->addWidget(status_);
    layout->addWidget(buttons);
}

void PrinterCorrectionDialog::WorkOut()
{
    const CalibrationReadings r{readings_[0]->value(), readings_[1]->value(), readings_[2]->value(),
                                readings_[3]->value()};
    const std::optional<PrinterCorrection> found =
        CorrectionFromReadings(r, corners_.first.x(), corners_.first.y(), corners_.last.x(), corners_.last.y(), kept_);
    if (!found) {
        status_->setText(tr("These readings give a correction beyond 1 inch or outside 99 to 101 %: check them "
                            "against the sheet."));
        return;
    }
    values_[0]->setValue(found->offsetXInches);
    values_[1]->setValue(found->offsetYInches);
    values_[2]->setValue(found->scaleXPercent);
    values_[3]->setValue(found->scaleYPercent);
    status_->setText(tr("Worked out from the readings; OK keeps it for this printer."));
}

PrinterCorrection PrinterCorrectionDialog::Correction() const
{
    return RoundedCorrection(
        {values_[0]->value(), values_[1]->value(), values_[2]->value(), values_[3]->value()});
}

void PrinterCorrectionDialog::accept()
{
    try {
        StoreCorrection(outputKey_, Correction());
    } catch (const TessaryError& error) {
        QMessageBox::warning(this, windowTitle(), error.text());
        return;
    }
    QDialog::accept();
}
