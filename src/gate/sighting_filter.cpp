#include "gate/sighting_filter.h"

QStringList SightingFilter::Arrived(const QStringList& seen, qint64 nowMs)
{
    QStringList arrived;
    for (const QString& text : seen) {
        const auto last = lastSeen_.constFind(text);
        if (last == lastSeen_.constEnd() || nowMs - last.value() > goneAfterMs_)
            arrived << text;
        lastSeen_.insert(text, nowMs);
    }
    // Forget what has long gone, so that a day of passes does not pile up.
    for (auto it = lastSeen_.begin(); it != lastSeen_.end();)
        it = nowMs - it.value() > goneAfterMs_ ? lastSeen_.erase(it) : std::next(it);
    return arrived;
}
