#include "fonts/font_substitute.h"

#include <QFont>
#include <QFontInfo>
#include <QStringList>

namespace {

// The family drawn for the name, without the "[Foundry]" Qt adds when several
// foundries provide it: which foundry's copy is used says nothing about the name.
QString ResolvedFamily(const QString& name, QFont::StyleHint hint)
{
    QFont font;
    // One family, even when the name holds a comma.
    font.setFamilies(QStringList{name});
    font.setStyleHint(hint);
    const QString family = QFontInfo(font).family();
    const qsizetype foundry = family.endsWith(u']') ? family.lastIndexOf(QStringLiteral(" [")) : -1;
    return foundry > 0 ? family.left(foundry) : family;
}

}  // namespace

QString FontSubstituteFamily(const QString& name)
{
    if (name.isEmpty())
        return {};
    // A true alias is bound to the name and wins whatever generic kind is
    // asked for; a plain fallback follows the kind (DejaVu Sans or DejaVu Sans
    // Mono here), so an answer that changes with the kind is no substitute
    // for this face. A system whose sans and mono fallbacks are one face
    // answers the same for everything: a name nobody binds shows that.
    static const QString kUnboundName = QStringLiteral("Tessary Unbound Face Name");
    const QString family = ResolvedFamily(name, QFont::SansSerif);
    if (ResolvedFamily(name, QFont::Monospace) != family || ResolvedFamily(kUnboundName, QFont::SansSerif) == family)
        return {};
    return family;
}
