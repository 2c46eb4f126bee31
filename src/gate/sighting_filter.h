#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// A pass held in front of the camera is seen on frame after frame: it is
// passed on once, when it comes into view, and again only after it has been
// out of view for goneAfterMs (taken away and shown again).
class SightingFilter {
public:
    explicit SightingFilter(qint64 goneAfterMs = 2000) : goneAfterMs_(goneAfterMs) {}

    // The barcodes seen on a frame taken at nowMs that just came into view.
    QStringList Arrived(const QStringList& seen, qint64 nowMs);

private:
    qint64 goneAfterMs_;
    QHash<QString, qint64> lastSeen_;
};
