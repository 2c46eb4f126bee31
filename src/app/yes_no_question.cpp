#include "app/yes_no_question.h"

#include "app/tessary_application.h"

#include <QMessageBox>

bool OperatorSaysYes(const QString& question, const QString& objectName)
{
    QMessageBox box(QMessageBox::Question, kApplicationTitle, question, QMessageBox::Yes | QMessageBox::No);
    box.setObjectName(objectName);
    box.setDefaultButton(QMessageBox::No);
    box.setWindowModality(Qt::ApplicationModal);
    return box.exec() == QMessageBox::Yes;
}
