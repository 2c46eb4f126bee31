// The Data group as the operator uses it: lane, date and quantity, then Add
// and Clear on the grid.
#include "app/main_window_fixture.h"
#include "passes/pass_list.h"

#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
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
    EXPECT_EQ(script.Pending(), 0);
    EXPECT_TRUE(script.Unexpected().isEmpty()) << script.Unexpected().join(", ").toStdString();
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
                  QLocale::system().toString(row.date, QStringLiteral("MMMM dd yyyy")));
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

}  // namespace
