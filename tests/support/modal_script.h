#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>

class QWidget;

// Answers the modal dialogs that a click opens, as an operator would: each
// expected dialog, matched by object name, gets its action in turn. A dialog
// that comes out of turn is rejected and recorded, so a test fails instead of
// hanging in exec(). A disabled dialog is left alone until it is enabled again.
// Only the newest living script answers.
class ModalScript : public QObject {
public:
    using Action = std::function<void(QWidget* dialog)>;

    ModalScript();
    ~ModalScript() override;
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    ModalScript& Expect(const QString& objectName, Action action);

    int Pending() const { return int(steps_.size()); }
    // "objectName: text" of every dialog that was not expected.
    const QStringList& Unexpected() const { return unexpected_; }

private:
    void Poll();

    struct Step {
        QString objectName;
        Action action;
    };
    QTimer timer_;
    std::deque<Step> steps_;
    QStringList unexpected_;
    ModalScript* previous_;
    static ModalScript* current_;
};

// Every dialog the script expects came, and no other: test failures naming
// what was left or came out of turn otherwise.
void ExpectEveryDialogAnswered(const ModalScript& script);

// Actions for the dialogs the window opens.
ModalScript::Action AcceptMessage(QString* text);
ModalScript::Action RejectDialog();
// Chooses "Print to File (PDF)" in an open print dialog, writing to pdfPath.
void ChoosePdfOutput(QWidget* printDialog, const QString& pdfPath);
// Chooses "Print to File (PDF)" with that file name and accepts; maxPage gets the dialog's
// maximum page while it is open.
ModalScript::Action PrintToPdf(const QString& pdfPath, int* maxPage = nullptr);
// Records the file the dialog proposes as it opens, then chooses path.
ModalScript::Action ChooseFile(const QString& path, QString* proposed = nullptr);
