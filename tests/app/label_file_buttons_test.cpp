// Load and Save through the window's buttons and its file dialogs.
#include "app/fontpicker/font_combo_box.h"
#include "support/tools.h"
#include "support/main_window_fixture.h"
#include "support/printed_pdf.h"
#include "labelfile/label_file.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

namespace {


struct EditValue {
    const char* edit;
    const char* text;
};

const EditValue kEdits[] = {
    {"ebxCols", "3"},          {"ebxRows", "7"},          {"ebxAdjust", "-4"},
    {"ebxAdjustCol", "12"},    {"txtFontSize", "1.5"},    {"txtLeftMargin", "0.3"},
    {"txtTop", "0.45"},        {"ebxLine1", "Alpha"},     {"ebxLine2", ""},
    {"ebxLine3", "Gamma x=y"}, {"ebxLine4", "Delta; 4"}, {"ebxLine5", "Epsilon"},
};

struct CheckValue {
    const char* box;
    bool on;
};

const CheckValue kChecks[] = {
    {"chbCentered", true}, {"chkBold1", false}, {"chkBold2", true},
    {"chkBold3", false},   {"chkBold4", true},  {"chkBold5", true},
};

const QString kLane = QStringLiteral("04");
const QString kFace = QStringLiteral("Liberation Serif");

void FillWindow(TfrmMain& window)
{
    for (const EditValue& value : kEdits)
        window.findChild<QLineEdit*>(value.edit)->setText(QString::fromUtf8(value.text));
    for (const CheckValue& value : kChecks)
        window.findChild<QCheckBox*>(value.box)->setChecked(value.on);
    auto* lanes = window.findChild<QComboBox*>("cboType");
    lanes->setCurrentIndex(lanes->findText(kLane));
    auto* fonts = window.findChild<TFontComboBox*>("cboFontName");
    fonts->setCurrentIndex(fonts->findText(kFace));
}

void ExpectFilledWindow(const TfrmMain& window)
{
    for (const EditValue& value : kEdits)
        EXPECT_EQ(window.findChild<QLineEdit*>(value.edit)->text(), QString::fromUtf8(value.text)) << value.edit;
    for (const CheckValue& value : kChecks)
        EXPECT_EQ(window.findChild<QCheckBox*>(value.box)->isChecked(), value.on) << value.box;
    EXPECT_EQ(window.findChild<QComboBox*>("cboType")->currentText(), kLane);
    EXPECT_EQ(window.findChild<TFontComboBox*>("cboFontName")->SelectedFontName(), kFace);
}

void ClickButton(TfrmMain& window, const char* name)
{
    QTest::mouseClick(window.findChild<QWidget*>(name), Qt::LeftButton);
}

TEST_F(MainWindowTest, SaveWritesTheWindowAndLoadRestoresItInAFreshWindow)
{
    QTemporaryDir dir;
    ASSERT_NE(Find<TFontComboBox>("cboFontName")->findText(kFace), -1) << "fonts-liberation is needed";
    FillWindow(*window);
    QString proposed;
    {
        ModalScript script;
        script.Expect("SaveDialog1", ChooseFile(dir.filePath("passes"), &proposed));
        Click("btnSave");
        ExpectEveryDialogAnswered(script);
    }
    EXPECT_FALSE(proposed.endsWith(".lbl")) << "nothing loaded yet, so no file is proposed: "
                                            << proposed.toStdString();
    const QString saved = dir.filePath("passes.lbl");
    ASSERT_TRUE(QFile::exists(saved));
    EXPECT_FALSE(QFile::exists(dir.filePath("passes")));
    EXPECT_TRUE(window->LastLabelFile().isEmpty()) << "a save does not change the file to propose";

    const LabelValues values = LoadLabelFile(saved);
    EXPECT_EQ(values.cols, "3");
    EXPECT_EQ(values.rowAdjust, "-4");
    EXPECT_EQ(values.font, kFace);
    EXPECT_EQ(values.type, kLane);
    EXPECT_TRUE(values.center);
    EXPECT_EQ(values.lines[3], "Delta; 4");
    EXPECT_TRUE(values.bold[4]);

    TfrmMain fresh;
    fresh.show();
    {
        ModalScript script;
        script.Expect("OpenDialog1", ChooseFile(saved));
        ClickButton(fresh, "btnLoad");
        ExpectEveryDialogAnswered(script);
    }
    ExpectFilledWindow(fresh);
    EXPECT_EQ(QDir(fresh.LastLabelFile()).canonicalPath(), QDir(saved).canonicalPath());
    EXPECT_EQ(fresh.passList().GridRowCount(), 2) << "the pass list is not part of a label file";
    EXPECT_TRUE(fresh.findChild<QLineEdit*>("txtPages")->text().isEmpty());
}

TEST_F(MainWindowTest, SaveProposesTheLastFileLoadedWhateverWasSavedSince)
{
    QTemporaryDir dir;
    const QString a = dir.filePath("a.lbl");
    WriteFile(a, "[Barcode]\nCols=2\nRows=5\n");
    {
        ModalScript script;
        script.Expect("OpenDialog1", ChooseFile(a));
        Click("btnLoad");
    }
    EXPECT_EQ(Find<QLineEdit>("ebxCols")->text(), "2");
    for (const char* target : {"b", "c.LbL"}) {
        SCOPED_TRACE(target);
        QString proposed;
        ModalScript script;
        script.Expect("SaveDialog1", ChooseFile(dir.filePath(target), &proposed));
        Click("btnSave");
        EXPECT_EQ(script.Pending(), 0);
        EXPECT_EQ(QFileInfo(proposed).absoluteFilePath(), QFileInfo(a).absoluteFilePath());
    }
    EXPECT_TRUE(QFile::exists(dir.filePath("b.lbl")));
    EXPECT_TRUE(QFile::exists(dir.filePath("c.LbL")));
    EXPECT_FALSE(QFile::exists(dir.filePath("c.LbL.lbl")));
}

TEST_F(MainWindowTest, CancelledDialogsChangeNothing)
{
    QTemporaryDir dir;
    SetText("ebxCols", "6");
    ModalScript script;
    script.Expect("OpenDialog1", RejectDialog()).Expect("SaveDialog1", RejectDialog());
    Click("btnLoad");
    Click("btnSave");
    ExpectEveryDialogAnswered(script);
    EXPECT_EQ(Find<QLineEdit>("ebxCols")->text(), "6");
    EXPECT_TRUE(window->LastLabelFile().isEmpty());
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

struct FontInFile {
    const char* fontLine;
    const char* selected;
};

// Needs fonts-liberation, whose aliases make Arial and the other Windows core
// names entries of the picker.
const FontInFile kFontsInFiles[] = {
    {"Font=Arial", "Arial"},
    {"Font=arial", "Arial"},
    {"Font=Times New Roman", "Times New Roman"},
    {"Font=NoSuchFace", ""},
    {"Font=Tahoma", ""},     // no face bound to it here
    {"Font=Helvetica", ""},  // drawn in Nimbus Sans, but not an entry
    {"Font=LIBERATION SERIF", "Liberation Serif"},
    {"Font=Nimbus Sans [urw]", ""},
    {"", "Arial"},  // no key: the default, Arial
};

TEST_F(MainWindowTest, TheFileFontSelectsItsEntryOrClears)
{
    QTemporaryDir dir;
    auto* fonts = Find<TFontComboBox>("cboFontName");
    for (const FontInFile& row : kFontsInFiles) {
        SCOPED_TRACE(row.fontLine);
        fonts->setCurrentIndex(fonts->findText("Liberation Mono"));
        const QString path = dir.filePath("font.lbl");
        WriteFile(path, QByteArray("[Barcode]\n") + row.fontLine + "\n");
        ModalScript script;
        script.Expect("OpenDialog1", ChooseFile(path));
        Click("btnLoad");
        EXPECT_EQ(script.Pending(), 0);
        EXPECT_EQ(fonts->SelectedFontName(), QString::fromUtf8(row.selected));
        EXPECT_EQ(fonts->currentIndex() == -1, *row.selected == '\0');
    }
}

TEST_F(MainWindowTest, HeadingsPrintInTheFaceOfTheLoadedFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("arial.lbl");
    WriteFile(path, "[Barcode]\nCols=2\nRows=2\nFont=Arial\nFontSize=1.0\nmargin=0.25\ntop=0.5\n"
                         "Line 1=HEADING ONE\nLine 3=HEADING THREE\nBold 3=1\n");
    ModalScript script;
    script.Expect("OpenDialog1", ChooseFile(path));
    Click("btnLoad");
    ASSERT_EQ(Find<TFontComboBox>("cboFontName")->SelectedFontName(), "Arial");
    AddRow("06", QDate(2026, 9, 1), "4");
    const QString pdf = dir.filePath("arial.pdf");
    PrintTo(pdf, script);
    EXPECT_TRUE(script.Unexpected().isEmpty()) << Joined(script.Unexpected());
    ASSERT_EQ(PdfPageCount(pdf), 1);
    const QStringList fonts = PdfFontNames(pdf);
    ASSERT_FALSE(fonts.isEmpty());
    for (const QString& font : fonts) {
        EXPECT_TRUE(font.contains("LiberationSans")) << Joined(fonts);
        EXPECT_FALSE(font.contains("Mono")) << Joined(fonts);
    }
    EXPECT_TRUE(fonts.join(' ').contains("Bold")) << "line 3 is bold: " << Joined(fonts);
    QStringList expected = ExpectedBarcodes(window->passList().EntryRow(1), 0, 4);
    expected.sort();
    EXPECT_EQ(Joined(ScanPdfPage(pdf, 1, dir.path())), Joined(expected));
}

// A file made on Windows, as its program writes it: CRLF, every key, Arial.
const QByteArray kWindowsFile =
    "[Barcode]\r\nCols=3\r\nRows=18\r\nRowAdjust=-2\r\nColAdjust=1\r\nFont=Arial\r\nFontSize=1.5\r\n"
    "Type=07\r\nCenter=1\r\nmargin=0.25\r\ntop=0.5\r\nLine 1=Caf\xE9 Lanes\r\nLine 2=\"  Adult pass  \"\r\n"
    "Line 3=\r\nLine 4=Valid one day\r\nLine 5=\r\nBold 1=1\r\nBold 2=0\r\nBold 3=0\r\nBold 4=1\r\nBold 5=0\r\n"
    "\r\n[Printer]\r\nName=Front desk\r\n";

QByteArray Utf16LittleEndian(const QByteArray& latin1)
{
    const QString text = QString::fromLatin1(latin1);
    return QByteArray("\xFF\xFE", 2)
           + QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

struct RoundTripCase {
    const char* what;
    QByteArray bytes;
};

// Loading a file and saving it back over itself changes not one byte.
TEST_F(MainWindowTest, ALoadedWindowsFileSavesBackByteForByte)
{
    const RoundTripCase cases[] = {
        {"Windows-1252", kWindowsFile},
        {"UTF-16, as Notepad's Unicode", Utf16LittleEndian(kWindowsFile)},
    };
    for (const RoundTripCase& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString path = dir.filePath("windows.lbl");
        WriteFile(path, c.bytes);
        ModalScript script;
        script.Expect("OpenDialog1", ChooseFile(path)).Expect("SaveDialog1", ChooseFile(path));
        Click("btnLoad");
        EXPECT_EQ(Find<TFontComboBox>("cboFontName")->SelectedFontName(), "Arial");
        EXPECT_EQ(Find<QLineEdit>("ebxLine1")->text(), QString::fromUtf8("Caf\xC3\xA9 Lanes"));
        EXPECT_EQ(Find<QLineEdit>("ebxLine2")->text(), "  Adult pass  ");
        EXPECT_EQ(Find<QComboBox>("cboType")->currentText(), "07");
        EXPECT_TRUE(Find<QCheckBox>("chkBold4")->isChecked());
        Click("btnSave");
        ExpectEveryDialogAnswered(script);
        QFile saved(path);
        ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
        EXPECT_EQ(saved.readAll(), c.bytes);
    }
}

}  // namespace
