// Label files saved by Notepad as "Unicode": UTF-16 with a byte order mark.
#include "labelfile/ini_document.h"
#include "labelfile/label_file.h"

#include "label_test_files.h"

#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray Utf16File(const QString& text, TextEncoding order)
{
    const bool little = order == TextEncoding::Utf16LittleEndian;
    QStringEncoder encoder(little ? QStringEncoder::Utf16LE : QStringEncoder::Utf16BE);
    return (little ? QByteArray("\xFF\xFE", 2) : QByteArray("\xFE\xFF", 2)) + QByteArray(encoder.encode(text));
}

const QString kWindowsText = QString::fromUtf8(
    "; written on Windows\r\n"
    "[Other]\r\n"
    "Name=\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xE2\x82\xAC \xF0\x9F\x8E\xAB\r\n"
    "\r\n"
    "[Barcode]\r\n"
    "Cols=3\r\n"
    "Rows=18\r\n"
    "Font=Arial\r\n"
    "Type=07\r\n"
    "Center=1\r\n"
    "Line 1=Caf\xC3\xA9 \xCE\xA9 Lanes\r\n"
    "Bold 4=1\r\n"
    "\r\n"
    "[Tail]\r\n"
    "x=1\r\n");

struct Utf16Case {
    const char* name;
    TextEncoding order;
    QByteArray tail; // bytes after the last whole UTF-16 unit
};

class Utf16LabelFile : public ::testing::TestWithParam<Utf16Case> {};

TEST_P(Utf16LabelFile, LoadsAndSavesBackInUtf16WithOtherSectionsKept)
{
    const Utf16Case& c = GetParam();
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.path() + "/unicode.lbl";
    const QByteArray original = Utf16File(kWindowsText, c.order) + c.tail;
    ASSERT_TRUE(WriteBytes(path, original));

    LabelValues values = LoadLabelFile(path);
    EXPECT_EQ(values.cols, "3") << c.name;
    EXPECT_EQ(values.rows, "18") << c.name;
    EXPECT_EQ(values.font, "Arial") << c.name;
    EXPECT_EQ(values.type, "07") << c.name;
    EXPECT_TRUE(values.center) << c.name;
    EXPECT_EQ(values.lines[0], QString::fromUtf8("Caf\xC3\xA9 \xCE\xA9 Lanes")) << c.name;
    EXPECT_TRUE(values.bold[3]) << c.name;
    EXPECT_EQ(values.rowAdjust, "0") << "missing key gives its default: " << c.name;

    // Saving what was loaded changes nothing but the keys the file lacked.
    values.cols = "5";
    values.lines[1] = QString::fromUtf8("Zw\xC3\xB6lf \xF0\x9F\x8E\xAB");
    SaveLabelFile(path, values);
    const QByteArray saved = ReadBytes(path);
    ASSERT_TRUE(saved.startsWith(original.left(2))) << "byte order mark kept: " << c.name;
    EXPECT_TRUE(saved.endsWith(c.tail)) << c.name;
    const IniDocument reread = IniDocument::fromBytes(saved);
    EXPECT_EQ(reread.encoding(), c.order) << c.name;
    EXPECT_EQ(reread.value("Other", "Name", "<none>"), QString::fromUtf8("\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xE2\x82\xAC \xF0\x9F\x8E\xAB"))
        << c.name;
    EXPECT_EQ(reread.value("Tail", "x", "<none>"), "1") << c.name;

    QString expectedText = kWindowsText;
    expectedText.replace("Cols=3\r\n", "Cols=5\r\n");
    expectedText.replace(QString::fromUtf8("Bold 4=1\r\n"),
                         QString::fromUtf8("Bold 4=1\r\nRowAdjust=0\r\nColAdjust=0\r\nFontSize=1.0\r\nmargin=\r\n"
                                           "top=\r\nLine 2=Zw\xC3\xB6lf \xF0\x9F\x8E\xAB\r\nLine 3=\r\nLine 4=\r\n"
                                           "Line 5=\r\nBold 1=0\r\nBold 2=0\r\nBold 3=0\r\nBold 5=0\r\n"));
    EXPECT_EQ(saved, Utf16File(expectedText, c.order) + c.tail) << c.name;

    // Load, save, load: the same values, and a second save is byte for byte the first.
    const LabelValues again = LoadLabelFile(path);
    EXPECT_EQ(again.cols, "5") << c.name;
    EXPECT_EQ(again.lines[1], values.lines[1]) << c.name;
    SaveLabelFile(path, again);
    EXPECT_EQ(ReadBytes(path), saved) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Table, Utf16LabelFile,
                         ::testing::Values(Utf16Case{"little endian", TextEncoding::Utf16LittleEndian, {}},
                                           Utf16Case{"big endian", TextEncoding::Utf16BigEndian, {}},
                                           Utf16Case{"odd last byte", TextEncoding::Utf16LittleEndian, "\x0A"}));

TEST(Utf16LabelFile, ReadsNotepadBytes)
{
    // "[Barcode]\r\nCols=2\r\n" exactly as Notepad's "Unicode" writes it.
    const QByteArray bytes("\xFF\xFE[\0B\0a\0r\0c\0o\0d\0e\0]\0\r\0\n\0C\0o\0l\0s\0=\0" "2\0\r\0\n\0", 40);
    const IniDocument document = IniDocument::fromBytes(bytes);
    EXPECT_EQ(document.encoding(), TextEncoding::Utf16LittleEndian);
    EXPECT_EQ(document.value("barcode", "COLS", "<none>"), "2");
    EXPECT_EQ(document.bytes(), bytes);
}

} // namespace
