// What a screen reader says for each control of the window: every field is the
// buddy of the caption beside it and carries a name of its own. Neither
// changes a pixel: the captions have no mnemonic, the names are not drawn.
#include "app/tfrm_main.h"

#include "app/fontpicker/font_combo_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>

void TfrmMain::NameControlsForAssistiveTools()
{
    struct Naming {
        const char* caption;  // the caption's object name; nullptr for a field without one
        QWidget* field;
        QString name;
    };
    std::vector<Naming> namings = {
        {"Label11", txtLeftMargin, QStringLiteral("Left margin, inches")},
        {"Label6", txtTop, QStringLiteral("Top margin, inches")},
        {"Label24", ebxAdjust, QStringLiteral("Row pixels adjustment")},
        {"Label28", ebxAdjustCol, QStringLiteral("Column pixels adjustment")},
        {"Label1", ebxCols, QStringLiteral("Passes across")},
        {"Label4", ebxRows, QStringLiteral("Passes down")},
        {"Label25", cboFontName, QStringLiteral("Font")},
        {"Label29", txtFontSize, QStringLiteral("Font size")},
        {nullptr, chbCentered, QStringLiteral("Center")},
        {"Label26", cboType, QStringLiteral("Lane")},
        {"Label27", dtpDate, QStringLiteral("Valid on")},
        {"Label5", txtQty, QStringLiteral("Quantity")},
        {"Label8", txtPages, QStringLiteral("Pages")},
        {"Label2", grdList, QStringLiteral("Pass list")},
    };
    for (int n = 0; n < kHeadingLineCount; ++n) {
        static const char* const lineCaptions[kHeadingLineCount] = {"Label13", "Label14", "Label15", "Label16",
                                                                    "Label17"};
        namings.push_back({lineCaptions[n], ebxLine[n], QStringLiteral("Line %1").arg(n + 1)});
        namings.push_back({nullptr, chkBold[n], QStringLiteral("Bold, line %1").arg(n + 1)});
    }
    for (const Naming& naming : namings) {
        naming.field->setAccessibleName(naming.name);
        if (!naming.caption)
            continue;
        auto* caption = findChild<QLabel*>(QLatin1String(naming.caption), Qt::FindDirectChildrenOnly);
        Q_ASSERT(caption);
        if (caption)
            caption->setBuddy(naming.field);
    }
}
