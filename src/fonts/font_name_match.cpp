#include "fonts/font_name_match.h"

namespace {

char16_t FoldAsciiLetter(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

} // namespace

bool SameNameIgnoringAsciiCase(const QString& a, const QString& b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (FoldAsciiLetter(a.at(i).unicode()) != FoldAsciiLetter(b.at(i).unicode()))
            return false;
    }
    return true;
}

QString MatchingFontEntry(const QString& name, const QStringList& entries)
{
    if (entries.contains(name))
        return name;
    for (const QString& entry : entries) {
        if (SameNameIgnoringAsciiCase(entry, name))
            return entry;
    }
    return QString();
}
