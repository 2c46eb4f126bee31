#pragma once

#include "common/tessary_error.h"
#include "verify/barcode_check_mode.h"
#include "verify/recording_tee_surface.h"
#include "verify/sheet_check_worker.h"

#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class PrintDocument;

// A pass's barcode is covered, cut or off the page on the sheet as drawn.
class UnreadableBarcodeError : public TessaryError {
public:
    explicit UnreadableBarcodeError(const QString& barcodeText);
};

// Reads every pass's barcode back from a picture of its sheet as composed, while
// the run draws the next sheet: the run's drawing goes through surface(), which
// hands it on to the document unchanged and keeps a copy of each sheet.
class RunBarcodeCheck {
public:
    // sheetChecked hears, in MarkSheet mode, how many passes of each sheet do
    // not read, and how many read only in part.
    RunBarcodeCheck(PrintDocument& document, BarcodeCheck mode,
                    std::function<void(int sheet, SheetLegibility)> sheetChecked);
    ~RunBarcodeCheck();
    RunBarcodeCheck(const RunBarcodeCheck&) = delete;
    RunBarcodeCheck& operator=(const RunBarcodeCheck&) = delete;

    DrawingSurface& surface();

    void SheetBegun(int sheet);
    void PassPlaced(const QString& barcodeText, const QRect& cellPx);
    // The sheet being drawn is complete (called before its page ends). Throws,
    // when stopping, for an earlier sheet found unreadable meanwhile.
    void SheetDone();
    // The drawing has ended: waits for the last sheet. Throws when stopping.
    void RunDone();
    // The pass numbers whose barcodes read only in part, in the order drawn,
    // once RunDone has returned.
    const QStringList& PartlyRead() const { return partlyRead_; }

private:
    void Act(const SheetVerdict& verdict);

    PrintDocument& document_;
    BarcodeCheck mode_;
    std::function<void(int, SheetLegibility)> sheetChecked_;
    QStringList partlyRead_;
    std::unique_ptr<RecordingTeeSurface> tee_;
    std::unique_ptr<SheetCheckWorker> worker_;
    bool sheetOpen_ = false;
};
