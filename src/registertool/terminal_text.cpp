#include "registertool/terminal_text.h"

namespace {

bool IsControl(char16_t c) { return c < 0x20 || (c >= 0x7f && c <= 0x9f); }

}  // namespace

QString TerminalText(const QString& text)
{
    QString safe;
    safe.reserve(text.size());
    for (const QChar c : text) {
        if (IsControl(c.unicode()))
            safe += QStringLiteral("\\x%1").arg(int(c.unicode()), 2, 16, QLatin1Char('0'));
        else
            safe += c;
    }
    return safe;
}

QString TerminalJson(const QByteArray& json)
{
    const QString text = QString::fromUtf8(json);
    QString safe;
    safe.reserve(text.size());
    for (const QChar c : text) {
        if (IsControl(c.unicode()) && c.unicode() >= 0x7f)
            safe += QStringLiteral("\\u%1").arg(int(c.unicode()), 4, 16, QLatin1Char('0'));
        else
            safe += c;
    }
    return safe;
}
