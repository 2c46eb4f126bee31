#pragma once

#include <QByteArray>
#include <QString>

// A file (or an emptied folder) that must not outlive the program when it is
// told to stop (SIGTERM, SIGINT, SIGHUP and the other signals that end a
// program: SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGXFSZ) while the file is being written. While
// any such object lives, those signals first remove every file named (files
// before folders), and then act as they would have: the program ends, or the handler that
// was there before runs. Signals the program ignores stay ignored.
class RemovedOnTermination {
public:
    explicit RemovedOnTermination(const QString& path);
    ~RemovedOnTermination();
    RemovedOnTermination(const RemovedOnTermination&) = delete;
    RemovedOnTermination& operator=(const RemovedOnTermination&) = delete;

    // False when the path could not be taken in (too long, or too many files
    // at once): the file is then left behind by a stop, as without this object.
    bool guarded() const { return slot_ >= 0; }

private:
    int slot_ = -1;
};

// While one lives, the stop signals neither end the program nor remove the
// files named above: the first one is noted (common/stop_signal.h), and the
// run acts on it once it can tell what happened, removing its files as it
// unwinds. A blocking wait (a write to a stalled pipe) returns early.
class StopSignalsDeferred {
public:
    StopSignalsDeferred();
    ~StopSignalsDeferred();
    StopSignalsDeferred(const StopSignalsDeferred&) = delete;
    StopSignalsDeferred& operator=(const StopSignalsDeferred&) = delete;
};

