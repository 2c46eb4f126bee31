#include "fonts/heading_face.h"

#include "fonts/font_name_match.h"
#include "fonts/system_typefaces.h"

QString ResolveHeadingFace(const QString& labelFont, const QStringList& entries)
{
    return MatchingFontEntry(labelFont, entries);
}

QString SystemHeadingFace(const QString& labelFont)
{
    return ResolveHeadingFace(labelFont, SystemFontFamilies());
}
