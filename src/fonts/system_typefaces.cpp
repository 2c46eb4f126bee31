#include "fonts/system_typefaces.h"

#include "fonts/font_substitute.h"

#include <QFontDatabase>
#include <QHash>

namespace {

// "Family [Foundry]" split in two; the foundry is empty for a plain name.
struct FamilyAndFoundry {
    QString family;
    QString foundry;
};

FamilyAndFoundry SplitFoundry(const QString& name)
{
    if (!name.endsWith(u']'))
        return {name, QString()};
    const qsizetype open = name.lastIndexOf(QStringLiteral(" ["));
    if (open <= 0)
        return {name, QString()};
    return {name.left(open), name.mid(open + 2, name.size() - open - 3)};
}

}  // namespace

QStringList PlainFamilyNames(const QStringList& reported)
{
    QHash<QString, int> foundriesOfFamily;
    for (const QString& name : reported) {
        const FamilyAndFoundry split = SplitFoundry(name);
        if (!split.foundry.isNull())
            ++foundriesOfFamily[split.family];
    }
    QStringList plain;
    plain.reserve(reported.size());
    for (const QString& name : reported) {
        const FamilyAndFoundry split = SplitFoundry(name);
        // One bracketed name alone is a family whose own name ends in brackets.
        const bool marked = !split.foundry.isNull() && foundriesOfFamily.value(split.family) > 1;
        plain << (marked ? split.family : name);
    }
    return plain;
}

bool IsGenericFamilyName(const QString& family)
{
    static const QStringList generic{"Sans Serif", "Serif", "Monospace"};
    return generic.contains(family, Qt::CaseInsensitive);
}

const QStringList& CommonWindowsFaceNames()
{
    // Windows core and Office fonts with a metric-compatible face in fontconfig
    // (Liberation, Carlito, Caladea, Gelasio and the URW core 35).
    static const QStringList names{
        "Arial",   "Arial Narrow", "Bookman Old Style", "Calibri", "Cambria",         "Century Schoolbook",
        "Courier New", "Georgia",  "Palatino Linotype", "Symbol",  "Times New Roman",
    };
    return names;
}

QStringList BoundWindowsFaceNames(const QStringList& candidates, const QStringList& installedFamilies)
{
    QStringList bound;
    for (const QString& name : candidates) {
        if (installedFamilies.contains(name, Qt::CaseInsensitive))
            continue;
        const QString face = FontSubstituteFamily(name);
        if (!face.isEmpty() && installedFamilies.contains(face, Qt::CaseInsensitive))
            bound << name;
    }
    return bound;
}

QStringList SystemFontFamilies()
{
    QStringList families;
    for (const QString& family : PlainFamilyNames(QFontDatabase::families())) {
        if (!IsGenericFamilyName(family))
            families << family;
    }
    return families + BoundWindowsFaceNames(CommonWindowsFaceNames(), families);
}
