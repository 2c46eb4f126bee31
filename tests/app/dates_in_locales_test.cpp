// Dates in the window for users of other locales: the date picker, the grid's
// "mmmm dd yyyy" text and the printed "Valid: " line all give the plain month
// name and ASCII digits.
#include "support/main_window_fixture.h"
#include "support/printed_pdf.h"
#include "support/tools.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct LocaleDates {
    const char* locale;
    QDate date;
    const char* pickerAndGrid; // "mmmm dd yyyy"
    const char* validLine;     // "Valid: mmm dd yyyy"
    bool rightToLeft;          // pdftotext gives the words of the line in another order
};

const LocaleDates kLocaleDates[] = {
    {"ru_RU", QDate(2026, 3, 5), "март 05 2026", "Valid: март 05 2026", false},
    {"ru_RU", QDate(2026, 5, 9), "май 09 2026", "Valid: май 09 2026", false},
    {"pl_PL", QDate(2026, 3, 5), "marzec 05 2026", "Valid: mar 05 2026", false},
    {"ar_EG", QDate(2026, 3, 5), "مارس 05 2026", "Valid: 2026 05", true},
    {"en_US", QDate(2015, 12, 14), "December 14 2015", "Valid: Dec 14 2015", false},
};

// The window is made after the locale is chosen, as at a program start.
class RestoreDefaultLocale {
public:
    ~RestoreDefaultLocale() { QLocale::setDefault(saved_); }

private:
    QLocale saved_;
};

TEST_F(MainWindowTest, DatesShowThePlainMonthNameAndAsciiDigits)
{
    const RestoreDefaultLocale restore;
    for (const LocaleDates& c : kLocaleDates) {
        SCOPED_TRACE(std::string(c.locale) + " " + c.pickerAndGrid);
        QLocale::setDefault(QLocale(QString::fromLatin1(c.locale)));
        TfrmMain localized;
        localized.show();
        auto* picker = localized.findChild<QDateEdit*>("dtpDate");
        picker->setDate(c.date);
        EXPECT_EQ(picker->text(), QString::fromUtf8(c.pickerAndGrid));

        auto* lanes = localized.findChild<QComboBox*>("cboType");
        lanes->setCurrentIndex(lanes->findText("05"));
        QTest::mouseClick(localized.findChild<QPushButton*>("btnAdd"), Qt::LeftButton);
        const QAbstractItemModel* grid = localized.findChild<QTableView*>("grdList")->model();
        EXPECT_EQ(grid->index(0, 1).data().toString(), QString::fromUtf8(c.pickerAndGrid));

        for (const char* edit : {"ebxCols", "ebxRows"})
            localized.findChild<QLineEdit*>(edit)->setText("1");
        localized.findChild<QLineEdit*>("txtFontSize")->setText("1.0");
        QTemporaryDir dir;
        const QString pdf = dir.filePath("valid.pdf");
        ModalScript script;
        script.Expect(QStringLiteral("printDialog"), PrintToPdf(pdf));
        QTest::mouseClick(localized.findChild<QPushButton*>("btnPrint"), Qt::LeftButton);
        EXPECT_TRUE(script.Unexpected().isEmpty()) << script.Unexpected().join(", ").toStdString();
        ASSERT_EQ(PdfPageCount(pdf), 1);
        // The rotated line comes out a word a line.
        const QString text = RunTool(QStringLiteral("pdftotext"), {"-raw", pdf, "-"}).simplified();
        EXPECT_TRUE(text.contains(QString::fromUtf8(c.validLine))) << text.toStdString();
        for (const QChar ch : text)
            EXPECT_FALSE(ch.isDigit() && ch > u'9') << "a digit other than ASCII: " << text.toStdString();
    }
}

}  // namespace
