#include "app/run_paper_question.h"

#include "app/yes_no_question.h"
#include "output/run_page_layout.h"

#include <QPageSize>
#include <QPrinter>

bool RunPaperAccepted(QPrinter& printer)
{
    const QPageSize paper = printer.pageLayout().pageSize();
    if (paper.isEquivalentTo(QPageSize(QPageSize::Letter)))
        return true;
    if (OperatorSaysYes(QStringLiteral("The passes are laid out for US Letter; print on %1?").arg(paper.name()),
                        QStringLiteral("paperQuestion")))
        return true;
    PrepareLetterPrinter(printer);
    return false;
}
