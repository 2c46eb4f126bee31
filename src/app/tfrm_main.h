#pragma once

#include "labelfile/label_file.h"
#include "labelfile/label_file_name.h"
#include "sheet/layout_settings.h"

#include <QPrinter>
#include <QWidget>
#include <memory>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QFileDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QTableView;
class PassList;
class RunProgressLine;
class TFontComboBox;

// The program's one window. Every setting lives in one of its controls; the
// handlers read the controls into plain values and hand them to the code that
// does the work.
class TfrmMain : public QWidget {
    Q_OBJECT

public:
    explicit TfrmMain(QWidget* parent = nullptr);
    ~TfrmMain() override;

    void setVisible(bool visible) override;

    PassList& passList() { return *passList_; }
    QPrinter& printer() { return printer_; }
    bool AbortRequested() const { return abortRequested_; }
    QString LastLabelFile() const { return lastLabelFile_; }

    void btnAddClick();
    void btnClearClick();
    void btnPrintClick();
    void btnLoadClick();
    void btnSaveClick();

    void LoadLabelFile(const QString& path);
    // A file named on the command line, or opened from a file manager: one
    // that is missing, unreadable or no label file is said in the error box,
    // and the layout stays as it was.
    void OpenLabelFile(const QString& path);
    void SaveLabelFile(const QString& path);

    // Texts behind the layout settings, as the controls hold them now.
    LayoutTexts CurrentLayoutTexts() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    void PrintPasses();
    bool RunInProgress() const;
    void BuildControls();
    void SetTabOrder();
    void NameControlsForAssistiveTools();
    void FitToScreen();
    void KeepOnScreen();
    void PutControlsInScrollArea();
    LabelValues CurrentLabelValues() const;
    void ApplyLabelValues(const LabelValues& values);

    std::unique_ptr<PassList> passList_;
    QPrinter printer_{QPrinter::HighResolution};
    bool abortRequested_ = false;
    bool closeAfterRun_ = false;
    bool shownOnce_ = false;
    QString lastLabelFile_;
    // Null while the screen has room for the whole window.
    QScrollArea* controlsArea_ = nullptr;
    // The window frame the window was last fitted for; the window manager
    // tells it only once the window is on screen.
    QMargins fittedFrame_;

    QLineEdit* txtLeftMargin = nullptr;
    QLineEdit* txtTop = nullptr;
    QLineEdit* ebxAdjust = nullptr;
    QLineEdit* ebxAdjustCol = nullptr;
    QLineEdit* ebxCols = nullptr;
    QLineEdit* ebxRows = nullptr;
    TFontComboBox* cboFontName = nullptr;
    QLineEdit* txtFontSize = nullptr;
    QCheckBox* chbCentered = nullptr;
    QLineEdit* ebxLine[kHeadingLineCount] = {};
    QCheckBox* chkBold[kHeadingLineCount] = {};
    QComboBox* cboType = nullptr;
    QDateEdit* dtpDate = nullptr;
    QLineEdit* txtQty = nullptr;
    QPushButton* btnAdd = nullptr;
    QLineEdit* txtPages = nullptr;
    QTableView* grdList = nullptr;
    QPushButton* btnLoad = nullptr;
    QPushButton* btnSave = nullptr;
    QPushButton* btnClear = nullptr;
    QPushButton* btnPrint = nullptr;
    std::unique_ptr<RunProgressLine> runProgress_;
    QFileDialog* OpenDialog1 = nullptr;
    QFileDialog* SaveDialog1 = nullptr;
};
