#pragma once

#include "support/modal_script.h"
#include "app/tfrm_main.h"
#include "passes/pass_list.h"

#include <QDate>
#include <QString>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

class QPushButton;

// One main window per test, shown and active as the operator would find it.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    template <typename Control>
    Control* Find(const char* name) const
    {
        return window->findChild<Control*>(QLatin1String(name));
    }

    void SetText(const char* editName, const QString& text);
    // Picks the lane, date and quantity, then clicks Add.
    void AddRow(const QString& lane, const QDate& date, const QString& quantity);
    void Click(const char* buttonName);
    QString PrintCaption() const;
    // A sheet of cols x rows passes with margins, size factor and two heading lines.
    void SetSheet(const QString& cols, const QString& rows);
    // Clicks Print; the script answers the print dialog with "Print to File (PDF)".
    void PrintTo(const QString& pdfPath, ModalScript& script, int* maxPage = nullptr);

    std::unique_ptr<TfrmMain> window;
};

// Readable QString values in test failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
