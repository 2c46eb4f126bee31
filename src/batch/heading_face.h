#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// The face the headings of a label file are drawn with, chosen as the window's
// font picker selects a label file's font name among its entries: the entry
// spelled exactly so, else the entry equal once the letters A to Z are folded to
// one case, else none (an empty name). The entries are the system's font
// families, plus any name the font system binds to one face of its own
// (isBoundName), such as "Arial" bound to a metric-compatible face.
QString ResolveHeadingFace(const QString& labelFont, const QStringList& families,
                           const std::function<bool(const QString&)>& isBoundName);

// The same against this system's fonts.
QString SystemHeadingFace(const QString& labelFont);

// The families Qt reports, each by its plain name ("Family [Foundry]" is the
// family "Family"), once.
QStringList PlainFontFamilies();

// Whether fontconfig puts the same installed face in place of the name for every
// kind of face asked for (sans, serif, monospace); a fallback follows the kind.
// Generic names ("Sans Serif", "monospace", ...) are not faces of their own.
bool FontSystemBindsName(const QString& name);
