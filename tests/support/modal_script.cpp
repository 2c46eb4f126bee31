#include "support/modal_script.h"

#include <gtest/gtest.h>

#include <QAbstractPrintDialog>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

ModalScript* ModalScript::current_ = nullptr;

ModalScript::ModalScript() : previous_(current_)
{
    current_ = this;
    timer_.setInterval(10);
    connect(&timer_, &QTimer::timeout, this, &ModalScript::Poll);
    timer_.start();
}

ModalScript::~ModalScript()
{
    if (current_ == this)
        current_ = previous_;
}

ModalScript& ModalScript::Expect(const QString& objectName, Action action)
{
    steps_.push_back({objectName, std::move(action)});
    return *this;
}

void ModalScript::Poll()
{
    if (current_ != this)
        return;
    QWidget* dialog = QApplication::activeModalWidget();
    // A disabled dialog is busy (a preview being drawn); the operator waits too.
    if (!dialog || !dialog->isVisible() || !dialog->isEnabled())
        return;
    if (steps_.empty() || steps_.front().objectName != dialog->objectName()) {
        const auto* box = qobject_cast<QMessageBox*>(dialog);
        unexpected_ << dialog->objectName() + QStringLiteral(": ") + (box ? box->text() : QString());
        if (auto* asDialog = qobject_cast<QDialog*>(dialog))
            asDialog->reject();
        else
            dialog->close();
        return;
    }
    const Step step = steps_.front();
    steps_.pop_front();
    step.action(dialog);
}

void ExpectEveryDialogAnswered(const ModalScript& script)
{
    EXPECT_EQ(script.Pending(), 0) << "dialogs expected that never came";
    EXPECT_TRUE(script.Unexpected().isEmpty()) << script.Unexpected().join(QStringLiteral(", ")).toStdString();
}

ModalScript::Action AcceptMessage(QString* text)
{
    return [text](QWidget* dialog) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        if (!box) {
            static_cast<QDialog*>(dialog)->reject();
            return;
        }
        if (text)
            *text = box->text();
        box->button(QMessageBox::Ok)->click();
    };
}

ModalScript::Action RejectDialog()
{
    return [](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); };
}

void ChoosePdfOutput(QWidget* printDialog, const QString& pdfPath)
{
    // Qt's print widget lists the PDF writer last, after the real printers.
    if (auto* printers = printDialog->findChild<QComboBox*>(QStringLiteral("printers"))) {
        const int pdfEntry = printers->findText(QStringLiteral("Print to File (PDF)"));
        if (pdfEntry >= 0)
            printers->setCurrentIndex(pdfEntry);
    }
    if (auto* fileName = printDialog->findChild<QLineEdit*>(QStringLiteral("filename")))
        fileName->setText(pdfPath);
}

ModalScript::Action PrintToPdf(const QString& pdfPath, int* maxPage)
{
    return [pdfPath, maxPage](QWidget* dialog) {
        auto* printDialog = qobject_cast<QAbstractPrintDialog*>(dialog);
        if (maxPage && printDialog)
            *maxPage = printDialog->maxPage();
        ChoosePdfOutput(dialog, pdfPath);
        static_cast<QDialog*>(dialog)->accept();
    };
}

ModalScript::Action ChooseFile(const QString& path, QString* proposed)
{
    return [path, proposed](QWidget* dialog) {
        auto* fileDialog = qobject_cast<QFileDialog*>(dialog);
        if (!fileDialog) {
            static_cast<QDialog*>(dialog)->reject();
            return;
        }
        if (proposed) {
            const QStringList selected = fileDialog->selectedFiles();
            *proposed = selected.isEmpty() ? QString() : selected.constFirst();
        }
        // selectFile() leaves the name box alone while it has the focus, as
        // it does in an open dialog; type the name the way an operator would.
        fileDialog->selectFile(path);
        if (auto* name = fileDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            name->setText(path);
        static_cast<QDialog*>(fileDialog)->accept();
    };
}
