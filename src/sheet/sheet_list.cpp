// The list of sheets typed in the print dialog's Pages field or given to
// tessary-print's --pages: one reading for both.
#include "sheet/sheet_list.h"

#include <QRegularExpression>
#include <algorithm>

std::optional<SheetRange> ParseSheetList(const QString& text)
{
    static const QRegularExpression piecePattern(QStringLiteral("^([0-9]{1,9})(-([0-9]{1,9})?)?$"));
    SheetRange range;
    range.first = std::numeric_limits<int>::max();
    range.last = 0;
    for (const QString& piece : text.split(QLatin1Char(','))) {
        const QRegularExpressionMatch match = piecePattern.match(piece.trimmed());
        if (!match.hasMatch())
            return std::nullopt;
        const int from = match.captured(1).toInt();
        const int to = match.captured(2).isEmpty()   ? from
                       : match.captured(3).isEmpty() ? std::numeric_limits<int>::max()
                                                     : match.captured(3).toInt();
        if (from < 1 || to < from)
            return std::nullopt;
        range.pieces.emplace_back(from, to);
        range.first = std::min(range.first, from);
        range.last = std::max(range.last, to);
    }
    if (range.pieces.size() == 1)
        range.pieces.clear();  // one piece is the range itself
    return range;
}
