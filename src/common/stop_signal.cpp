#include "common/stop_signal.h"

#include <atomic>

namespace {

std::atomic<int> gReceived{0};
static_assert(std::atomic<int>::is_always_lock_free, "read and written inside a signal handler");

}  // namespace

int StopSignalReceived() { return gReceived.load(); }

void NoteStopSignal(int signal)
{
    int none = 0;
    gReceived.compare_exchange_strong(none, signal);
}

void ForgetStopSignal() { gReceived.store(0); }
