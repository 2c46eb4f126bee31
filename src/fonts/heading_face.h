#pragma once

#include <QString>
#include <QStringList>

// The face the headings of a label file are drawn with, chosen as the window's
// font picker selects a label file's font name among its entries (the system's
// typefaces and the Windows names bound to one of them): the entry spelled
// exactly so, else the entry equal once the letters A to Z are folded to one
// case, else none (an empty name).
QString ResolveHeadingFace(const QString& labelFont, const QStringList& entries);

// The same against this system's typefaces, as the window lists them.
QString SystemHeadingFace(const QString& labelFont);
