#include "app/date_picker.h"

#include "passes/month_date_text.h"

#include <QCalendarWidget>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSpinBox>
#include <QToolButton>

TDateTimePicker::TDateTimePicker(QWidget* parent) : QDateEdit(parent), namesLocale_(QLocale())
{
    setLocale(QLocale::c());
    setCalendarPopup(true);
    calendar_ = new QCalendarWidget(this);
    calendar_->setLocale(namesLocale_);
    // The calendar writes its year in the locale's digits; this picker writes ASCII.
    if (auto* yearEdit = calendar_->findChild<QSpinBox*>(QStringLiteral("qt_calendar_yearedit")))
        yearEdit->setLocale(QLocale::c());
    connect(calendar_, &QCalendarWidget::currentPageChanged, this, &TDateTimePicker::ShowAsciiYear);
    setCalendarWidget(calendar_);
    connect(this, &QDateTimeEdit::dateChanged, this, &TDateTimePicker::ShowMonthName);
    lineEdit()->installEventFilter(this);
    ShowMonthName();
}

void TDateTimePicker::ShowMonthName()
{
    const int month = date().month();
    if (month == shownMonth_)
        return;
    const bool monthSelected = shownMonth_ != 0 && lineEdit()->hasSelectedText() && CurrentField() == Field::Month;
    shownMonth_ = month;
    QString literal = PlainMonthName(month, namesLocale_);
    literal.replace(QLatin1Char('\''), QStringLiteral("''"));
    setDisplayFormat(QLatin1Char('\'') + literal + QStringLiteral("' dd yyyy"));
    if (monthSelected)
        SelectField(Field::Month);
}

void TDateTimePicker::ShowAsciiYear()
{
    if (auto* yearButton = calendar_->findChild<QToolButton*>(QStringLiteral("qt_calendar_yearbutton")))
        yearButton->setText(QString::number(calendar_->yearShown()));
}

TDateTimePicker::Span TDateTimePicker::SpanOf(Field field) const
{
    const int monthLength = int(PlainMonthName(shownMonth_, namesLocale_).size());
    switch (field) {
    case Field::Month:
        return {0, monthLength};
    case Field::Day:
        return {monthLength + 1, 2};
    case Field::Year:
        break;
    }
    return {monthLength + 4, int(text().size()) - (monthLength + 4)};
}

TDateTimePicker::Field TDateTimePicker::CurrentField() const
{
    const QLineEdit* edit = lineEdit();
    const int pos = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    if (pos <= SpanOf(Field::Month).length)
        return Field::Month;
    const Span day = SpanOf(Field::Day);
    return pos <= day.start + day.length ? Field::Day : Field::Year;
}

void TDateTimePicker::SelectField(Field field)
{
    const Span span = SpanOf(field);
    lineEdit()->setSelection(span.start, span.length);
}

void TDateTimePicker::stepBy(int steps)
{
    if (CurrentField() != Field::Month) {
        QDateEdit::stepBy(steps);
        return;
    }
    // As Qt steps its own month section: no wrap into another year, and the
    // day kept unless the new month is shorter.
    const QDate now = date();
    const int month = qBound(1, now.month() + steps, 12);
    const QDate first(now.year(), month, 1);
    setDate(QDate(now.year(), month, qMin(now.day(), first.daysInMonth())));
    SelectField(Field::Month);
}

QAbstractSpinBox::StepEnabled TDateTimePicker::stepEnabled() const
{
    if (CurrentField() != Field::Month)
        return QDateEdit::stepEnabled();
    StepEnabled enabled = StepNone;
    const QDate now = date();
    if (now.month() < 12 && QDate(now.year(), now.month() + 1, 1) <= maximumDate())
        enabled |= StepUpEnabled;
    if (now.month() > 1 && QDate(now.year(), now.month(), 1).addDays(-1) >= minimumDate())
        enabled |= StepDownEnabled;
    return enabled;
}

void TDateTimePicker::focusInEvent(QFocusEvent* event)
{
    QDateEdit::focusInEvent(event);
    // A click chooses its own field; from the keyboard the month comes first.
    if (event->reason() != Qt::MouseFocusReason)
        SelectField(Field::Month);
}

void TDateTimePicker::keyPressEvent(QKeyEvent* event)
{
    const bool plain = !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
    if (plain && (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right)) {
        const bool forward = (event->key() == Qt::Key_Right) != (layoutDirection() == Qt::RightToLeft);
        const int next = int(CurrentField()) + (forward ? 1 : -1);
        SelectField(Field(qBound(int(Field::Month), next, int(Field::Year))));
        event->accept();
        return;
    }
    // The month name is not typed; typing there would only break the text.
    if (CurrentField() == Field::Month && !event->text().isEmpty() && event->text().front().isPrint()) {
        event->accept();
        return;
    }
    QDateEdit::keyPressEvent(event);
}

bool TDateTimePicker::eventFilter(QObject* watched, QEvent* event)
{
    // Qt moves a cursor placed in literal text to the nearest field; a click
    // on the month name selects the month instead.
    if (watched == lineEdit()
        && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton
            && lineEdit()->cursorPositionAt(mouse->position().toPoint()) <= SpanOf(Field::Month).length) {
            if (!hasFocus())
                setFocus(Qt::MouseFocusReason);
            SelectField(Field::Month);
            return true;
        }
    }
    return QDateEdit::eventFilter(watched, event);
}
