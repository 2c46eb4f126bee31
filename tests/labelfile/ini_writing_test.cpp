#include "labelfile/ini_document.h"

#include <gtest/gtest.h>

namespace {

struct WriteCase {
    const char* name;
    QByteArray before;
    const char* key;
    QString value;
    QByteArray after;
};

const WriteCase kWriteCases[] = {
    {"new file", "", "Cols", "4", "[Barcode]\r\nCols=4\r\n"},
    {"replace keeps the name part", "[Barcode]\r\n  cols = 3 \r\nRows=1\r\n", "Cols", "4",
     "[Barcode]\r\n  cols =4\r\nRows=1\r\n"},
    {"same value leaves the line", "[Barcode]\r\nCols = \"4\"\r\n", "Cols", "4", "[Barcode]\r\nCols = \"4\"\r\n"},
    {"append at end of section", "[Barcode]\r\nRows=1\r\n\r\n[Other]\r\nx=1\r\n", "Cols", "4",
     "[Barcode]\r\nRows=1\r\nCols=4\r\n\r\n[Other]\r\nx=1\r\n"},
    {"append after a trailing comment", "[Barcode]\nRows=1\n; end\n\n[Other]\n", "Cols", "4",
     "[Barcode]\nRows=1\n; end\nCols=4\n\n[Other]\n"},
    {"append to last section without line end", "[Barcode]\nRows=1", "Cols", "4", "[Barcode]\nRows=1\nCols=4"},
    {"append section, LF file", "[Other]\nx=1\n", "Cols", "4", "[Other]\nx=1\n[Barcode]\nCols=4\n"},
    {"append section, CR file", "[Other]\rx=1\r", "Cols", "4", "[Other]\rx=1\r[Barcode]\rCols=4\r"},
    {"append section, no final line end", "[Other]\r\nx=1", "Cols", "4", "[Other]\r\nx=1\r\n[Barcode]\r\nCols=4\r\n"},
    {"append section, one line no line end", "; notes", "Cols", "4", "; notes\r\n[Barcode]\r\nCols=4\r\n"},
    {"only the first duplicate section", "[barcode]\nRows=1\n[Barcode]\nCols=1\n", "Cols", "4",
     "[barcode]\nRows=1\nCols=4\n[Barcode]\nCols=1\n"},
    {"only the first duplicate key", "[Barcode]\nCols=1\nCols=2\n", "Cols", "4", "[Barcode]\nCols=4\nCols=2\n"},
    {"commented key stays", "[Barcode]\n;Cols=1\n", "Cols", "4", "[Barcode]\n;Cols=1\nCols=4\n"},
    {"leading blanks quoted", "", "Line 1", "  \"VIP\"  ", "[Barcode]\r\nLine 1=\"  \"VIP\"  \"\r\n"},
    {"outer quotes quoted", "", "Line 1", "'x'", "[Barcode]\r\nLine 1=\"'x'\"\r\n"},
    {"inner quotes as they stand", "", "Line 1", "a \"b\"", "[Barcode]\r\nLine 1=a \"b\"\r\n"},
    {"line breaks become blanks", "", "Line 1", "a\r\nb", "[Barcode]\r\nLine 1=a  b\r\n"},
    {"byte order mark kept", "\xEF\xBB\xBF[Barcode]\nCols=1\n", "Cols", "4", "\xEF\xBB\xBF[Barcode]\nCols=4\n"},
    {"UTF-8 out", "", "Line 1", QString::fromUtf8("\xC3\xA9\xE2\x82\xAC"), "[Barcode]\r\nLine 1=\xC3\xA9\xE2\x82\xAC\r\n"},
    {"Windows-1252 stays when it can", "[Barcode]\r\nLine 1=\xE9\r\nLine 2=x\r\n", "Line 2",
     QString::fromUtf8("\xE2\x82\xAC\xC3\xBC"), "[Barcode]\r\nLine 1=\xE9\r\nLine 2=\x80\xFC\r\n"},
    {"Windows-1252 turns UTF-8 for other text", "[Barcode]\r\nLine 1=\xE9\r\nLine 2=x\r\n", "Line 2",
     QString::fromUtf8("\xCE\xA9"), "[Barcode]\r\nLine 1=\xC3\xA9\r\nLine 2=\xCE\xA9\r\n"},
};

void PrintTo(const WriteCase& c, std::ostream* out) { *out << c.name; }

class IniWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(IniWrite, ChangesOnlyTheKeyLine)
{
    const WriteCase& c = GetParam();
    IniDocument document = IniDocument::fromBytes(c.before);
    document.setValue("Barcode", c.key, c.value);
    EXPECT_EQ(document.bytes(), c.after) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Table, IniWrite, ::testing::ValuesIn(kWriteCases));

// Values that only survive the read rules because the writer quotes them.
const char* const kRoundTripValues[] = {
    "  \"VIP\"  ", "\"VIP\"", "'VIP'", "\"", "'", "\"\"", " ", "\t", "", "a\"", "\"a", ";x", "[x]", "=", "a=b",
    "'a\"", " a", "a ", "\xEF\xBB\xBFx", "Caf\xC3\xA9 \xE2\x82\xAC \xCE\xA9",
};

class IniRoundTrip : public ::testing::TestWithParam<const char*> {};

TEST_P(IniRoundTrip, ReadsBackAsWritten)
{
    const QString value = QString::fromUtf8(GetParam());
    for (const QByteArray& before : {QByteArray(), QByteArray("[Barcode]\r\nLine 1=old\r\n")}) {
        IniDocument document = IniDocument::fromBytes(before);
        document.setValue("Barcode", "Line 1", value);
        const IniDocument reread = IniDocument::fromBytes(document.bytes());
        EXPECT_EQ(reread.value("Barcode", "Line 1", "<default>"), value) << document.bytes().constData();
    }
}

INSTANTIATE_TEST_SUITE_P(Table, IniRoundTrip, ::testing::ValuesIn(kRoundTripValues));

TEST(IniWrite, SeveralKeysKeepTheirOrderInANewSection)
{
    IniDocument document = IniDocument::fromBytes("[Other]\r\nx=1\r\n");
    document.setValue("Barcode", "Cols", "4");
    document.setValue("Barcode", "Rows", "20");
    document.setValue("Barcode", "Cols", "5");
    EXPECT_EQ(document.bytes(), QByteArray("[Other]\r\nx=1\r\n[Barcode]\r\nCols=5\r\nRows=20\r\n"));
}

} // namespace
