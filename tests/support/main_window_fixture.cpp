#include "support/main_window_fixture.h"

#include "app/tessary_application.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

void MainWindowTest::SetUp()
{
    SetUpApplication();
    window = std::make_unique<TfrmMain>();
    window->show();
    QApplication::setActiveWindow(window.get());
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
}

void MainWindowTest::TearDown()
{
    window.reset();
    QApplication::processEvents();
}

void MainWindowTest::SetText(const char* editName, const QString& text)
{
    auto* edit = Find<QLineEdit>(editName);
    ASSERT_NE(edit, nullptr) << editName;
    edit->setText(text);
}

void MainWindowTest::AddRow(const QString& lane, const QDate& date, const QString& quantity)
{
    auto* lanes = Find<QComboBox>("cboType");
    ASSERT_NE(lanes, nullptr);
    lanes->setCurrentIndex(lanes->findText(lane));
    Find<QDateEdit>("dtpDate")->setDate(date);
    SetText("txtQty", quantity);
    Click("btnAdd");
}

void MainWindowTest::Click(const char* buttonName)
{
    auto* button = Find<QPushButton>(buttonName);
    ASSERT_NE(button, nullptr) << buttonName;
    QTest::mouseClick(button, Qt::LeftButton);
}

QString MainWindowTest::PrintCaption() const { return Find<QPushButton>("btnPrint")->text(); }

void MainWindowTest::SetSheet(const QString& cols, const QString& rows)
{
    SetText("ebxCols", cols);
    SetText("ebxRows", rows);
    SetText("txtLeftMargin", QStringLiteral("0.25"));
    SetText("txtTop", QStringLiteral("0.5"));
    SetText("txtFontSize", QStringLiteral("1.0"));
    SetText("ebxLine1", QStringLiteral("LANE PASS"));
    SetText("ebxLine5", QStringLiteral("KEEP VISIBLE"));
}

void MainWindowTest::PrintTo(const QString& pdfPath, ModalScript& script, int* maxPage)
{
    script.Expect(QStringLiteral("printDialog"), PrintToPdf(pdfPath, maxPage));
    Click("btnPrint");
}
