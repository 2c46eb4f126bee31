#include "batch/print_server_watchdog.h"

#include "common/exit_status.h"
#include "output/queue_job.h"

#include <chrono>
#include <cstdio>
#include <unistd.h>

PrintServerWatchdog::PrintServerWatchdog()
{
    // Read here: the watch must not touch libcups' per-thread state.
    const QByteArray message = QStringLiteral("tessary-print: The print server %1 did not answer\n")
                                   .arg(PrintServerName())
                                   .toLocal8Bit();
    const auto limit = std::chrono::seconds(PrintServerTimeoutSeconds());
    watch_ = std::thread([this, message, limit] {
        std::unique_lock<std::mutex> held(lock_);
        if (done_.wait_for(held, limit, [this] { return finished_; }))
            return;
        if (::write(STDERR_FILENO, message.constData(), size_t(message.size())) < 0) {
            // Nothing left to tell it with; the status says it.
        }
        _exit(kExitFailed);
    });
}

PrintServerWatchdog::~PrintServerWatchdog()
{
    {
        const std::lock_guard<std::mutex> held(lock_);
        finished_ = true;
    }
    done_.notify_one();
    watch_.join();
}
