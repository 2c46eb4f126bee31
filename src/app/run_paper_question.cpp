#include "app/run_paper_question.h"

#include "app/tessary_application.h"
#include "render/run_page_layout.h"

#include <QMessageBox>
#include <QPageSize>
#include <QPrinter>

bool RunPaperAccepted(QPrinter& printer)
{
    const QPageSize paper = printer.pageLayout().pageSize();
    if (paper.isEquivalentTo(QPageSize(QPageSize::Letter)))
        return true;
    QMessageBox box(QMessageBox::Question, kApplicationTitle,
                    QStringLiteral("The passes are laid out for US Letter; print on %1?").arg(paper.name()),
                    QMessageBox::Yes | QMessageBox::No);
    box.setObjectName(QStringLiteral("paperQuestion"));
    box.setDefaultButton(QMessageBox::No);
    box.setWindowModality(Qt::ApplicationModal);
    if (box.exec() == QMessageBox::Yes)
        return true;
    PrepareLetterPrinter(printer);
    return false;
}
