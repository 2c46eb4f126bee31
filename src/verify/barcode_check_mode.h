#pragma once

// What a run does about barcodes that do not read on the sheet as drawn.
enum class BarcodeCheck {
    Off,        // nothing is checked
    StopRun,    // the first one found stops the run with an UnreadableBarcodeError;
                // those that read only in part are gathered for the run to ask about
    MarkSheet,  // each sheet's are framed on the sheet itself (the preview): red
                // for a barcode that does not read, orange for one read in part
};

// What the check found on one sheet.
struct SheetLegibility {
    int unreadablePasses = 0;
    int partlyReadPasses = 0;
};
