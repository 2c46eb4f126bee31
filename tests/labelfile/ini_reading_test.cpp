#include "labelfile/ini_document.h"

#include <gtest/gtest.h>

namespace {

struct ReadCase {
    const char* name;
    QByteArray file;
    const char* section;
    const char* key;
    QString expected;
};

const QString kDefault = "<default>";

const ReadCase kReadCases[] = {
    {"plain", "[Barcode]\r\nCols=3\r\n", "Barcode", "Cols", "3"},
    {"section name case", "[BARCODE]\r\nCols=3\r\n", "barcode", "Cols", "3"},
    {"key name case", "[Barcode]\r\ncOLS=3\r\n", "Barcode", "Cols", "3"},
    {"blanks around names", "  [  Barcode  ]  \n \t Line 1 \t= x\n", "Barcode", "Line 1", "x"},
    {"blanks around value", "[Barcode]\nLine 1=  \t a b \t \n", "Barcode", "Line 1", "a b"},
    {"double quotes", "[Barcode]\nLine 1=\"  a  \"\n", "Barcode", "Line 1", "  a  "},
    {"single quotes", "[Barcode]\nLine 1='b'\n", "Barcode", "Line 1", "b"},
    {"only one pair of quotes", "[Barcode]\nLine 1=\"\"c\"\"\n", "Barcode", "Line 1", "\"c\""},
    {"unmatched quotes kept", "[Barcode]\nLine 1=\"d'\n", "Barcode", "Line 1", "\"d'"},
    {"a lone quote kept", "[Barcode]\nLine 1=\"\n", "Barcode", "Line 1", "\""},
    {"empty quotes", "[Barcode]\nLine 1=\"\"\n", "Barcode", "Line 1", ""},
    {"empty value", "[Barcode]\nLine 1=\n", "Barcode", "Line 1", ""},
    {"equals in value", "[Barcode]\nLine 1=a=b\n", "Barcode", "Line 1", "a=b"},
    {"comment line", "[Barcode]\n;Cols=9\nCols=3\n", "Barcode", "Cols", "3"},
    {"commented out only", "[Barcode]\n  ;Cols=9\n", "Barcode", "Cols", kDefault},
    {"first section wins", "[Barcode]\nRows=1\n[barcode]\nRows=2\nCols=5\n", "Barcode", "Cols", kDefault},
    {"first key wins", "[Barcode]\nCols=1\ncols=2\n", "Barcode", "Cols", "1"},
    {"key of another section", "[Other]\nCols=1\n[Barcode]\nRows=2\n", "Barcode", "Cols", kDefault},
    {"key before any section", "Cols=1\n[Barcode]\n", "Barcode", "Cols", kDefault},
    {"missing section", "[Other]\nCols=1\n", "Barcode", "Cols", kDefault},
    {"empty file", "", "Barcode", "Cols", kDefault},
    {"LF line ends", "[Barcode]\nRows=1\nCols=2\n", "Barcode", "Cols", "2"},
    {"CR line ends", "[Barcode]\rRows=1\rCols=2\r", "Barcode", "Cols", "2"},
    {"no final line end", "[Barcode]\r\nCols=2", "Barcode", "Cols", "2"},
    {"byte order mark", "\xEF\xBB\xBF[Barcode]\nCols=2\n", "Barcode", "Cols", "2"},
    {"line without equals", "[Barcode]\nCols\nCols=4\n", "Barcode", "Cols", "4"},
    {"section without bracket", "[Barcode\nCols=4\n", "Barcode", "Cols", "4"},
    {"name with other text", "[Barcode2]\nCols=4\n", "Barcode", "Cols", kDefault},
    {"NUL in value", QByteArray("[Barcode]\nLine 1=a\0b\n", 20), "Barcode", "Line 1", QString("a") + QChar(0) + QString("b")},
    {"U+FEFF at the start of a value", "[Barcode]\nLine 1=\xEF\xBB\xBFx\n", "Barcode", "Line 1", QString(QChar(0xFEFF)) + "x"},
    {"UTF-8 text", "[Barcode]\nLine 1=Caf\xC3\xA9 \xE2\x82\xAC\n", "Barcode", "Line 1", QString::fromUtf8("Caf\xC3\xA9 \xE2\x82\xAC")},
    {"Windows-1252 text", "[Barcode]\nLine 1=Caf\xE9 \x80 \x81\n", "Barcode", "Line 1", QString::fromUtf8("Caf\xC3\xA9 \xE2\x82\xAC \xC2\x81")},
};

void PrintTo(const ReadCase& c, std::ostream* out) { *out << c.name; }

class IniRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(IniRead, GivesTheValueOrTheDefault)
{
    const ReadCase& c = GetParam();
    const IniDocument document = IniDocument::fromBytes(c.file);
    EXPECT_EQ(document.value(c.section, c.key, kDefault), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Table, IniRead, ::testing::ValuesIn(kReadCases));

struct LengthCase {
    qsizetype stored;
    qsizetype expected;
};

class IniValueLength : public ::testing::TestWithParam<LengthCase> {};

TEST_P(IniValueLength, IsCutAfter2047Characters)
{
    const LengthCase c = GetParam();
    QByteArray stored;
    for (qsizetype i = 0; i < c.stored; ++i)
        stored.append(char('a' + i % 26));
    const IniDocument document = IniDocument::fromBytes("[Barcode]\nLine 1=" + stored + "\n");
    const QString value = document.value("Barcode", "Line 1", kDefault);
    EXPECT_EQ(value.size(), c.expected);
    EXPECT_EQ(value, QString::fromLatin1(stored.left(c.expected)));
}

INSTANTIATE_TEST_SUITE_P(Table, IniValueLength,
    ::testing::Values(LengthCase{2046, 2046}, LengthCase{2047, 2047}, LengthCase{2048, 2047},
                      LengthCase{10000, 2047}));

TEST(IniValueLength, CutsTheCharactersNotTheBytes)
{
    // Each "é" is two bytes in UTF-8; the limit counts characters.
    QByteArray stored;
    for (int i = 0; i < 3000; ++i)
        stored.append("\xC3\xA9");
    const IniDocument document = IniDocument::fromBytes("[Barcode]\nLine 1=" + stored + "\n");
    EXPECT_EQ(document.value("Barcode", "Line 1", kDefault), QString(2047, QChar(0xE9)));
}

} // namespace
