#include "barcode/code128_reader.h"

#include "barcode/code128_image.h"
#include "zint_reference.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

QString Chars(int first, int last)
{
    QString text;
    for (int c = first; c <= last; ++c)
        text += QChar(c);
    return text;
}

QString DigitPairs(int first, int last)
{
    QString text;
    for (int pair = first; pair <= last; ++pair)
        text += QString("%1").arg(pair, 2, 10, QChar('0'));
    return text;
}

// Between them every value of every code set, the shifts and switches zint uses,
// and FNC4 single and latched.
const std::vector<QString> kTexts = {
    "2514080003",          // code set C throughout
    "0-12345609",          // a pass number of 1999 in the lane 09
    "-643840012",          //
    "12345",               // odd digits: C and a switch
    DigitPairs(0, 49),     // every value of C
    DigitPairs(50, 99),    //
    Chars(32, 79),         // code set B, values 0 to 47
    Chars(80, 127),        // values 48 to 95, DEL included
    Chars(0, 31) + "AZ",   // code set A, control characters
    "ab\x01" "cd",         // SHIFT from B into A
    "\x01\x02" "a\x03",    // SHIFT from A into B
    "AB1234567890cd\x04",  // C in the middle, then B and A
    QString::fromUtf8("Caf\u00e9 07"),                                   // single FNC4
    QString::fromUtf8("\u00c0\u00c1\u00c2\u00c3\u00c4\u00c5\u00c6x"),    // FNC4 latched
    QString::fromUtf8("\u00ffa\u00e9\u00a0b"),                            // FNC4 here and there
};

struct Geometry {
    bool downThePage;
    int barHeightPx;
    int moduleWidthPx;
};

class ReadCode128Symbol : public testing::TestWithParam<std::tuple<QString, Geometry>> {};

TEST_P(ReadCode128Symbol, ReadsBackTheTextZintEncoded)
{
    const QString& text = std::get<0>(GetParam());
    const Geometry& g = std::get<1>(GetParam());
    const QImage image = MakeCode128Image(text, g.downThePage, g.barHeightPx, g.moduleWidthPx).image;
    EXPECT_EQ(ReadCode128Image(image, g.downThePage, g.moduleWidthPx), std::optional<QString>(text));
    // The same symbol in colours and at 32 bits a pixel reads the same.
    EXPECT_EQ(ReadCode128Image(image.convertToFormat(QImage::Format_RGB32), g.downThePage, g.moduleWidthPx),
              std::optional<QString>(text));
}

INSTANTIATE_TEST_SUITE_P(Texts, ReadCode128Symbol,
                         testing::Combine(testing::ValuesIn(kTexts),
                                          testing::Values(Geometry{true, 280, 4}, Geometry{false, 30, 1},
                                                          Geometry{true, 60, 3})));

// The symbol of "2514080003" down the page, 4 pixels a module: quiet zone 10
// modules, start 11, five data characters 11 each, check 11, stop 13, quiet 10.
constexpr int kModulePx = 4;
constexpr int kFirstDataModule = 10 + 11;

QImage GoodImage() { return MakeCode128Image("2514080003", true, 280, kModulePx).image; }

void FillModules(QImage& image, int firstModule, int modules, bool dark)
{
    QPainter painter(&image);
    painter.fillRect(0, firstModule * kModulePx, image.width(), modules * kModulePx, dark ? Qt::black : Qt::white);
}

void InvertLine(QImage& image, int y)
{
    for (int x = 0; x < image.width(); ++x)
        image.setPixel(x, y, image.pixelIndex(x, y) ^ 1);
}

struct DamageCase {
    const char* name;
    std::function<QImage(QImage)> damage;
    bool downThePage;
    int modulePx;
};

void PrintTo(const DamageCase& c, std::ostream* os) { *os << c.name; }

class ReadCode128Damaged : public testing::TestWithParam<DamageCase> {};

TEST_P(ReadCode128Damaged, IsRefused)
{
    const DamageCase& c = GetParam();
    ASSERT_EQ(ReadCode128Image(GoodImage(), true, kModulePx), std::optional<QString>("2514080003"));
    EXPECT_EQ(ReadCode128Image(c.damage(GoodImage()), c.downThePage, c.modulePx), std::nullopt);
}

QImage SwapDataCharacters(QImage image)
{
    const QImage first = image.copy(0, kFirstDataModule * kModulePx, image.width(), 11 * kModulePx);
    const QImage second = image.copy(0, (kFirstDataModule + 11) * kModulePx, image.width(), 11 * kModulePx);
    QPainter painter(&image);
    painter.drawImage(0, kFirstDataModule * kModulePx, second);
    painter.drawImage(0, (kFirstDataModule + 11) * kModulePx, first);
    return image;
}

QImage Keep(const QImage& image, int topModulesCut, int bottomModulesCut)
{
    return image.copy(0, topModulesCut * kModulePx, image.width(),
                      image.height() - (topModulesCut + bottomModulesCut) * kModulePx);
}

INSTANTIATE_TEST_SUITE_P(
    Damage, ReadCode128Damaged,
    testing::Values(
        DamageCase{"BarOfADataCharacterGone",
                   [](QImage i) { FillModules(i, kFirstDataModule, 1, false); return i; }, true, kModulePx},
        DamageCase{"CheckCharacterSmudged",
                   [](QImage i) { FillModules(i, kFirstDataModule + 5 * 11 + 1, 1, true); return i; }, true,
                   kModulePx},
        DamageCase{"OnePixelLineFlipped", [](QImage i) { InvertLine(i, kFirstDataModule * kModulePx + 2);
                                                          return i; }, true, kModulePx},
        DamageCase{"BarOnePixelWider",
                   [](QImage i) {
                       QPainter(&i).fillRect(0, kFirstDataModule * kModulePx - 1, i.width(), 1, Qt::black);
                       return i;
                   },
                   true, kModulePx},
        DamageCase{"DataCharactersSwapped", SwapDataCharacters, true, kModulePx},
        DamageCase{"BarInTheQuietZone", [](QImage i) { FillModules(i, 4, 1, true); return i; }, true, kModulePx},
        DamageCase{"LeadingQuietZoneCut", [](QImage i) { return Keep(i, 2, 0); }, true, kModulePx},
        DamageCase{"TrailingQuietZoneCut", [](QImage i) { return Keep(i, 0, 1); }, true, kModulePx},
        DamageCase{"StopCut", [](QImage i) { return Keep(i, 0, 12); }, true, kModulePx},
        DamageCase{"AllWhite", [](QImage i) { i.fill(1); return i; }, true, kModulePx},
        DamageCase{"AllBlack", [](QImage i) { i.fill(0); return i; }, true, kModulePx},
        DamageCase{"UpsideDown", [](QImage i) { return i.mirrored(false, true); }, true, kModulePx},
        DamageCase{"ReadAcrossTheBars", [](QImage i) { return i; }, false, kModulePx},
        DamageCase{"ModuleTakenAsHalf", [](QImage i) { return i; }, true, 2},
        DamageCase{"ModuleTakenAsDouble", [](QImage i) { return i; }, true, 8},
        DamageCase{"Empty", [](QImage) { return QImage(); }, true, kModulePx}));

TEST(ReadCode128Function, AnFnc1SymbolIsNotTextOfOurs)
{
    // GS1-128 starts with FNC1; no pass text holds one.
    const QImage gs1 = ZintReferenceImage("[01]12345678901231", true, 280, 4, GS1_MODE);
    ASSERT_FALSE(gs1.isNull());
    EXPECT_EQ(ReadCode128Image(gs1, true, 4), std::nullopt);
}

}  // namespace
