#pragma once

#include <QtGlobal>

// Whether a process of this machine with the id pid still runs. A process of
// another user counts as running: it cannot be signalled, but it is there.
bool ProcessAlive(qint64 pid);
