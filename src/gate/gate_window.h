#pragma once

#include "gate/answer_sounds.h"
#include "gate/gate_settings.h"
#include "gate/gate_worker.h"

#include <QThread>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

// The window at the door: one scan field that always has the keyboard (a
// USB scanner types the barcode and Enter), the answer over the whole window
// in colour with its reason in large type and a sound, the gate and today's
// admissions at it, undo of the last admission. Every control has a
// shortcut and a name for a screen reader.
class GateWindow : public QWidget {
    Q_OBJECT
public:
    GateWindow(const RegisterLocation& location, const KeptGate& gate, QWidget* parent = nullptr);
    ~GateWindow() override;

public slots:
    // One scanned text, from the scan field or the camera.
    void Scan(const QString& text);
    // Where the camera stands, shown beside the gate.
    void NoteCamera(const QString& note);

signals:
    void scanRequested(const QString& text);
    void undoRequested(const QString& reason);
    void countRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowAnswer(const GateAnswer& answer);
    void ShowPanel(const QString& headline, const QString& basis, const QString& scanned, const QColor& colour);
    void ShowCount(int admittedToday);
    void UndoLast();
    void ChooseGate();
    void UseGate(const KeptGate& gate);
    void ToggleFullScreen();
    void TakeKeyboardBack();

    RegisterLocation location_;
    KeptGate kept_;
    QString cameraNote_;
    QThread registerThread_;
    GateWorker* worker_ = nullptr;  // lives on registerThread_, deleted when it finishes
    int admittedToday_ = -1;
    AnswerSounds sounds_;
    QWidget* panel_;
    QLabel* headline_;
    QLabel* basis_;
    QLabel* scanned_;
    QLabel* gateLine_;
    QLineEdit* scanField_;
    QPushButton* undoButton_;
    QPushButton* gateButton_;
    QPushButton* fullScreenButton_;
};
