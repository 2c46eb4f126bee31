#include "preview/passes_tab.h"

#include "preview/help_text.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

PassesTab::PassesTab(qint64 cellsPerSheet, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("passesTab"));
    setWindowTitle(tr("Passes"));

    auto* preview = new QPushButton(tr("Pre&view..."));
    preview->setObjectName(QStringLiteral("btnPreview"));
    preview->setAutoDefault(false);
    connect(preview, &QPushButton::clicked, this, &PassesTab::previewRequested);

    outlineCells_ = new QCheckBox(tr("Out&line every pass"));
    outlineCells_->setObjectName(QStringLiteral("chkOutlineCells"));

    const int lastCell = int(std::clamp<qint64>(cellsPerSheet, 1, std::numeric_limits<int>::max()));
    startCell_ = new QSpinBox;
    startCell_->setObjectName(QStringLiteral("spnStartCell"));
    startCell_->setRange(1, lastCell);
    startCell_->setValue(1);
    startCell_->setEnabled(lastCell > 1);
    connect(startCell_, &QSpinBox::valueChanged, this, &PassesTab::startCellChanged);
    auto* startLabel = new QLabel(tr("Start on &cell"));
    startLabel->setBuddy(startCell_);
    auto* cellCount = new QLabel(tr("of %1").arg(lastCell));
    cellCount->setObjectName(QStringLiteral("lblCellCount"));

    auto* calibration = new QPushButton(tr("Print calibration &sheet..."));
    calibration->setObjectName(QStringLiteral("btnCalibrationSheet"));
    calibration->setAutoDefault(false);
    connect(calibration, &QPushButton::clicked, this, &PassesTab::calibrationSheetRequested);
    auto* correction = new QPushButton(tr("Printer co&rrection..."));
    correction->setObjectName(QStringLiteral("btnPrinterCorrection"));
    correction->setAutoDefault(false);
    connect(correction, &QPushButton::clicked, this, &PassesTab::correctionRequested);
    auto* lining = new QHBoxLayout;
    lining->addWidget(calibration);
    lining->addWidget(correction);
    lining->addStretch();

    auto* grid = new QGridLayout;
    grid->addWidget(preview, 0, 0, 1, 3, Qt::AlignLeft);
    grid->addWidget(new HelpText(tr("The sheets exactly as this run prints them on the printer chosen above."),
                                 *preview),
                    1, 0, 1, 3);
    grid->addWidget(outlineCells_, 2, 0, 1, 3);
    grid->addWidget(new HelpText(tr("Frames every pass's cell with a thin line: print on plain paper and lay it on "
                                    "the stock against the light to check the margins and adjustments."),
                                 *outlineCells_),
                    3, 0, 1, 3);
    grid->addWidget(startLabel, 4, 0);
    grid->addWidget(startCell_, 4, 1);
    grid->addWidget(cellCount, 4, 2);
    grid->addWidget(new HelpText(tr("Cells before it on the first sheet stay empty, to use the rest of a partly "
                                    "used sheet; cells count across each row of passes from the top. Later sheets "
                                    "start at cell 1."),
                                 *startCell_),
                    5, 0, 1, 3);
    grid->addLayout(lining, 6, 0, 1, 3);
    grid->addWidget(new HelpText(tr("Lines the printer chosen above up with the stock: print the rulers on it, "
                                    "read them at two corners and enter the readings. The correction is kept "
                                    "for that printer, not in the label file."),
                                 *correction),
                    7, 0, 1, 3);
    grid->setColumnStretch(2, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
}

int PassesTab::StartCell() const { return startCell_->value(); }

bool PassesTab::OutlineCells() const { return outlineCells_->isChecked(); }
