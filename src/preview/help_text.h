#pragma once

#include <QLabel>

// Help under a control: wrapped text a shade lighter than the window's own,
// never so light that its contrast with the background falls below 4.5:1
// (the shade follows a change of palette), and the control's description for
// screen readers. It is ordinary text, not a greyed-out (unavailable) label.
class HelpText : public QLabel {
    Q_OBJECT

public:
    HelpText(const QString& text, QWidget& described);

protected:
    void changeEvent(QEvent* event) override;

private:
    void Shade();

    bool shading_ = false;
};

// WCAG's contrast ratio of two colours, 1 to 21.
double ContrastRatio(const QColor& a, const QColor& b);
