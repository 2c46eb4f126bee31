#include "app/fontpicker/font_substitute.h"

#include <QFont>
#include <QFontInfo>
#include <QStringList>

namespace {

QString ResolvedFamily(const QString& name, QFont::StyleHint hint)
{
    QFont font;
    // One family, even when the name holds a comma.
    font.setFamilies(QStringList{name});
    font.setStyleHint(hint);
    return QFontInfo(font).family();
}

} // namespace

QString FontSubstituteFamily(const QString& name)
{
    if (name.isEmpty())
        return {};
    // A true alias is bound to the name and wins whatever generic kind is
    // asked for; a plain fallback follows the kind (DejaVu Sans, Serif or
    // Sans Mono here), so an answer that changes with the kind is no
    // substitute for this face.
    const QString family = ResolvedFamily(name, QFont::SansSerif);
    for (QFont::StyleHint hint : {QFont::Serif, QFont::Monospace}) {
        if (ResolvedFamily(name, hint) != family)
            return {};
    }
    return family;
}
