#pragma once

#include <QByteArray>
#include <QImage>

// A picture xwd wrote (a ZPixmap of 24 or 32 bits a pixel, as an Xvfb of
// depth 24 gives), or a null image for anything else.
QImage ReadXwdPicture(const QByteArray& xwd);
