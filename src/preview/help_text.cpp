#include "preview/help_text.h"

#include <QApplication>
#include <QEvent>
#include <algorithm>
#include <cmath>

namespace {

constexpr double kLeastContrast = 4.5;

double Luminance(const QColor& color)
{
    const auto linear = [](double channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(color.redF()) + 0.7152 * linear(color.greenF()) + 0.0722 * linear(color.blueF());
}

QColor Mix(const QColor& from, const QColor& to, double share)
{
    return QColor::fromRgbF(float(from.redF() + (to.redF() - from.redF()) * share),
                            float(from.greenF() + (to.greenF() - from.greenF()) * share),
                            float(from.blueF() + (to.blueF() - from.blueF()) * share));
}

}  // namespace

double ContrastRatio(const QColor& a, const QColor& b)
{
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

HelpText::HelpText(const QString& text, QWidget& described) : QLabel(text)
{
    setWordWrap(true);
    described.setAccessibleDescription(text);
    Shade();
}

void HelpText::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ParentChange)
        Shade();
}

// From a third of the way towards the background back to the text colour,
// the first shade that is clear on both the window and a base background
// (a tab page may be drawn in either).
void HelpText::Shade()
{
    if (shading_)
        return;
    shading_ = true;
    const QPalette inherited = parentWidget() ? parentWidget()->palette() : QApplication::palette(this);
    const QColor text = inherited.color(QPalette::WindowText);
    const QColor window = inherited.color(QPalette::Window);
    const QColor base = inherited.color(QPalette::Base);
    QColor shade = text;
    for (int percent = 35; percent > 0; percent -= 5) {
        const QColor candidate = Mix(text, window, percent / 100.0);
        if (ContrastRatio(candidate, window) >= kLeastContrast && ContrastRatio(candidate, base) >= kLeastContrast) {
            shade = candidate;
            break;
        }
    }
    QPalette own = palette();
    own.setColor(QPalette::WindowText, shade);
    setPalette(own);
    shading_ = false;
}
