#include "render/sheet_check_worker.h"

#include "render/barcode_on_raster.h"
#include "render/sheet_raster.h"

#include <memory>
#include <utility>

namespace {

SheetVerdict CheckSheet(SheetRaster& raster, const SheetRecording& sheet)
{
    raster.Draw(sheet);
    SheetVerdict verdict;
    verdict.sheet = sheet.sheet;
    for (const PlacedBarcode& placed : sheet.barcodes) {
        if (!BarcodeReadsOnSheet(raster, placed))
            verdict.unreadable.push_back(placed);
    }
    return verdict;
}

}  // namespace

SheetCheckWorker::SheetCheckWorker(QSize pagePx, int dpiX, int dpiY)
    : thread_([this, pagePx, dpiX, dpiY] { Work(pagePx, dpiX, dpiY); })
{
}

SheetCheckWorker::~SheetCheckWorker()
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void SheetCheckWorker::Submit(SheetRecording sheet)
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        job_ = std::move(sheet);
    }
    pending_ = true;
    changed_.notify_all();
}

SheetVerdict SheetCheckWorker::Wait()
{
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return verdict_.has_value() || error_ != nullptr; });
    pending_ = false;
    if (error_ != nullptr)
        std::rethrow_exception(std::exchange(error_, nullptr));
    return *std::exchange(verdict_, std::nullopt);
}

void SheetCheckWorker::Work(QSize pagePx, int dpiX, int dpiY)
{
    // Made here, on first use, so that its painter and fonts belong to this thread.
    std::unique_ptr<SheetRaster> raster;
    for (;;) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return quit_ || job_.has_value(); });
        if (quit_)
            return;
        const SheetRecording sheet = *std::exchange(job_, std::nullopt);
        lock.unlock();
        std::optional<SheetVerdict> verdict;
        std::exception_ptr error;
        try {
            if (!raster)
                raster = std::make_unique<SheetRaster>(pagePx, dpiX, dpiY);
            verdict = CheckSheet(*raster, sheet);
        } catch (...) {
            error = std::current_exception();
        }
        lock.lock();
        verdict_ = std::move(verdict);
        error_ = error;
        lock.unlock();
        changed_.notify_all();
    }
}
