// Signal handling for files a stop must not leave behind: the one file that
// knows POSIX signals. The handler only reads fixed buffers and calls unlink,
// rmdir, sigaction and raise, all safe inside a signal handler.
#include "common/removed_on_termination.h"

#include "common/stop_signal.h"

#include <QFile>
#include <QtGlobal>

#ifdef Q_OS_UNIX

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <mutex>
#include <unistd.h>

namespace {

constexpr int kSlots = 16;
constexpr int kPathBytes = 4096;
// The signals that end a program unless it handles them. SIGKILL and SIGSTOP
// cannot be handled: what they leave, the next run removes.
const int kStopSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGXFSZ};
constexpr int kSignalCount = int(sizeof(kStopSignals) / sizeof(kStopSignals[0]));

char gPaths[kSlots][kPathBytes];
std::atomic<bool> gUsed[kSlots];
struct sigaction gPrevious[kSignalCount];
bool gInstalled[kSignalCount];
int gLive = 0;  // guards and deferrals alive, under gLock
int gDeferrals = 0;  // under gLock
std::atomic<bool> gDeferred{false};
std::mutex gLock;

extern "C" void RemoveFilesThenStop(int signalNumber)
{
    // A deferred stop is the run's to act on, once it can tell what happened.
    if (gDeferred.load()) {
        NoteStopSignal(signalNumber);
        return;
    }
    // A handler that was there before may return into code that reads errno.
    const int savedErrno = errno;
    // Files first, so that the folders holding them are empty by the time
    // they are removed.
    for (int slot = 0; slot < kSlots; ++slot) {
        if (gUsed[slot].load())
            unlink(gPaths[slot]);
    }
    for (int slot = 0; slot < kSlots; ++slot) {
        if (gUsed[slot].load())
            rmdir(gPaths[slot]);
    }
    // The signal is blocked while this runs; raised again with the handling
    // that was there before, it takes effect as soon as this returns.
    bool restored = false;
    for (int i = 0; i < kSignalCount; ++i) {
        if (kStopSignals[i] == signalNumber && gInstalled[i])
            restored = sigaction(signalNumber, &gPrevious[i], nullptr) == 0;
    }
    if (!restored)
        signal(signalNumber, SIG_DFL);
    raise(signalNumber);
    errno = savedErrno;
}

void InstallHandlers()
{
    for (int i = 0; i < kSignalCount; ++i) {
        struct sigaction current {};
        sigaction(kStopSignals[i], nullptr, &current);
        gInstalled[i] = current.sa_handler != SIG_IGN || (current.sa_flags & SA_SIGINFO);
        if (!gInstalled[i])
            continue;
        struct sigaction ours {};
        ours.sa_handler = RemoveFilesThenStop;
        sigemptyset(&ours.sa_mask);
        for (int other : kStopSignals)
            sigaddset(&ours.sa_mask, other);
        sigaction(kStopSignals[i], &ours, &gPrevious[i]);
    }
}

void RestoreHandlers()
{
    for (int i = 0; i < kSignalCount; ++i) {
        if (gInstalled[i])
            sigaction(kStopSignals[i], &gPrevious[i], nullptr);
        gInstalled[i] = false;
    }
}

}  // namespace

RemovedOnTermination::RemovedOnTermination(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    if (name.isEmpty() || name.size() >= kPathBytes)
        return;
    const std::lock_guard<std::mutex> lock(gLock);
    for (int slot = 0; slot < kSlots; ++slot) {
        if (!gUsed[slot].load()) {
            std::memcpy(gPaths[slot], name.constData(), size_t(name.size()) + 1);
            gUsed[slot].store(true);
            slot_ = slot;
            break;
        }
    }
    if (slot_ >= 0 && gLive++ == 0)
        InstallHandlers();
}

StopSignalsDeferred::StopSignalsDeferred()
{
    const std::lock_guard<std::mutex> lock(gLock);
    if (gDeferrals++ == 0) {
        ForgetStopSignal();
        gDeferred.store(true);
    }
    if (gLive++ == 0)
        InstallHandlers();
}

StopSignalsDeferred::~StopSignalsDeferred()
{
    const std::lock_guard<std::mutex> lock(gLock);
    if (--gDeferrals == 0)
        gDeferred.store(false);
    if (--gLive == 0)
        RestoreHandlers();
}

RemovedOnTermination::~RemovedOnTermination()
{
    if (slot_ < 0)
        return;
    const std::lock_guard<std::mutex> lock(gLock);
    gUsed[slot_].store(false);
    if (--gLive == 0)
        RestoreHandlers();
}

#else

// Other systems end a program without a signal the program could handle.
RemovedOnTermination::RemovedOnTermination(const QString&) {}
RemovedOnTermination::~RemovedOnTermination() = default;
StopSignalsDeferred::StopSignalsDeferred() = default;
StopSignalsDeferred::~StopSignalsDeferred() = default;

#endif
