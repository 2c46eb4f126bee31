#include "verify/run_barcode_check.h"

#include "draw/print_document.h"

#include <QPainter>
#include <QPaintDevice>
#include <algorithm>

namespace {

constexpr int kPassNumberLength = 8;
constexpr int kSheetsBehind = 4;
const QColor kUnreadableColour(220, 0, 0);
const QColor kPartlyReadColour(240, 140, 0);

// A frame around each cell, inside its edges and thick enough to see at a
// glance in a preview that shows the whole sheet.
void FrameCells(QPainter& painter, const std::vector<PlacedBarcode>& passes, const QColor& colour)
{
    const int width = std::max(2, painter.device()->logicalDpiX() / 40);
    for (const PlacedBarcode& pass : passes) {
        const QRect cell = pass.cellPx;
        const int w = std::min({width, cell.width(), cell.height()});
        if (w < 1)
            continue;
        painter.fillRect(QRect(cell.left(), cell.top(), cell.width(), w), colour);
        painter.fillRect(QRect(cell.left(), cell.bottom() + 1 - w, cell.width(), w), colour);
        painter.fillRect(QRect(cell.left(), cell.top(), w, cell.height()), colour);
        painter.fillRect(QRect(cell.right() + 1 - w, cell.top(), w, cell.height()), colour);
    }
}

}  // namespace

UnreadableBarcodeError::UnreadableBarcodeError(const QString& barcodeText)
    : TessaryError(QStringLiteral("The barcode of pass %1 cannot be read on the sheet (covered, cut or off the "
                                  "page). Fix the layout and retry.")
                       .arg(barcodeText.left(kPassNumberLength)),
                   ErrorKind::Refused)
{
}

RunBarcodeCheck::RunBarcodeCheck(PrintDocument& document, BarcodeCheck mode,
                                 std::function<void(int sheet, SheetLegibility)> sheetChecked)
    : document_(document), mode_(mode), sheetChecked_(std::move(sheetChecked))
{
    if (mode_ == BarcodeCheck::Off)
        return;
    const QPaintDevice& page = *document.painter().device();
    tee_ = std::make_unique<RecordingTeeSurface>(document.surface());
    worker_ = std::make_unique<SheetCheckWorker>(QSize(page.width(), page.height()), document.surface().dpiX(),
                                                 document.surface().dpiY());
}

RunBarcodeCheck::~RunBarcodeCheck() = default;

DrawingSurface& RunBarcodeCheck::surface()
{
    if (tee_)
        return *tee_;
    return document_.surface();
}

void RunBarcodeCheck::SheetBegun(int sheet)
{
    if (!tee_)
        return;
    tee_->StartSheet(sheet);
    sheetOpen_ = true;
}

void RunBarcodeCheck::PassPlaced(const QString& barcodeText, const QRect& cellPx)
{
    if (tee_)
        tee_->PassPlaced(barcodeText, cellPx);
}

void RunBarcodeCheck::SheetDone()
{
    if (!sheetOpen_)
        return;
    sheetOpen_ = false;
    worker_->Submit(tee_->TakeSheet());
    if (mode_ == BarcodeCheck::MarkSheet) {
        // The preview's marks go on the sheet itself, before its page ends.
        Act(*worker_->TakeOldest(true));
        return;
    }
    // The check may fall a few sheets behind the drawing when the processors are
    // busy, but no further, so that a layout that fails stops a long run early.
    while (std::optional<SheetVerdict> ready = worker_->TakeOldest(worker_->Pending() > kSheetsBehind))
        Act(*ready);
}

void RunBarcodeCheck::RunDone()
{
    if (!worker_)
        return;
    SheetDone();
    while (std::optional<SheetVerdict> verdict = worker_->TakeOldest(true))
        Act(*verdict);
}

void RunBarcodeCheck::Act(const SheetVerdict& verdict)
{
    if (mode_ == BarcodeCheck::StopRun) {
        if (!verdict.unreadable.empty())
            throw UnreadableBarcodeError(verdict.unreadable.front().text);
        for (const PlacedBarcode& pass : verdict.partlyRead)
            partlyRead_.append(pass.text.left(kPassNumberLength));
        return;
    }
    FrameCells(document_.painter(), verdict.unreadable, kUnreadableColour);
    FrameCells(document_.painter(), verdict.partlyRead, kPartlyReadColour);
    if (sheetChecked_)
        sheetChecked_(verdict.sheet, {int(verdict.unreadable.size()), int(verdict.partlyRead.size())});
}
