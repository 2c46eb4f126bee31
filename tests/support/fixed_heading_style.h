#pragma once

#include "fonts/heading_style_source.h"

#include <QString>

// Headings in one face, left-aligned or centred, as a test sets them.
struct FixedHeadingStyle : HeadingStyleSource {
    explicit FixedHeadingStyle(bool centredLines = false, QString faceName = QStringLiteral("Liberation Sans"))
        : centred(centredLines), face(std::move(faceName))
    {
    }
    bool Centred() const override { return centred; }
    QString FaceName() const override { return face; }

    bool centred;
    QString face;
};
