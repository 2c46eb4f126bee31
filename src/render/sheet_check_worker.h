#pragma once

#include "render/recording_tee_surface.h"

#include <QSize>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// The passes of one sheet whose barcodes do not read, in the order drawn.
struct SheetVerdict {
    int sheet = 0;
    std::vector<PlacedBarcode> unreadable;
};

// Draws sheets onto a picture and reads their barcodes back on a thread of its
// own, one sheet at a time, while the run goes on drawing the next. The picture
// and its fonts live on that thread from the first sheet to the last.
class SheetCheckWorker {
public:
    // pagePx is the page's paintable size in device pixels at dpiX by dpiY.
    SheetCheckWorker(QSize pagePx, int dpiX, int dpiY);
    ~SheetCheckWorker();
    SheetCheckWorker(const SheetCheckWorker&) = delete;
    SheetCheckWorker& operator=(const SheetCheckWorker&) = delete;

    // Hands a sheet over; the one before must have been waited for.
    void Submit(SheetRecording sheet);
    bool Pending() const { return pending_; }
    // The verdict on the sheet handed over last; rethrows what checking it threw.
    SheetVerdict Wait();

private:
    void Work(QSize pagePx, int dpiX, int dpiY);

    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<SheetRecording> job_;
    std::optional<SheetVerdict> verdict_;
    std::exception_ptr error_;
    bool quit_ = false;
    bool pending_ = false;  // touched by the run's thread only
    std::thread thread_;
};
