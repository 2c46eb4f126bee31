// The window as it first appears: every control where the window tables put
// it (pixels at 96 dpi), with its initial content.
#include "app/fontpicker/font_combo_box.h"
#include "support/main_window_fixture.h"
#include "passes/month_date_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

namespace {

struct PlacedControl {
    const char* name;
    const char* className;
    QRect rectPx;
};

const PlacedControl kControls[] = {
    {"txtLeftMargin", "QLineEdit", {48, 24, 50, 21}},
    {"txtTop", "QLineEdit", {138, 24, 50, 21}},
    {"ebxAdjust", "QLineEdit", {132, 54, 56, 21}},
    {"ebxAdjustCol", "QLineEdit", {132, 82, 56, 21}},
    {"ebxCols", "QLineEdit", {252, 42, 33, 21}},
    {"ebxRows", "QLineEdit", {334, 42, 33, 21}},
    {"cboFontName", "TFontComboBox", {84, 122, 161, 21}},
    {"txtFontSize", "QLineEdit", {280, 124, 37, 21}},
    {"chbCentered", "QCheckBox", {326, 120, 55, 17}},
    {"ebxLine1", "QLineEdit", {118, 146, 200, 21}},
    {"chkBold1", "QCheckBox", {326, 148, 55, 17}},
    {"ebxLine2", "QLineEdit", {118, 171, 200, 21}},
    {"chkBold2", "QCheckBox", {326, 172, 55, 17}},
    {"ebxLine3", "QLineEdit", {118, 196, 200, 21}},
    {"chkBold3", "QCheckBox", {326, 200, 55, 17}},
    {"ebxLine4", "QLineEdit", {118, 221, 200, 21}},
    {"chkBold4", "QCheckBox", {326, 224, 55, 17}},
    {"ebxLine5", "QLineEdit", {118, 246, 200, 21}},
    {"chkBold5", "QCheckBox", {326, 248, 55, 17}},
    {"cboType", "QComboBox", {90, 292, 45, 21}},
    {"dtpDate", "TDateTimePicker", {88, 320, 186, 25}},
    {"txtQty", "QLineEdit", {88, 352, 65, 21}},
    {"btnAdd", "QPushButton", {88, 376, 75, 25}},
    {"txtPages", "QLineEdit", {314, 380, 61, 21}},
    {"grdList", "QTableView", {16, 432, 361, 97}},
    {"btnLoad", "QPushButton", {10, 542, 75, 25}},
    {"btnSave", "QPushButton", {90, 542, 75, 25}},
    {"btnClear", "QPushButton", {170, 542, 75, 25}},
    {"btnPrint", "QPushButton", {308, 542, 75, 25}},
    {"Bevel2", "QFrame", {8, 10, 190, 99}},
    {"Bevel3", "QFrame", {200, 10, 185, 99}},
    {"Bevel4", "QFrame", {8, 114, 378, 159}},
    {"Bevel1", "QFrame", {8, 282, 377, 127}},
    {"Bevel5", "QFrame", {8, 416, 377, 121}},
};

struct Caption {
    const char* name;
    const char* text;
    QPoint topLeftPx;
    const char* controlToTheRight;  // nullptr for frame titles
};

const Caption kCaptions[] = {
    {"Label11", "Left", {24, 28}, "txtLeftMargin"},
    {"Label6", "Top", {112, 28}, "txtTop"},
    {"Label24", "Row pixels adj (+/-)", {24, 58}, "ebxAdjust"},
    {"Label28", "Column pixels adj (+/-)", {24, 86}, "ebxAdjustCol"},
    {"Label1", "Across", {214, 46}, "ebxCols"},
    {"Label4", "Down", {300, 46}, "ebxRows"},
    {"Label25", "Font", {39, 126}, "cboFontName"},
    {"Label29", "Size", {248, 126}, "txtFontSize"},
    {"Label13", "Line 1", {77, 150}, "ebxLine1"},
    {"Label14", "Line 2", {77, 175}, "ebxLine2"},
    {"Label15", "Line 3", {77, 200}, "ebxLine3"},
    {"Label16", "Line 4", {77, 225}, "ebxLine4"},
    {"Label17", "Line 5", {77, 250}, "ebxLine5"},
    {"Label26", "Lane", {19, 296}, "cboType"},
    {"Label27", "Valid On", {19, 324}, "dtpDate"},
    {"Label5", "Quantity", {19, 356}, "txtQty"},
    {"Label8", "Pages", {243, 384}, "txtPages"},
    {"Label3", " Margins (inches) ", {24, 6}, nullptr},
    {"Label12", " # of Passes ", {216, 6}, nullptr},
    {"Label18", " Headings ", {22, 111}, nullptr},
    {"Label19", " Data ", {24, 279}, nullptr},
    {"Label2", " Pass List to Print ", {32, 415}, nullptr},
};

TEST_F(MainWindowTest, EveryControlHasItsClassPositionAndSize)
{
    for (const PlacedControl& expected : kControls) {
        SCOPED_TRACE(expected.name);
        auto* control = Find<QWidget>(expected.name);
        ASSERT_NE(control, nullptr);
        EXPECT_STREQ(control->metaObject()->className(), expected.className);
        EXPECT_EQ(control->parentWidget(), window.get());
        EXPECT_EQ(control->geometry(), expected.rectPx);
    }
}

TEST_F(MainWindowTest, CaptionsStandWhereDesignedAndClearTheirBoxes)
{
    for (const Caption& caption : kCaptions) {
        SCOPED_TRACE(caption.name);
        auto* label = Find<QLabel>(caption.name);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), QString::fromUtf8(caption.text));
        EXPECT_EQ(label->pos(), caption.topLeftPx);
        EXPECT_EQ(label->height(), 13);
        const int textWidthPx = label->fontMetrics().horizontalAdvance(label->text());
        EXPECT_GE(label->width(), textWidthPx) << "caption cut off";
        if (!caption.controlToTheRight)
            continue;
        const int textRightPx = caption.topLeftPx.x() + textWidthPx;
        const int boxLeftPx = Find<QWidget>(caption.controlToTheRight)->x();
        EXPECT_LE(textRightPx, boxLeftPx) << "text ends at x " << textRightPx << ", box starts at x " << boxLeftPx
                                          << " (font " << label->font().family().toStdString() << ", resolved "
                                          << QFontInfo(label->font()).family().toStdString() << ")";
    }
}

TEST_F(MainWindowTest, FrameTitlesLieOverTheFrameLine)
{
    const std::pair<const char*, const char*> titles[] = {
        {"Label3", "Bevel2"}, {"Label12", "Bevel3"}, {"Label18", "Bevel4"}, {"Label19", "Bevel1"}, {"Label2", "Bevel5"}};
    const QObjectList& children = window->children();
    for (const auto& [titleName, frameName] : titles) {
        SCOPED_TRACE(titleName);
        auto* title = Find<QLabel>(titleName);
        auto* frame = Find<QFrame>(frameName);
        ASSERT_TRUE(title && frame);
        EXPECT_TRUE(title->autoFillBackground());
        EXPECT_EQ(frame->frameShadow(), QFrame::Sunken);
        // The title crosses the frame's top edge and is stacked above the frame.
        EXPECT_LE(title->y(), frame->y());
        EXPECT_GT(title->geometry().bottom(), frame->y());
        EXPECT_GT(children.indexOf(title), children.indexOf(frame));
    }
}

TEST_F(MainWindowTest, WindowIsFixedSizeWithoutMaximiseAndTitled)
{
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tessary Utility"));
    EXPECT_EQ(window->size(), QSize(395, 575));
    EXPECT_EQ(window->minimumSize(), QSize(395, 575));
    EXPECT_EQ(window->maximumSize(), QSize(395, 575));
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_EQ(window->font().pointSize(), 8);
}

TEST_F(MainWindowTest, EditBoxesStartEmptyExceptQuantity)
{
    const char* const edits[] = {"txtLeftMargin", "txtTop", "ebxAdjust", "ebxAdjustCol", "ebxCols", "ebxRows",
                                 "txtFontSize", "ebxLine1", "ebxLine2", "ebxLine3", "ebxLine4", "ebxLine5",
                                 "txtPages"};
    for (const char* name : edits)
        EXPECT_EQ(Find<QLineEdit>(name)->text(), QString()) << name;
    auto* quantity = Find<QLineEdit>("txtQty");
    EXPECT_EQ(quantity->text(), QStringLiteral("1"));
    EXPECT_EQ(quantity->maxLength(), 2);

    auto* pages = Find<QLineEdit>("txtPages");
    EXPECT_TRUE(pages->isReadOnly());
    EXPECT_EQ(pages->focusPolicy(), Qt::NoFocus);

    const char* const checks[] = {"chbCentered", "chkBold1", "chkBold2", "chkBold3", "chkBold4", "chkBold5"};
    for (const char* name : checks)
        EXPECT_FALSE(Find<QCheckBox>(name)->isChecked()) << name;
    EXPECT_EQ(Find<QCheckBox>("chbCentered")->text(), QStringLiteral("Center"));
    EXPECT_EQ(Find<QCheckBox>("chkBold3")->text(), QStringLiteral("Bold"));

    EXPECT_EQ(Find<TFontComboBox>("cboFontName")->SelectedFontName(), QString());
}

TEST_F(MainWindowTest, LaneListOffersTheEightLanesWithNoneSelected)
{
    auto* lanes = Find<QComboBox>("cboType");
    QStringList items;
    for (int i = 0; i < lanes->count(); ++i)
        items << lanes->itemText(i);
    EXPECT_EQ(items, QStringList({"01", "02", "03", "04", "05", "06", "07", "09"}));
    EXPECT_EQ(lanes->currentIndex(), -1);
    EXPECT_FALSE(lanes->isEditable());
}

TEST_F(MainWindowTest, DatePickerShowsTodayWithACalendar)
{
    auto* date = Find<QDateEdit>("dtpDate");
    EXPECT_EQ(date->date(), QDate::currentDate());
    EXPECT_EQ(date->text(), LongMonthDateText(QDate::currentDate())) << "mmmm dd yyyy";
    EXPECT_TRUE(date->calendarPopup());
    // Passes dated before 1980 must be pickable: the print run reports them.
    EXPECT_LE(date->minimumDate(), QDate(1979, 1, 1));
}

TEST_F(MainWindowTest, GridShowsItsHeaderAndOneBlankRow)
{
    auto* grid = Find<QTableView>("grdList");
    QAbstractItemModel* model = grid->model();
    ASSERT_EQ(model->columnCount(), 3);
    const char* const headers[] = {"Lane", "Valid On", "Quantity"};
    const int widthsPx[] = {56, 194, 89};
    for (int column = 0; column < 3; ++column) {
        EXPECT_EQ(model->headerData(column, Qt::Horizontal).toString(), QString::fromUtf8(headers[column]));
        EXPECT_EQ(grid->columnWidth(column), widthsPx[column]);
    }
    EXPECT_EQ(model->rowCount(), 1);
    EXPECT_EQ(grid->rowHeight(0), 18);
    EXPECT_EQ(grid->horizontalHeader()->height(), 18);
    EXPECT_EQ(grid->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_FALSE(model->flags(model->index(0, 1)).testFlag(Qt::ItemIsEditable));
    EXPECT_TRUE(grid->showGrid());
}

// Most sessions never load or save: the file dialogs are made when first used.
TEST_F(MainWindowTest, FileDialogsAreMadeWhenFirstUsed)
{
    EXPECT_EQ(window->findChild<QFileDialog*>(), nullptr);
    ModalScript script;
    script.Expect("OpenDialog1", RejectDialog());
    Click("btnLoad");
    EXPECT_EQ(script.Pending(), 0);
    EXPECT_NE(Find<QFileDialog>("OpenDialog1"), nullptr);
    EXPECT_EQ(Find<QFileDialog>("SaveDialog1"), nullptr);
    auto* open = Find<QFileDialog>("OpenDialog1");
    EXPECT_EQ(open->windowTitle(), QStringLiteral("Load Label File"));
    EXPECT_EQ(open->nameFilters(), QStringList{QStringLiteral("Label Format (*.lbl)")});
    script.Expect("SaveDialog1", RejectDialog());
    Click("btnSave");
    EXPECT_EQ(script.Pending(), 0);
    auto* save = Find<QFileDialog>("SaveDialog1");
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->windowTitle(), QStringLiteral("Save Label File"));
    EXPECT_TRUE(save->testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_EQ(window->findChildren<QFileDialog*>().size(), 2);
}

TEST_F(MainWindowTest, ButtonsHaveTheirCaptionsAndNoneIsDefault)
{
    const std::pair<const char*, const char*> buttons[] = {
        {"btnAdd", "Add"}, {"btnLoad", "&Load"}, {"btnSave", "&Save"}, {"btnClear", "&Clear"}, {"btnPrint", "&Print"}};
    for (const auto& [name, caption] : buttons) {
        auto* button = Find<QPushButton>(name);
        ASSERT_NE(button, nullptr) << name;
        EXPECT_EQ(button->text(), QString::fromUtf8(caption)) << name;
        EXPECT_FALSE(button->isDefault()) << name;
        EXPECT_FALSE(button->autoDefault()) << name;
    }
}

}  // namespace
