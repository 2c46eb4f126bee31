#pragma once

#include "draw/calibration_sheet.h"
#include "sheet/printer_correction.h"

#include <QDialog>
#include <QString>

class QDoubleSpinBox;
class QLabel;

// "Printer correction": the readings of a calibration sheet in, the output's
// offset and scale out. The offsets and scales can be typed as well; OK keeps
// them for the output, none when they are all at their defaults.
class PrinterCorrectionDialog : public QDialog {
    Q_OBJECT

public:
    // corners: where the layout puts the corners the sheet is read at; kept:
    // the correction the output has now, which the sheet went out through.
    PrinterCorrectionDialog(const QString& outputKey, const CalibrationCorners& corners,
                            const PrinterCorrection& kept, QWidget* parent = nullptr);

    PrinterCorrection Correction() const;

    void accept() override;

private:
    void WorkOut();

    QString outputKey_;
    CalibrationCorners corners_;
    PrinterCorrection kept_;
    QDoubleSpinBox* readings_[4] = {};  // first X, first Y, last X, last Y
    QDoubleSpinBox* values_[4] = {};    // offset X, offset Y, scale X, scale Y
    QLabel* status_ = nullptr;
};
