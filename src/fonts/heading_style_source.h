#pragma once

#include <QString>

// The two heading styles the window keeps live: read again for every line drawn.
class HeadingStyleSource {
public:
    virtual ~HeadingStyleSource() = default;
    virtual bool Centred() const = 0;
    virtual QString FaceName() const = 0;
};
