#pragma once

#include "verify/recording_tee_surface.h"

#include <QSize>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// The passes of one sheet whose barcodes do not read, and those that read only
// in part, in the order drawn.
struct SheetVerdict {
    int sheet = 0;
    std::vector<PlacedBarcode> unreadable;
    std::vector<PlacedBarcode> partlyRead;
};

// Draws sheets onto a picture and reads their barcodes back on a thread of its
// own, in the order handed over, while the run goes on drawing. The picture and
// its fonts live on that thread from the first sheet to the last.
class SheetCheckWorker {
public:
    // pagePx is the page's paintable size in device pixels at dpiX by dpiY.
    SheetCheckWorker(QSize pagePx, int dpiX, int dpiY);
    ~SheetCheckWorker();
    SheetCheckWorker(const SheetCheckWorker&) = delete;
    SheetCheckWorker& operator=(const SheetCheckWorker&) = delete;

    void Submit(SheetRecording sheet);
    // Sheets handed over whose verdicts have not been taken.
    int Pending() const { return pending_; }
    // The verdict on the oldest sheet not yet taken, if it is ready (or when
    // waiting, once it is); rethrows what checking it threw.
    std::optional<SheetVerdict> TakeOldest(bool wait);

private:
    void Work(QSize pagePx, int dpiX, int dpiY);

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<SheetRecording> jobs_;
    std::deque<SheetVerdict> verdicts_;
    std::exception_ptr error_;
    bool quit_ = false;
    int pending_ = 0;  // touched by the run's thread only
    std::thread thread_;
};
