#pragma once

#include "support/private_cups_scheduler.h"

#include <QString>

// The private scheduler that every test of one program shares: started by the
// first test that asks and stopped after the last test, while the application
// object still exists. Each fixture adds queues of its own names; a test that
// stops or kills the scheduler starts it again before it ends.
namespace SharedScheduler {

// Why the tests cannot have it: "" when it serves. Missing() tells a machine
// that cannot run one (the tests skip) from a scheduler that failed (they fail).
QString Problem();
bool Missing();

// The scheduler; only when Problem() is "".
PrivateCupsScheduler& Get();

// Points this process at it (Qt's print support and libcups, which settles
// on one scheduler a thread) for the rest of the program: a window that then
// prints to a file offers the scheduler's queues too. "" or what went wrong.
QString UseInThisProcess();

// Adds a cups-pdf queue of that name once (ppdPath as AddQueue takes it),
// makes it the default when asDefault; "" or what went wrong.
QString Queue(const QString& name, const QString& ppdPath = QString(), bool asDefault = false);

}  // namespace SharedScheduler

// In a fixture's SetUp (or a test): skips where the machine cannot run a
// scheduler, fails where it could not start.
#define SKIP_OR_ASSERT_SHARED_SCHEDULER()                                                               \
    do {                                                                                                \
        if (SharedScheduler::Missing())                                                                 \
            GTEST_SKIP() << "no private CUPS scheduler: " << SharedScheduler::Problem().toStdString(); \
        ASSERT_EQ(SharedScheduler::Problem().toStdString(), "");                                       \
    } while (false)
