#include "app/fontpicker/system_typefaces.h"

#include "app/fontpicker/font_substitute.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
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

bool IsGenericFamilyAlias(const QString& family)
{
    QFont font;
    font.setFamilies(QStringList{family});
    return SplitFoundry(QFontInfo(font).family()).family.compare(family, Qt::CaseInsensitive) != 0;
}

const QStringList& CommonWindowsFaceNames()
{
    // The core fonts of Windows and those Office installs, which label files
    // made there name; fontconfig has metric aliases for several of them.
    static const QStringList names{
        "Arial",          "Arial Black",       "Arial Narrow",      "Book Antiqua",        "Bookman Old Style",
        "Calibri",        "Cambria",           "Candara",           "Century Gothic",      "Century Schoolbook",
        "Comic Sans MS",  "Consolas",          "Constantia",        "Corbel",              "Courier New",
        "Garamond",       "Georgia",           "Impact",            "Lucida Console",      "Lucida Sans Unicode",
        "Monotype Corsiva", "Palatino Linotype", "Segoe UI",        "Symbol",              "Tahoma",
        "Times New Roman", "Trebuchet MS",     "Verdana",           "Wingdings",
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
        if (!IsGenericFamilyAlias(family))
            families << family;
    }
    return families + BoundWindowsFaceNames(CommonWindowsFaceNames(), families);
}
