#pragma once

#include <QWidget>

class QCheckBox;
class QSpinBox;

// The print dialog's "Passes" tab: choices that hold for one run only and are
// kept nowhere else.
class PassesTab : public QWidget {
    Q_OBJECT

public:
    // cellsPerSheet is Cols x Rows of the run; below 1 only cell 1 is offered.
    explicit PassesTab(qint64 cellsPerSheet, QWidget* parent = nullptr);

    // First cell of sheet 1 that takes a pass, counted across each row of cells
    // from the top.
    int StartCell() const;
    bool OutlineCells() const;

signals:
    void previewRequested();
    void calibrationSheetRequested();
    void correctionRequested();
    void startCellChanged(int cell);

private:
    QSpinBox* startCell_ = nullptr;
    QCheckBox* outlineCells_ = nullptr;
};
