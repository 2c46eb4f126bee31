#pragma once

// What a run does about barcodes that do not read on the sheet as drawn.
enum class BarcodeCheck {
    Off,        // nothing is checked
    StopRun,    // the first one found stops the run with an UnreadableBarcodeError
    MarkSheet,  // each sheet's are framed in red on the sheet itself (the preview)
};
