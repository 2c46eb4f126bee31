#pragma once

#include "support/modal_script.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <gtest/gtest.h>

// Answers one of the window's questions (shared barcodes, passes printed
// before) with Yes or No, after checking that it is captioned with the
// application's title and that No is its default.
inline ModalScript::Action Answer(QMessageBox::StandardButton button, QString* text)
{
    return [button, text](QWidget* dialog) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        ASSERT_NE(box, nullptr);
        *text = box->text();
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Tessary Utility"));
        EXPECT_EQ(static_cast<QAbstractButton*>(box->defaultButton()), box->button(QMessageBox::No));
        box->button(button)->click();
    };
}
