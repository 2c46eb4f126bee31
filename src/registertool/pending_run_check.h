#pragma once

#include "register/pass_register.h"

#include <QDateTime>
#include <QString>

// How long a run of another host is taken to be printing after it started:
// its process cannot be asked from here.
constexpr qint64 kOtherHostLeaseSeconds = 15 * 60;

// Why the pending passes of run may not be withdrawn now, or an empty text
// when they may: a run whose process still lives on this host is printing;
// one of another host may be, for kOtherHostLeaseSeconds, unless forced.
QString StillPrintingRefusal(const RunInfo& run, bool force, const QDateTime& nowUtc);
