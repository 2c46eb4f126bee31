#include "run/nothing_to_print.h"

#include "run/print_run.h"

QString NothingToPrintText(const PrintRunRequest& request)
{
    if (TotalPasses(request.rows) == 0)
        return kNoQuantityText;
    if (SheetsInRange(request) == 0)
        return kNoSheetInRangeText;
    return QString();
}
