#include "preview/paper_choice_watch.h"

#include <QChildEvent>
#include <QComboBox>
#include <QDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace {

// Qt's properties page names its paper list; the page is a dialog of its own.
QComboBox* PaperList(QDialog& properties)
{
    return properties.findChild<QComboBox*>(QStringLiteral("pageSizeCombo"));
}

const char* const kConfirmationWatched = "tessaryPaperConfirmationWatched";

}  // namespace

PaperChoiceWatch::PaperChoiceWatch(QPrintDialog& dialog, const QPageSize& runPaper) : runPaper_(runPaper)
{
    // Qt makes the properties page when it first needs it (the Properties
    // button, or OK), as a child of the dialog; it is watched from then on.
    dialog.installEventFilter(this);
}

bool PaperChoiceWatch::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ChildAdded) {
        QObject* child = static_cast<QChildEvent*>(event)->child();
        if (child->isWidgetType())
            child->installEventFilter(this);
    } else if (event->type() == QEvent::Show) {
        auto* properties = qobject_cast<QDialog*>(watched);
        if (properties && PaperList(*properties))
            Showing(*properties);
    }
    return false;
}

void PaperChoiceWatch::Showing(QDialog& properties)
{
    QComboBox* papers = PaperList(properties);
    if (!properties.property(kConfirmationWatched).toBool()) {
        properties.setProperty(kConfirmationWatched, true);
        connect(&properties, &QDialog::accepted, this, [this, &properties, papers] {
            confirmed_ = &properties;
            confirmedPaper_ = qvariant_cast<QPageSize>(papers->currentData());
        });
    }
    // A page confirmed before shows what the operator chose on it; any other
    // opens on the run's paper, not on the queue's default.
    if (&properties == confirmed_)
        return;
    // A queue may list the same size under several names ("ANSI A" before
    // "US Letter", and the printer may hold the first); the standard name's
    // entry comes first.
    const QString standardKey =
        runPaper_.id() == QPageSize::Custom ? runPaper_.key() : QPageSize::key(runPaper_.id());
    int sameSize = -1;
    for (int i = 0; i < papers->count(); ++i) {
        const QPageSize paper = qvariant_cast<QPageSize>(papers->itemData(i));
        if (paper.isEquivalentTo(runPaper_) && paper.key() == standardKey) {
            sameSize = i;
            break;
        }
        if (sameSize < 0 && paper.isEquivalentTo(runPaper_))
            sameSize = i;
    }
    if (sameSize >= 0)
        papers->setCurrentIndex(sameSize);
}

void PaperChoiceWatch::Apply(QPrinter& printer) const
{
    // A custom size on the page has no entry of its own: it counts as chosen.
    const bool chosen = confirmed_ && !confirmedPaper_.isEquivalentTo(runPaper_);
    if (!chosen && runPaper_.isValid() && !printer.pageLayout().pageSize().isEquivalentTo(runPaper_))
        printer.setPageSize(runPaper_);
}
