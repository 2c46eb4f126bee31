#include "batch/heading_face.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>

namespace {

char16_t FoldAsciiLetter(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? char16_t(c - u'A' + u'a') : c;
}

bool SameIgnoringAsciiCase(const QString& a, const QString& b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (FoldAsciiLetter(a.at(i).unicode()) != FoldAsciiLetter(b.at(i).unicode()))
            return false;
    }
    return true;
}

QString FamilyFor(const QString& name, QFont::StyleHint hint)
{
    QFont font;
    font.setFamilies(QStringList{name});  // one family, even when the name holds a comma
    font.setStyleHint(hint);
    return QFontInfo(font).family();
}

bool IsGenericName(const QString& name)
{
    static const QStringList generic = {
        QStringLiteral("Sans Serif"), QStringLiteral("Sans-Serif"), QStringLiteral("Sans"),
        QStringLiteral("Serif"),      QStringLiteral("Monospace"),  QStringLiteral("Mono"),
        QStringLiteral("System-UI"),  QStringLiteral("Cursive"),    QStringLiteral("Fantasy"),
        QStringLiteral("Emoji"),      QStringLiteral("Math")};
    return generic.contains(name, Qt::CaseInsensitive);
}

}  // namespace

QString ResolveHeadingFace(const QString& labelFont, const QStringList& families,
                           const std::function<bool(const QString&)>& isBoundName)
{
    if (families.contains(labelFont))
        return labelFont;
    for (const QString& family : families) {
        if (SameIgnoringAsciiCase(family, labelFont))
            return family;
    }
    if (!labelFont.isEmpty() && isBoundName && isBoundName(labelFont))
        return labelFont;
    return QString();
}

QString SystemHeadingFace(const QString& labelFont)
{
    return ResolveHeadingFace(labelFont, PlainFontFamilies(), FontSystemBindsName);
}

QStringList PlainFontFamilies()
{
    QStringList plain;
    for (const QString& family : QFontDatabase::families()) {
        const qsizetype foundry = family.indexOf(QStringLiteral(" ["));
        const QString name = foundry > 0 && family.endsWith(QLatin1Char(']')) ? family.left(foundry) : family;
        if (!plain.contains(name))
            plain << name;
    }
    return plain;
}

bool FontSystemBindsName(const QString& name)
{
    if (name.trimmed().isEmpty() || IsGenericName(name))
        return false;
    const QString family = FamilyFor(name, QFont::SansSerif);
    for (QFont::StyleHint hint : {QFont::Serif, QFont::Monospace}) {
        if (FamilyFor(name, hint) != family)
            return false;
    }
    return !family.isEmpty();
}
