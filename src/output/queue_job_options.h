#pragma once

#include "output/queue_job.h"

class QPageSize;

// The options of a job on pass stock, in the order they apply (a later option
// of a name replaces an earlier one): the destination's own (its lpoptions,
// as DestinationOptions gives them), then the caller's (lp's -o), then what
// the stock needs: the paper's PWG media name, no scaling, one page a sheet,
// upright. The passes are placed for that page, so an option of a lower layer
// that would choose another paper, scale, n-up, turn the page or pick pages
// is left out; those of the caller's so left out go to replacedCallerOptions,
// the destination's that differ from the stock's to replacedDestinationOptions.
struct PassStockJobOptions {
    JobOptions options;
    JobOptions replacedCallerOptions;
    JobOptions replacedDestinationOptions;
};
PassStockJobOptions LayeredPassStockOptions(const JobOptions& destination, const JobOptions& caller,
                                            const QPageSize& paper);
