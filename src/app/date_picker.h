#pragma once

#include <QDateEdit>
#include <QLocale>

class QCalendarWidget;

// The valid-on date picker: a date edit with a drop-down calendar that shows
// "mmmm dd yyyy" as the pass list writes it, with the locale's plain month name
// and ASCII digits. Qt's own "MMMM dd yyyy" would use the month name's form
// inside a date (Russian "марта") and the locale's digits (Arabic "٠٥").
//
// Qt edits day and year with its C locale, so their digits are ASCII; the
// month name is shown as literal text of the display format, rewritten when
// the month changes, and edited field by field here: Up and Down step it,
// Left and Right move between the three fields.
class TDateTimePicker : public QDateEdit {
    Q_OBJECT

public:
    // Month names come from the default locale at construction.
    explicit TDateTimePicker(QWidget* parent = nullptr);

    QLocale NamesLocale() const { return namesLocale_; }

protected:
    void stepBy(int steps) override;
    StepEnabled stepEnabled() const override;
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Field { Month, Day, Year };
    struct Span {
        int start;
        int length;
    };

    void ShowMonthName();
    void ShowAsciiYear();
    Span SpanOf(Field field) const;
    Field CurrentField() const;
    void SelectField(Field field);

    QLocale namesLocale_;
    QCalendarWidget* calendar_ = nullptr;
    int shownMonth_ = 0;
};
