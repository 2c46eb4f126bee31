#include "passes/quantity_filter.h"

bool QuantityKeyPasses(QChar typed)
{
    constexpr char16_t kBackspace = 8;
    const char16_t code = typed.unicode();
    // Not QChar::isDigit: that would let Arabic-Indic and other digits through.
    return code == kBackspace || (code >= u'0' && code <= u'9');
}

QString QuantityCharactersKept(const QString& typed)
{
    QString kept;
    for (const QChar c : typed) {
        if (QuantityKeyPasses(c))
            kept += c;
    }
    return kept;
}
