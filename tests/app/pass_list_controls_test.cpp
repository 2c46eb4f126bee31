// The Data group as the operator uses it: lane, date and quantity, then Add
// and Clear on the grid.
#include "support/main_window_fixture.h"
#include "passes/month_date_text.h"
#include "passes/pass_list.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <QTest>

namespace {

struct QuantityTyping {
    const char* initial;
    int cursor;
    const char* typed;       // characters typed one by one
    Qt::Key key;             // then this key, unless Qt::Key_unknown
    const char* expected;
};

const QuantityTyping kQuantityTyping[] = {
    {"", 0, "a", Qt::Key_unknown, ""},
    {"", 0, "-", Qt::Key_unknown, ""},
    {"", 0, ".", Qt::Key_unknown, ""},
    {"", 0, "+", Qt::Key_unknown, ""},
    {"", 0, " ", Qt::Key_unknown, ""},
    {"", 0, "-5", Qt::Key_unknown, "5"},
    {"", 0, "7", Qt::Key_unknown, "7"},
    {"", 0, "09", Qt::Key_unknown, "09"},
    {"", 0, "123", Qt::Key_unknown, "12"},
    {"", 0, "1x2.3", Qt::Key_unknown, "12"},
    {"1", 1, "0", Qt::Key_unknown, "10"},
    {"1", 1, "Q", Qt::Key_unknown, "1"},
    {"12", 2, "", Qt::Key_Backspace, "1"},
    {"12", 0, "", Qt::Key_Delete, "2"},
    {"12", 2, "", Qt::Key_Left, "12"},
};

TEST_F(MainWindowTest, QuantityBoxTakesOnlyTwoDigits)
{
    auto* quantity = Find<QLineEdit>("txtQty");
    for (const QuantityTyping& row : kQuantityTyping) {
        SCOPED_TRACE(std::string("initial '") + row.initial + "', typed '" + row.typed + "'");
        quantity->setText(QString::fromUtf8(row.initial));
        quantity->setCursorPosition(row.cursor);
        QTest::keyClicks(quantity, QString::fromUtf8(row.typed));
        if (row.key != Qt::Key_unknown)
            QTest::keyClick(quantity, row.key);
        EXPECT_EQ(quantity->text(), QString::fromUtf8(row.expected));
    }
}

TEST_F(MainWindowTest, AddWithoutALaneShowsTheMessageAndChangesNothing)
{
    AddRow("05", QDate(2024, 2, 29), "3");
    Find<QComboBox>("cboType")->setCurrentIndex(-1);
    QString message;
    ModalScript script;
    script.Expect("messageBox", AcceptMessage(&message));
    Click("btnAdd");
    EXPECT_EQ(message, QStringLiteral("Please select a lane for this barcode"));
    ExpectEveryDialogAnswered(script);
    EXPECT_EQ(window->passList().GridRowCount(), 3);
    EXPECT_EQ(window->passList().EntryRow(1).lane, QStringLiteral("05"));
    EXPECT_EQ(Find<QLineEdit>("txtQty")->text(), QStringLiteral("3"));
}

struct AddedRow {
    const char* lane;
    QDate date;
    const char* quantity;
};

const AddedRow kAddedRows[] = {
    {"01", QDate(2015, 12, 14), "1"},
    {"09", QDate(2026, 1, 5), ""},
    {"07", QDate(1979, 12, 31), "99"},
    {"04", QDate(2108, 1, 1), "5"},
};

TEST_F(MainWindowTest, AddAppendsRowsAndKeepsTheBlankRowCurrent)
{
    auto* grid = Find<QTableView>("grdList");
    const QAbstractItemModel* model = grid->model();
    for (size_t n = 0; n < std::size(kAddedRows); ++n) {
        const AddedRow& row = kAddedRows[n];
        SCOPED_TRACE(row.lane);
        AddRow(row.lane, row.date, row.quantity);
        const int gridRow = int(n) + 1;
        EXPECT_EQ(window->passList().GridRowCount(), gridRow + 2);
        EXPECT_EQ(model->rowCount(), gridRow + 1);
        // The model holds the grid's rows below the header.
        EXPECT_EQ(model->index(gridRow - 1, 0).data().toString(), QString::fromUtf8(row.lane));
        EXPECT_EQ(model->index(gridRow - 1, 1).data().toString(),
                  LongMonthDateText(row.date));
        EXPECT_EQ(model->index(gridRow - 1, 2).data().toString(), QString::fromUtf8(row.quantity));
        for (int column = 0; column < 3; ++column)
            EXPECT_EQ(model->index(gridRow, column).data().toString(), QString()) << "blank row, column " << column;
        EXPECT_EQ(grid->currentIndex().row(), gridRow) << "the new blank row is current";
        // The controls keep their values for the next Add.
        EXPECT_EQ(Find<QComboBox>("cboType")->currentText(), QString::fromUtf8(row.lane));
        EXPECT_EQ(Find<QLineEdit>("txtQty")->text(), QString::fromUtf8(row.quantity));
    }
    const bool inRange[] = {true, true, false, false};
    for (size_t n = 0; n < std::size(kAddedRows); ++n)
        EXPECT_EQ(window->passList().EntryRow(int(n) + 1).validOnStamp != 0, inRange[n]) << "row " << n + 1;
    EXPECT_TRUE(Find<QLineEdit>("txtPages")->text().isEmpty());
}

TEST_F(MainWindowTest, ClearEmptiesTheGridAndTheNextAddWritesRowOne)
{
    auto* grid = Find<QTableView>("grdList");
    const QAbstractItemModel* model = grid->model();
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "clear on an empty list" : "clear after adds");
        if (round == 1) {
            AddRow("02", QDate(2025, 6, 1), "4");
            AddRow("03", QDate(2025, 6, 2), "6");
            ASSERT_EQ(window->passList().GridRowCount(), 4);
        }
        Click("btnClear");
        EXPECT_EQ(window->passList().GridRowCount(), 2);
        EXPECT_EQ(model->rowCount(), 1);
        for (int column = 0; column < 3; ++column)
            EXPECT_EQ(model->index(0, column).data().toString(), QString());
        EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Valid On"));
    }
    AddRow("06", QDate(2025, 7, 1), "2");
    EXPECT_EQ(window->passList().GridRowCount(), 3);
    EXPECT_EQ(model->index(0, 0).data().toString(), QStringLiteral("06"));
    EXPECT_EQ(grid->currentIndex().row(), 1);
}

// The grid row that is current and highlighted, as model rows (grid row - 1).
std::vector<int> HighlightedRows(const QTableView& grid)
{
    std::vector<int> rows;
    for (const QModelIndex& index : grid.selectionModel()->selectedRows())
        rows.push_back(index.row());
    return rows;
}

bool RowInSight(const QTableView& grid, int modelRow)
{
    const QRect rowPx = grid.visualRect(grid.model()->index(modelRow, 0));
    return !rowPx.isEmpty() && grid.viewport()->rect().contains(rowPx);
}

TEST_F(MainWindowTest, TheBlankRowOneIsCurrentAtStartAndAfterClear)
{
    auto* grid = Find<QTableView>("grdList");
    EXPECT_EQ(grid->currentIndex().row(), 0);
    EXPECT_EQ(HighlightedRows(*grid), std::vector<int>{0});
    for (int i = 0; i < 6; ++i)
        AddRow("02", QDate(2025, 6, 1), "4");
    Click("btnClear");
    EXPECT_EQ(grid->currentIndex().row(), 0);
    EXPECT_EQ(HighlightedRows(*grid), std::vector<int>{0});
    EXPECT_TRUE(RowInSight(*grid, 0));
}

TEST_F(MainWindowTest, AfterEachAddTheLastRowAddedAndTheBlankRowAreInSight)
{
    auto* grid = Find<QTableView>("grdList");
    for (int added = 1; added <= 8; ++added) {
        SCOPED_TRACE(added);
        AddRow(added % 2 ? "01" : "09", QDate(2026, 1, added), QString::number(added));
        EXPECT_EQ(grid->currentIndex().row(), added) << "the blank row is current";
        EXPECT_EQ(HighlightedRows(*grid), std::vector<int>{added});
        EXPECT_TRUE(RowInSight(*grid, added)) << "blank row";
        EXPECT_TRUE(RowInSight(*grid, added - 1)) << "row just added";
        EXPECT_FALSE(grid->horizontalScrollBar()->isVisible());
    }
    EXPECT_TRUE(grid->verticalScrollBar()->isVisible()) << "ten grid rows do not fit";
    const int widthsPx[] = {56, 194, 89};
    for (int column = 0; column < 3; ++column)
        EXPECT_EQ(grid->columnWidth(column), widthsPx[column]);
}

TEST_F(MainWindowTest, DraggingAHeaderBorderChangesNoColumn)
{
    auto* grid = Find<QTableView>("grdList");
    QHeaderView* header = grid->horizontalHeader();
    const int widthsPx[] = {56, 194, 89};
    // The borders after the first and second columns, dragged either way.
    const std::pair<int, int> drags[] = {{56, 120}, {56, 20}, {250, 330}, {250, 200}, {339, 360}};
    for (const auto& [fromX, toX] : drags) {
        SCOPED_TRACE(std::to_string(fromX) + " -> " + std::to_string(toX));
        const int y = header->height() / 2;
        QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(fromX - 1, y));
        QTest::mouseMove(header->viewport(), QPoint((fromX + toX) / 2, y));
        QTest::mouseMove(header->viewport(), QPoint(toX, y));
        QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(toX, y));
        for (int column = 0; column < 3; ++column)
            EXPECT_EQ(grid->columnWidth(column), widthsPx[column]) << "column " << column;
        EXPECT_FALSE(grid->horizontalScrollBar()->isVisible());
    }
}

struct ComposedInput {
    const char16_t* commit;  // what a dead key, the compose key or an input method delivers
    const char16_t* preedit; // text shown while composing, not yet in the box
    const char* expected;
};

const ComposedInput kComposedInputs[] = {
    {u"\u00E9", u"", "1"},           // dead_acute e
    {u"e\u0301", u"", "1"},          // e with a combining accent
    {u"\u00B4", u"", "1"},           // dead_acute space
    {u"\u0663", u"", "1"},           // Arabic-Indic three
    {u"\uFF15", u"", "1"},           // full-width five
    {u"", u"\u00B4", "1"},           // composing: nothing typed yet
    {u"5", u"", "15"},                // a digit composed is a digit
    {u"5\u00E9", u"", "15"},         // only the digit of a mixed commit
};

TEST_F(MainWindowTest, QuantityFilterAppliesToComposedCharacters)
{
    auto* quantity = Find<QLineEdit>("txtQty");
    quantity->setFocus();
    for (const ComposedInput& row : kComposedInputs) {
        const QString commit = QString::fromUtf16(row.commit);
        SCOPED_TRACE("commit '" + commit.toStdString() + "'");
        quantity->setText(QStringLiteral("1"));
        quantity->setCursorPosition(1);
        QInputMethodEvent event(QString::fromUtf16(row.preedit), {});
        event.setCommitString(commit);
        QApplication::sendEvent(quantity, &event);
        EXPECT_EQ(quantity->text(), QString::fromUtf8(row.expected));
        QInputMethodEvent done;
        QApplication::sendEvent(quantity, &done);
    }
}

}  // namespace
