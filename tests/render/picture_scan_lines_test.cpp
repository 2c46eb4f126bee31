// Lines across a barcode compared eight pixels at a time flag exactly the lines
// a pixel-by-pixel reading at mid-grey tells apart from the line before.
#include "verify/picture_scan_lines.h"

#include <gtest/gtest.h>

namespace {

struct ChangedPixel {
    int line, along, grey;
};

struct LinesCase {
    const char* name;
    bool down;
    int lines, length;
    std::vector<ChangedPixel> changed;  // on bars of 0 and 255, one grey a pixel along
};

TEST(PictureScanLines, LinesDifferWhereAPlainReadingTellsThemApart)
{
    const LinesCase cases[] = {
        {"nothing covered, 139 lines", true, 139, 219, {}},
        {"the last pixel of a word", true, 17, 30, {{7, 3, 0}}},
        {"the first pixel of the next word", true, 17, 30, {{8, 3, 0}, {16, 29, 0}}},
        {"grey 127 is dark, 128 light", true, 9, 12, {{4, 1, 127}, {5, 1, 128}, {6, 2, 127}}},
        {"greys on one side of mid-grey", true, 9, 12, {{4, 0, 127}, {5, 5, 128}}},
        {"rows of 9 pixels", false, 5, 9, {{2, 8, 255}}},
        {"rows of 65 pixels", false, 6, 65, {{3, 64, 127}, {5, 63, 1}}},
    };
    for (const LinesCase& c : cases) {
        SCOPED_TRACE(c.name);
        // One pixel of margin all round, so that reading past a line shows.
        QImage picture(c.down ? c.lines + 2 : c.length + 2, c.down ? c.length + 2 : c.lines + 2,
                       QImage::Format_Grayscale8);
        picture.fill(0);
        const auto pixel = [&](int line, int along) -> uchar& {
            return c.down ? picture.scanLine(along + 1)[line + 1] : picture.scanLine(line + 1)[along + 1];
        };
        for (int line = 0; line < c.lines; ++line) {
            for (int along = 0; along < c.length; ++along)
                pixel(line, along) = (along / 3) % 2 == 0 ? 0 : 255;
        }
        for (const ChangedPixel& p : c.changed)
            pixel(p.line, p.along) = uchar(p.grey);
        const PictureScanLines lines{&picture, c.down, 1, c.length + 1, 1, c.lines + 1};
        const std::vector<unsigned char> differs = LinesThatDiffer(lines);
        ASSERT_EQ(int(differs.size()), c.lines);
        std::vector<bool> dark, before;
        for (int line = 0; line < c.lines; ++line) {
            ReadDarkPixels(lines, line + 1, dark);
            std::vector<bool> plain;
            for (int along = 0; along < c.length; ++along)
                plain.push_back(pixel(line, along) < 128);
            EXPECT_EQ(dark, plain) << "line " << line;
            EXPECT_EQ(differs[size_t(line)] != 0, line == 0 || plain != before) << "line " << line;
            before = plain;
        }
    }
}

}  // namespace
