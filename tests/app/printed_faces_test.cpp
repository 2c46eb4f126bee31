// The heading face chosen in the picker is the face the PDF carries (pdffonts):
// a Windows name prints in the metric-compatible face fontconfig binds to it,
// and a family from several foundries prints in its regular face.
#include "app/fontpicker/font_combo_box.h"
#include "support/tools.h"
#include "support/main_window_fixture.h"
#include "support/printed_pdf.h"

#include <QCheckBox>
#include <QTemporaryDir>

namespace {


// pdffonts names a subset "ABCDEF+Family-Style"; the family and style part.
QStringList FaceNames(const QStringList& pdfFonts)
{
    QStringList names;
    for (const QString& font : pdfFonts)
        names << font.section(QLatin1Char('+'), -1);
    return names;
}

bool IsBoldName(const QString& name) { return name.contains("Bold") || name.contains("Demi"); }
bool IsSlantedName(const QString& name) { return name.contains("Italic") || name.contains("Oblique"); }

struct PrintedFaceCase {
    const char* entry;
    const char* face; // PostScript family prefix of the face printed
    bool hasBold;     // the face comes with a bold style of its own
};

// Needs fonts-liberation and fonts-urw-base35.
const PrintedFaceCase kPrintedFaces[] = {
    {"Arial", "LiberationSans", true},
    {"Arial Narrow", "LiberationSansNarrow", true},
    {"Times New Roman", "LiberationSerif", true},
    {"Courier New", "LiberationMono", true},
    {"Palatino Linotype", "P052", true},
    {"Bookman Old Style", "URWBookman", true},
    {"Century Schoolbook", "C059", true},
    {"Symbol", "StandardSymbolsPS", false},
    {"Nimbus Sans", "NimbusSans", true},  // one foundry of it has only italics
    {"C059", "C059", true},
};

TEST_F(MainWindowTest, EveryWindowsNameEntryPrintsInItsBoundFace)
{
    auto* fonts = Find<TFontComboBox>("cboFontName");
    QStringList expectedEntries;
    for (const PrintedFaceCase& c : kPrintedFaces)
        expectedEntries << c.entry;
    // Every Windows name the picker lists on this machine must be in the table.
    for (const QString& name : CommonWindowsFaceNames()) {
        if (fonts->findText(name, Qt::MatchFixedString) >= 0) {
            EXPECT_TRUE(expectedEntries.contains(name)) << name.toStdString() << " is listed but not checked";
        }
    }

    SetSheet("1", "1");
    for (int n = 1; n <= 5; ++n) {
        SetText(qPrintable(QStringLiteral("ebxLine%1").arg(n)), QStringLiteral("HEADING %1").arg(n));
        Find<QCheckBox>(qPrintable(QStringLiteral("chkBold%1").arg(n)))->setChecked(true);
    }
    AddRow("03", QDate(2026, 5, 4), "1");
    for (const PrintedFaceCase& c : kPrintedFaces) {
        SCOPED_TRACE(c.entry);
        fonts->SelectFontByName(c.entry);
        ASSERT_EQ(fonts->SelectedFontName(), QString::fromUtf8(c.entry)) << "not an entry of the picker";
        QTemporaryDir dir;
        const QString pdf = dir.filePath("face.pdf");
        ModalScript script;
        PrintTo(pdf, script);
        ASSERT_EQ(PdfPageCount(pdf), 1);
        const QStringList names = FaceNames(PdfFontNames(pdf));
        const QString face = QString::fromUtf8(c.face);
        // Bold headings, and the "Valid: " line in the same face, not bold.
        bool bold = false, regular = false;
        for (const QString& name : names) {
            if (!name.startsWith(face + "-") && name != face)
                continue;
            EXPECT_FALSE(IsSlantedName(name)) << Joined(names);
            bold = bold || IsBoldName(name);
            regular = regular || !IsBoldName(name);
        }
        EXPECT_EQ(bold, c.hasBold) << Joined(names);
        EXPECT_TRUE(regular) << Joined(names);
    }
}

}  // namespace
