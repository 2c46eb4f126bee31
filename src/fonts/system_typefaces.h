#pragma once

#include <QStringList>

// The typefaces the printer offers here. Qt prints with the system's fonts,
// so they are the font database's families, cleaned up for the picker:
//  - a family that several foundries provide is one typeface, listed by its
//    plain name ("Nimbus Sans", not "Nimbus Sans [urw]"); printing with the
//    plain name lets the font system pick that family's regular face;
//  - fontconfig's generic names ("Sans Serif", "Serif", "Monospace") are not
//    typefaces and are left out;
//  - the common Windows face names that the font system binds to an installed
//    metric-compatible face ("Arial" -> Liberation Sans) are entries of their
//    own, so that a label file written on Windows keeps its font name.
QStringList SystemFontFamilies();

// The plain names of the reported families, in reported order. A name
// "Family [Foundry]" loses its foundry when the same family comes with
// another foundry too, which is how QFontDatabase::families() marks it.
QStringList PlainFamilyNames(const QStringList& reported);

// Whether the name is one of the generic families Qt lists for fontconfig
// ("Sans Serif", "Serif", "Monospace"): each draws the system's default face
// of that kind and is no typeface of its own.
bool IsGenericFamilyName(const QString& family);

// Windows face names that label files made on Windows carry and that
// fontconfig's metric aliases know. Asking the font system about a name costs
// a font match, which start-up pays for each one, so the list stays short.
const QStringList& CommonWindowsFaceNames();

// Those of the candidates that are not installed under their own name and
// that the font system binds to an installed face.
QStringList BoundWindowsFaceNames(const QStringList& candidates, const QStringList& installedFamilies);
