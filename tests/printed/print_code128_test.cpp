#include "barcode/print_code128.h"

#include "barcode_image_probe.h"
#include "common/tessary_error.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTransform>
#include <gtest/gtest.h>

namespace {

constexpr int kQuietZoneModules = 10;
const std::vector<int> kStopModules = {2, 3, 3, 1, 1, 1, 2};

struct SymbolCase {
    const char* text;
    int expectedSymbolModules;  // start to stop inclusive, quiet zones left out
};

class PrintCode128Symbol : public testing::TestWithParam<SymbolCase> {
protected:
    QTemporaryDir dir_;
    QString path_ = dir_.filePath("code128.bmp");
};

TEST_P(PrintCode128Symbol, WritesA300PpiBmpThatScansToTheTextAndRunsDownThePage)
{
    const SymbolCase& c = GetParam();
    ASSERT_EQ(PrintCode128(path_, 3, 280, 4, c.text), 0);

    QFile file(path_);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(2), QByteArray("BM"));
    file.close();

    const ZbarResult scan = ScanWithZbarimg(path_);
    EXPECT_EQ(scan.exitCode, 0);
    EXPECT_EQ(scan.text, QString(c.text));

    QImage image(path_);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.dotsPerMeterX(), 11811);  // 300 per inch
    EXPECT_EQ(image.dotsPerMeterY(), 11811);
    // Bars 280 pixels long across the image, modules of 4 pixels down it.
    EXPECT_EQ(image.width(), 280);
    EXPECT_EQ(image.height(), (c.expectedSymbolModules + 2 * kQuietZoneModules) * 4);
    for (int y = 0; y < image.height(); ++y) {
        int blackInRow = 0;
        for (int x = 0; x < image.width(); ++x)
            blackInRow += IsBlackAt(image, x, y);
        ASSERT_TRUE(blackInRow == 0 || blackInRow == image.width()) << "row " << y;
    }

    const std::vector<PixelRun> runs = RunsDownColumn(image, image.width() / 2);
    ASSERT_GE(runs.size(), 3u);
    EXPECT_FALSE(runs.front().black);
    EXPECT_EQ(runs.front().lengthPx, kQuietZoneModules * 4);
    EXPECT_FALSE(runs.back().black);
    EXPECT_EQ(runs.back().lengthPx, kQuietZoneModules * 4);

    const std::vector<int> modules = ModulesBetweenQuietZones(runs, 4);
    ASSERT_FALSE(modules.empty()) << "a bar or space is not a whole number of 4-pixel modules";
    EXPECT_EQ(*std::min_element(modules.begin(), modules.end()), 1);
    int total = 0;
    for (int m : modules)
        total += m;
    EXPECT_EQ(total, c.expectedSymbolModules);
    // Every start character begins 2-1-1 and the stop ends the symbol, so the
    // start sits at the top of the page.
    ASSERT_GE(modules.size(), 3 + kStopModules.size());
    EXPECT_EQ(std::vector<int>(modules.begin(), modules.begin() + 3), (std::vector<int>{2, 1, 1}));
    EXPECT_EQ(std::vector<int>(modules.end() - long(kStopModules.size()), modules.end()), kStopModules);
}

INSTANTIATE_TEST_SUITE_P(Texts, PrintCode128Symbol,
                         testing::Values(SymbolCase{"2514080003", 90},  // code set C throughout
                                         SymbolCase{"1153600009", 90},
                                         SymbolCase{"0-12345609", 112},
                                         SymbolCase{"Lane 07", 112}));

struct GeometryCase {
    int option;
    int barHeightPx;
    int moduleWidthPx;
    int expectedWidthPx;
    int expectedHeightPx;
};

class PrintCode128Geometry : public testing::TestWithParam<GeometryCase> {};

TEST_P(PrintCode128Geometry, BarLengthAndModuleFollowTheArguments)
{
    const GeometryCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath("code128.bmp");
    ASSERT_EQ(PrintCode128(path, c.option, c.barHeightPx, c.moduleWidthPx, "2514080003"), 0);
    QImage image(path);
    EXPECT_EQ(image.width(), c.expectedWidthPx);
    EXPECT_EQ(image.height(), c.expectedHeightPx);
    // Seen the way it runs down the page, the narrowest bar is one module.
    const QImage downThePage = c.option == 3 ? image : image.transformed(QTransform().rotate(90));
    const std::vector<int> modules =
        ModulesBetweenQuietZones(RunsDownColumn(downThePage, downThePage.width() / 2), c.moduleWidthPx);
    ASSERT_FALSE(modules.empty());
    EXPECT_EQ(*std::min_element(modules.begin(), modules.end()), 1);
    EXPECT_EQ(ScanWithZbarimg(path).text, QString("2514080003"));
}

INSTANTIATE_TEST_SUITE_P(Arguments, PrintCode128Geometry,
                         testing::Values(GeometryCase{3, 280, 4, 280, 440},
                                         GeometryCase{3, 140, 2, 140, 220},
                                         GeometryCase{3, 280, 2, 280, 220},
                                         GeometryCase{0, 280, 4, 440, 280}));  // left to right

struct RefusedCase {
    QString text;
    const char* zintMessagePart;
};

class PrintCode128Refused : public testing::TestWithParam<RefusedCase> {};

TEST_P(PrintCode128Refused, ThrowsZintsMessageAndLeavesNoEarlierBarcode)
{
    const RefusedCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath("code128.bmp");
    ASSERT_EQ(PrintCode128(path, 3, 280, 4, "2514080003"), 0);
    ASSERT_TRUE(QFile::exists(path));
    try {
        PrintCode128(path, 3, 280, 4, c.text);
        FAIL() << "no error for " << c.text.toStdString();
    } catch (const TessaryError& e) {
        EXPECT_TRUE(e.text().startsWith("Error ")) << e.what();
        EXPECT_TRUE(e.text().contains(c.zintMessagePart)) << e.what();
    }
    EXPECT_FALSE(QFile::exists(path));
}

INSTANTIATE_TEST_SUITE_P(Texts, PrintCode128Refused,
                         testing::Values(RefusedCase{QString::fromUtf8("2514\u20ac0003"), "Invalid character"},
                                         RefusedCase{QString(300, '1'), "Input too long"},
                                         RefusedCase{QString(161, 'A'), "Input too long"},
                                         RefusedCase{QString(), "No input data"}));

TEST(PrintCode128File, UnwritablePlaceIsReported)
{
    const QString path = "/nonexistent-tessary-folder/code128.bmp";
    try {
        PrintCode128(path, 3, 280, 4, "2514080003");
        FAIL() << "no error";
    } catch (const TessaryError& e) {
        EXPECT_EQ(e.text(), "Cannot create file " + path);
    }
}

TEST(PrintCode128Latin1, AccentedLetterIsEncodedNotRefused)
{
    // Code 128 reaches Latin-1 through FNC4, one extra character of 11 modules.
    // (zbarimg ignores FNC4 and would read "i", so the width tells instead.)
    QTemporaryDir dir;
    const QString plain = dir.filePath("plain.bmp");
    const QString accented = dir.filePath("accented.bmp");
    ASSERT_EQ(PrintCode128(plain, 3, 280, 4, "Cafe 07"), 0);
    EXPECT_EQ(PrintCode128(accented, 3, 280, 4, QString::fromUtf8("Caf\u00e9 07")), 0);
    EXPECT_EQ(QImage(accented).height() - QImage(plain).height(), 11 * 4);
}

}  // namespace
