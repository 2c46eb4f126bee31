#pragma once

// Rows keep their dates as LongMonthDateText; readers print them the same way.
#include "passes/month_date_text.h"

#include <QAbstractTableModel>
#include <QDate>
#include <QString>
#include <QTime>

#include <functional>
#include <optional>
#include <vector>

// Reads a quantity text leniently: optional leading blanks, an optional sign
// and decimal digits, nothing after them. Anything else (the empty text, a
// letter, trailing blanks, a value beyond int) gives 0. A pasted "-1" is -1.
int QuantityValue(const QString& text);

// A row numbers its passes with a two-digit index, so it holds at most this many.
constexpr int kMostPassesOfARow = 99;

// One entry of the pass list, with its texts as shown and the stamp that
// printing numbers the passes from.
struct PassListRow {
    QString lane;
    QString validOnText;
    quint32 validOnStamp = 0;
    QString quantityText;

    int quantity() const { return QuantityValue(quantityText); }
};

// The list of passes to print, in the shape of the window's grid: grid row 0
// is the header, rows 1..GridRowCount()-2 are the entries and the last grid
// row is always blank. As a table model it holds the grid rows below the
// header (the view's horizontal header shows row 0).
class PassList : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { LaneColumn = 0, ValidOnColumn = 1, QuantityColumn = 2, ColumnCount = 3 };
    // The stamp attached to the "Valid On" cell, for readers that go through the model.
    static constexpr int ValidOnStampRole = Qt::UserRole;

    // clock gives the local time of day for new stamps; empty means the real clock.
    explicit PassList(std::function<QTime()> clock = {}, QObject* parent = nullptr);

    static QString LaneRequiredMessage();

    int GridRowCount() const;
    // The grid row the view should highlight: the blank row the next Add writes.
    int CurrentGridRow() const;

    // Appends an entry. Returns false and leaves the list alone when no lane is
    // selected; the caller then shows LaneRequiredMessage().
    bool Add(const std::optional<QString>& lane, const QDate& pickedDate, const QString& quantityText);
    void Clear();
    void WriteHeader();

    std::vector<PassListRow> EntryRows() const;
    int EntryRowCount() const;
    // k is the grid row, 1..EntryRowCount().
    const PassListRow& EntryRow(int k) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    std::function<QTime()> clock_;
    std::vector<PassListRow> entries_;
    bool headerWritten_ = false;
};
