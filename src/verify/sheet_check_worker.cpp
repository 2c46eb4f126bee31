#include "verify/sheet_check_worker.h"

#include "verify/barcode_on_raster.h"
#include "verify/sheet_raster.h"

#include <memory>
#include <utility>

namespace {

SheetVerdict CheckSheet(SheetRaster& raster, const SheetRecording& sheet)
{
    std::vector<std::optional<BarcodeScan>> scans;
    std::vector<QRect> readPx;
    for (const PlacedBarcode& placed : sheet.barcodes) {
        scans.push_back(PlanBarcodeScan(placed, raster.pagePx(), raster.scaleX(), raster.scaleY()));
        if (scans.back())
            readPx.push_back(scans.back()->readPx);
    }
    raster.Draw(sheet, readPx);
    SheetVerdict verdict;
    verdict.sheet = sheet.sheet;
    for (size_t i = 0; i < scans.size(); ++i) {
        const BarcodeLegibility legibility =
            scans[i] ? ReadBarcodeOnPicture(raster.image(), raster.scaleX(), raster.scaleY(), *scans[i])
                     : BarcodeLegibility::DoesNotRead;
        if (legibility == BarcodeLegibility::DoesNotRead)
            verdict.unreadable.push_back(sheet.barcodes[i]);
        else if (legibility == BarcodeLegibility::ReadsInPart)
            verdict.partlyRead.push_back(sheet.barcodes[i]);
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
        jobs_.push_back(std::move(sheet));
    }
    ++pending_;
    changed_.notify_all();
}

std::optional<SheetVerdict> SheetCheckWorker::TakeOldest(bool wait)
{
    if (pending_ == 0)
        return std::nullopt;
    std::unique_lock<std::mutex> lock(mutex_);
    const auto ready = [this] { return !verdicts_.empty() || error_ != nullptr; };
    if (wait)
        changed_.wait(lock, ready);
    else if (!ready())
        return std::nullopt;
    if (error_ != nullptr)
        std::rethrow_exception(error_);
    --pending_;
    SheetVerdict verdict = std::move(verdicts_.front());
    verdicts_.pop_front();
    return verdict;
}

void SheetCheckWorker::Work(QSize pagePx, int dpiX, int dpiY)
{
    // Made here, on first use, so that its painter and fonts belong to this thread.
    std::unique_ptr<SheetRaster> raster;
    for (;;) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return quit_ || (!jobs_.empty() && error_ == nullptr); });
        if (quit_)
            return;
        const SheetRecording sheet = std::move(jobs_.front());
        jobs_.pop_front();
        lock.unlock();
        try {
            if (!raster)
                raster = std::make_unique<SheetRaster>(pagePx, dpiX, dpiY);
            SheetVerdict verdict = CheckSheet(*raster, sheet);
            lock.lock();
            verdicts_.push_back(std::move(verdict));
        } catch (...) {
            lock.lock();
            error_ = std::current_exception();
        }
        lock.unlock();
        changed_.notify_all();
    }
}
