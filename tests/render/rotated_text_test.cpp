#include "draw/rotated_text.h"
#include "support/recording_surface.h"

#include <gtest/gtest.h>

namespace {

FontRecord SurfaceFont()
{
    FontRecord f;
    f.heightPx = 33;
    f.weight = 400;
    f.italic = true;
    f.charSet = 0;
    f.quality = 2;
    f.faceName = QStringLiteral("Surface Face");
    return f;
}

TEST(RotatedText, FontIsTheSurfaceFontWithTheCallsFields)
{
    RecordingSurface surface;
    surface.setFont(SurfaceFont());
    DrawRotatedText(surface, "Line", 500, 100, 270, 85, true, false, 575, "Liberation Sans");

    ASSERT_EQ(surface.texts.size(), 1u);
    const FontRecord& used = surface.texts[0].font;
    EXPECT_EQ(used.heightPx, 85);
    EXPECT_EQ(used.escapementTenths, 2700);
    EXPECT_EQ(used.orientationTenths, 2700);
    EXPECT_EQ(used.weight, 700);
    EXPECT_EQ(used.pitchAndFamily, 1);
    EXPECT_EQ(used.faceName, "Liberation Sans");
    EXPECT_TRUE(used.italic);  // inherited
    EXPECT_EQ(used.quality, 2);
    EXPECT_EQ(used.charSet, 0);
    EXPECT_EQ(surface.texts[0].mode, BackgroundMode::Transparent);
    EXPECT_EQ(surface.font(), SurfaceFont());  // put back afterwards
    EXPECT_EQ(surface.backgroundMode(), BackgroundMode::Transparent);
}

TEST(RotatedText, WeightIsOnlyRaisedNeverLowered)
{
    RecordingSurface surface;
    FontRecord bold = SurfaceFont();
    bold.weight = 700;
    surface.setFont(bold);
    DrawRotatedText(surface, "x", 0, 0, 270, 10, false, false, 0, "F");
    EXPECT_EQ(surface.texts[0].font.weight, 700);

    surface.setFont(SurfaceFont());
    DrawRotatedText(surface, "x", 0, 0, 270, 10, false, false, 0, "F");
    EXPECT_EQ(surface.texts[1].font.weight, 400);
}

TEST(RotatedText, FaceNameIsCutToThirtyCharacters)
{
    RecordingSurface surface;
    const QString longFace = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ01234567");
    DrawRotatedText(surface, "x", 0, 0, 270, 10, false, false, 0, longFace);
    DrawRotatedText(surface, "x", 0, 0, 270, 10, false, false, 0, longFace.left(30));
    EXPECT_EQ(surface.texts[0].font.faceName, longFace.left(30));
    EXPECT_EQ(surface.texts[1].font.faceName, longFace.left(30));
}

TEST(RotatedText, BandPlacementAndCentring)
{
    struct Case {
        const char* name;
        int textChars;  // the recording surface makes each character 10 px wide... see pixelsPerChar
        int pixelsPerChar;
        bool centred;
        int bandLength;
        bool clipped;
        int expectedStart;
    };
    // y = 1000 throughout.
    const Case cases[] = {
        {"no band draws unclipped at y", 5, 10, true, 0, false, 1000},
        {"negative band is no band", 5, 10, true, -40, false, 1000},
        {"left aligned in band", 5, 10, false, 101, true, 1000},
        {"centred even length", 5, 10, true, 101, true, 1025},   // 50 px
        {"centred odd length", 51, 1, true, 101, true, 1025},    // halves truncated separately
        {"longer than band starts before it", 30, 10, true, 101, true, 900},
        {"long text not centred starts at y", 30, 10, false, 101, true, 1000},
    };
    for (const Case& c : cases) {
        RecordingSurface surface;
        surface.pixelsPerChar = c.pixelsPerChar;
        DrawRotatedText(surface, QString(c.textChars, QLatin1Char('W')), 400, 1000, 270, 64, false, c.centred,
                        c.bandLength, "F");
        ASSERT_EQ(surface.texts.size(), 1u) << c.name;
        const auto& call = surface.texts[0];
        EXPECT_EQ(call.xPx, 400) << c.name;
        EXPECT_EQ(call.yPx, c.expectedStart) << c.name;
        EXPECT_EQ(call.clipped, c.clipped) << c.name;
        if (c.clipped) {
            EXPECT_EQ(call.clipPx, QRect(336, 1000, 64, c.bandLength)) << c.name;
        }
    }
}

TEST(RotatedText, BandIsFilledUnlessTheBrushIsClear)
{
    RecordingSurface surface;
    DrawRotatedText(surface, "a", 100, 100, 270, 20, false, false, 50, "F");
    surface.setBrushStyle(BrushStyle::Clear);
    DrawRotatedText(surface, "a", 100, 100, 270, 20, false, false, 50, "F");
    DrawRotatedText(surface, "", 100, 100, 270, 20, false, false, 50, "F");
    ASSERT_EQ(surface.texts.size(), 3u);
    EXPECT_TRUE(surface.texts[0].filled);
    EXPECT_FALSE(surface.texts[1].filled);
    EXPECT_EQ(surface.brushStyle(), BrushStyle::Clear);
}

TEST(RotatedText, CentredStartTruncatesHalvesSeparately)
{
    EXPECT_EQ(CentredStart(1000, 101, 51), 1025);
    EXPECT_EQ(CentredStart(1000, 101, 50), 1025);
    EXPECT_EQ(CentredStart(1000, 100, 51), 1025);
    EXPECT_EQ(CentredStart(0, 575, 1200), -313);
}

}  // namespace
