#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

// Qt's printer asks the print scheduler for the queue's description, and libcups
// waits for that answer without any limit. While one of these lives, nothing of
// the run is reserved or sent yet, so a scheduler that does not answer within
// PrintServerTimeoutSeconds() ends the tool at once with "The print server
// NAME did not answer" and the printing-failed status.
class PrintServerWatchdog {
public:
    PrintServerWatchdog();
    ~PrintServerWatchdog();
    PrintServerWatchdog(const PrintServerWatchdog&) = delete;
    PrintServerWatchdog& operator=(const PrintServerWatchdog&) = delete;

private:
    std::mutex lock_;
    std::condition_variable done_;
    bool finished_ = false;
    std::thread watch_;
};
