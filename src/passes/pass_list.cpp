#include "passes/pass_list.h"

#include "passes/valid_on_stamp.h"

#include <limits>

namespace {

const char* const kHeaderTexts[PassList::ColumnCount] = {"Lane", "Valid On", "Quantity"};

QString CellText(const PassListRow& row, int column)
{
    switch (column) {
    case PassList::LaneColumn:
        return row.lane;
    case PassList::ValidOnColumn:
        return row.validOnText;
    case PassList::QuantityColumn:
        return row.quantityText;
    default:
        return QString();
    }
}

} // namespace

int QuantityValue(const QString& text)
{
    int pos = 0;
    while (pos < text.size() && text.at(pos).isSpace())
        ++pos;

    bool negative = false;
    if (pos < text.size() && (text.at(pos) == u'-' || text.at(pos) == u'+')) {
        negative = text.at(pos) == u'-';
        ++pos;
    }

    const int firstDigit = pos;
    qint64 magnitude = 0;
    for (; pos < text.size(); ++pos) {
        const char16_t c = text.at(pos).unicode();
        if (c < u'0' || c > u'9')
            return 0;
        magnitude = magnitude * 10 + (c - u'0');
        if (magnitude > qint64(std::numeric_limits<int>::max()) + 1)
            return 0;
    }
    if (pos == firstDigit)
        return 0;

    const qint64 value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<int>::max())
        return 0;
    return int(value);
}

PassList::PassList(std::function<QTime()> clock, QObject* parent)
    : QAbstractTableModel(parent),
      clock_(clock ? std::move(clock) : std::function<QTime()>([] { return QTime::currentTime(); }))
{
}

QString PassList::LaneRequiredMessage()
{
    return QStringLiteral("Please select a lane for this barcode");
}

int PassList::GridRowCount() const
{
    return EntryRowCount() + 2;
}

int PassList::CurrentGridRow() const
{
    // Add always moves to the new blank row, and Clear leaves only row 1.
    return GridRowCount() - 1;
}

bool PassList::Add(const std::optional<QString>& lane, const QDate& pickedDate, const QString& quantityText)
{
    if (!lane)
        return false;

    PassListRow row;
    row.lane = *lane;
    row.validOnText = LongMonthDateText(pickedDate);
    // The picker's date with the clock's time of day: the picker's own time plays no part.
    row.validOnStamp = EncodeValidOnStamp(pickedDate, clock_());
    row.quantityText = quantityText;

    // The entry takes the place of the blank row, which moves down one.
    const int modelRow = EntryRowCount();
    beginInsertRows(QModelIndex(), modelRow, modelRow);
    entries_.push_back(std::move(row));
    endInsertRows();
    return true;
}

void PassList::Clear()
{
    beginResetModel();
    entries_.clear();
    endResetModel();
}

void PassList::WriteHeader()
{
    headerWritten_ = true;
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}

std::vector<PassListRow> PassList::EntryRows() const
{
    return entries_;
}

int PassList::EntryRowCount() const
{
    return int(entries_.size());
}

const PassListRow& PassList::EntryRow(int k) const
{
    return entries_.at(std::size_t(k - 1));
}

int PassList::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : GridRowCount() - 1;
}

int PassList::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PassList::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= ColumnCount)
        return QVariant();

    const bool blankRow = index.row() == EntryRowCount();
    if (role == Qt::DisplayRole)
        return blankRow ? QString() : CellText(entries_[std::size_t(index.row())], index.column());
    if (role == ValidOnStampRole && index.column() == ValidOnColumn && !blankRow)
        return entries_[std::size_t(index.row())].validOnStamp;
    return QVariant();
}

QVariant PassList::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return QVariant();
    return headerWritten_ ? QString::fromLatin1(kHeaderTexts[section]) : QString();
}

Qt::ItemFlags PassList::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled;
}
