// What a screen reader gets for each control of the window, read back through
// Qt's accessibility interfaces: its name, its role, and the caption that
// labels it (the caption's buddy).
#include "support/main_window_fixture.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSet>

namespace {

struct AccessibleCase {
    const char* control;
    const char* name;
    QAccessible::Role role;
    const char* caption;  // text of the caption that labels it; nullptr: none
};

const AccessibleCase kAccessibleCases[] = {
    {"txtLeftMargin", "Left margin, inches", QAccessible::EditableText, "Left"},
    {"txtTop", "Top margin, inches", QAccessible::EditableText, "Top"},
    {"ebxAdjust", "Row pixels adjustment", QAccessible::EditableText, "Row pixels adj (+/-)"},
    {"ebxAdjustCol", "Column pixels adjustment", QAccessible::EditableText, "Column pixels adj (+/-)"},
    {"ebxCols", "Passes across", QAccessible::EditableText, "Across"},
    {"ebxRows", "Passes down", QAccessible::EditableText, "Down"},
    {"cboFontName", "Font", QAccessible::ComboBox, "Font"},
    {"txtFontSize", "Font size", QAccessible::EditableText, "Size"},
    {"chbCentered", "Center", QAccessible::CheckBox, nullptr},
    {"ebxLine1", "Line 1", QAccessible::EditableText, "Line 1"},
    {"chkBold1", "Bold, line 1", QAccessible::CheckBox, nullptr},
    {"ebxLine2", "Line 2", QAccessible::EditableText, "Line 2"},
    {"chkBold2", "Bold, line 2", QAccessible::CheckBox, nullptr},
    {"ebxLine3", "Line 3", QAccessible::EditableText, "Line 3"},
    {"chkBold3", "Bold, line 3", QAccessible::CheckBox, nullptr},
    {"ebxLine4", "Line 4", QAccessible::EditableText, "Line 4"},
    {"chkBold4", "Bold, line 4", QAccessible::CheckBox, nullptr},
    {"ebxLine5", "Line 5", QAccessible::EditableText, "Line 5"},
    {"chkBold5", "Bold, line 5", QAccessible::CheckBox, nullptr},
    {"cboType", "Lane", QAccessible::ComboBox, "Lane"},
    {"dtpDate", "Valid on", QAccessible::SpinBox, "Valid On"},
    {"txtQty", "Quantity", QAccessible::EditableText, "Quantity"},
    {"txtPages", "Pages", QAccessible::EditableText, "Pages"},
    // Qt's table interface reports no label relation; its own name says it.
    {"grdList", "Pass list", QAccessible::Table, nullptr},
    {"btnAdd", "Add", QAccessible::Button, nullptr},
    {"btnLoad", "Load", QAccessible::Button, nullptr},
    {"btnSave", "Save", QAccessible::Button, nullptr},
    {"btnClear", "Clear", QAccessible::Button, nullptr},
    {"btnPrint", "Print", QAccessible::Button, nullptr},
};

using AccessibleNames = MainWindowTest;

TEST_F(AccessibleNames, EveryControlHasItsNameRoleAndCaption)
{
    QSet<QString> named;
    for (const AccessibleCase& c : kAccessibleCases) {
        SCOPED_TRACE(c.control);
        QWidget* control = Find<QWidget>(c.control);
        ASSERT_NE(control, nullptr);
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
        ASSERT_NE(face, nullptr);
        EXPECT_EQ(face->text(QAccessible::Name).toStdString(), c.name);
        EXPECT_EQ(face->role(), c.role);
        QStringList labelledBy;
        for (const auto& [other, relation] : face->relations(QAccessible::Label))
            labelledBy << other->text(QAccessible::Name);
        EXPECT_EQ(labelledBy, c.caption ? QStringList{c.caption} : QStringList());
        named << c.control;
    }
    // A field added later without a name shows up here.
    for (QWidget* child : window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        const bool field = qobject_cast<QLineEdit*>(child) || qobject_cast<QComboBox*>(child)
                           || qobject_cast<QCheckBox*>(child) || qobject_cast<QAbstractItemView*>(child)
                           || qobject_cast<QAbstractSpinBox*>(child);
        if (field) {
            EXPECT_TRUE(named.contains(child->objectName())) << child->objectName().toStdString();
        }
    }
}

}  // namespace
