#include "passes/duplicate_barcodes.h"

#include <QHash>

DuplicateBarcodes FindDuplicateBarcodes(const std::vector<RunPass>& passes)
{
    DuplicateBarcodes found;
    QHash<QString, int> rowOfBarcode;  // barcode text -> 1-based row that first carries it
    for (const RunPass& pass : passes) {
        const auto seen = rowOfBarcode.constFind(pass.barcode);
        if (seen == rowOfBarcode.constEnd()) {
            rowOfBarcode.insert(pass.barcode, pass.row);
            continue;
        }
        if (found.repeatedPasses++ == 0) {
            found.firstRow = seen.value();
            found.secondRow = pass.row;
            found.lane = pass.lane;
        }
    }
    return found;
}

QString DuplicateBarcodesFacts(const DuplicateBarcodes& found)
{
    const QString rowsText = found.firstRow == found.secondRow
                                 ? QStringLiteral("row %1").arg(found.firstRow)
                                 : QStringLiteral("rows %1 and %2").arg(found.firstRow).arg(found.secondRow);
    return QStringLiteral("%1 passes of this run would carry the same barcode as another pass (%2, lane %3)")
        .arg(found.repeatedPasses)
        .arg(rowsText, found.lane);
}

QString DuplicateBarcodesQuestion(const DuplicateBarcodes& found)
{
    return DuplicateBarcodesFacts(found) + QStringLiteral(". Print anyway?");
}

QString CopiesQuestion(int copies)
{
    return QStringLiteral("%1 copies would print every barcode of this run %1 times. Print anyway?").arg(copies);
}
