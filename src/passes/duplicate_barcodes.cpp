#include "passes/duplicate_barcodes.h"

#include "passes/pass_serial.h"
#include "passes/valid_on_stamp.h"

#include <QHash>
#include <algorithm>

DuplicateBarcodes FindDuplicateBarcodes(const std::vector<PassListRow>& rows, qint64 first, qint64 end)
{
    DuplicateBarcodes found;
    QHash<QString, int> rowOfBarcode;  // barcode text -> 1-based row that first carries it
    qint64 ordinal = 0;
    for (std::size_t k = 0; k < rows.size() && ordinal < end; ++k) {
        const int quantity = rows[k].quantity();
        if (quantity < 1)
            continue;
        const qint64 from = std::max<qint64>(0, first - ordinal);
        const qint64 to = std::min<qint64>(quantity, end - ordinal);
        if (from < to) {
            const CalendarInstant instant = DecodeValidOnStamp(rows[k].validOnStamp);
            for (qint64 i = from; i < to; ++i) {
                const QString barcode = BarcodeText(PassNumberText(instant, int(i)), rows[k].lane);
                const auto seen = rowOfBarcode.constFind(barcode);
                if (seen == rowOfBarcode.constEnd()) {
                    rowOfBarcode.insert(barcode, int(k) + 1);
                    continue;
                }
                if (found.repeatedPasses++ == 0) {
                    found.firstRow = seen.value();
                    found.secondRow = int(k) + 1;
                    found.lane = rows[k].lane;
                }
            }
        }
        ordinal += quantity;
    }
    return found;
}

QString DuplicateBarcodesQuestion(const DuplicateBarcodes& found)
{
    const QString rowsText = found.firstRow == found.secondRow
                                 ? QStringLiteral("row %1").arg(found.firstRow)
                                 : QStringLiteral("rows %1 and %2").arg(found.firstRow).arg(found.secondRow);
    return QStringLiteral("%1 passes of this run would carry the same barcode as another pass (%2, lane %3). "
                          "Print anyway?")
        .arg(found.repeatedPasses)
        .arg(rowsText, found.lane);
}
