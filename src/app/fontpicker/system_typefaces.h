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

// Whether drawing with this family gives a face of another family: true for
// fontconfig's generic names, false for any installed typeface.
bool IsGenericFamilyAlias(const QString& family);

// Windows face names that label files made on Windows commonly carry.
const QStringList& CommonWindowsFaceNames();

// Those of the candidates that are not installed under their own name and
// that the font system binds to an installed face.
QStringList BoundWindowsFaceNames(const QStringList& candidates, const QStringList& installedFamilies);
