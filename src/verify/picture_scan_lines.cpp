#include "verify/picture_scan_lines.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

// A grey below 128 is dark, so its top bit alone tells: two pixels differ in
// darkness exactly when their top bits differ. Lines are compared eight pixels
// a word that way, with no threshold taken of each pixel.
constexpr unsigned char kDarkBit = 0x80;
constexpr std::uint64_t kDarkBits = 0x8080808080808080ULL;
constexpr int kWordPixels = 8;

bool Dark(unsigned char grey) { return (grey & kDarkBit) == 0; }

std::uint64_t Word(const uchar* at)
{
    std::uint64_t word;
    std::memcpy(&word, at, sizeof word);
    return word;
}

// Sets flags[k] where pixel k of a differs in darkness from pixel k of b, for k
// below count; leaves the others.
void MarkDifferences(const uchar* a, const uchar* b, int count, unsigned char* flags)
{
    int k = 0;
    for (; k + kWordPixels <= count; k += kWordPixels) {
        const std::uint64_t apart = (Word(a + k) ^ Word(b + k)) & kDarkBits;
        if (apart != 0) {
            const std::uint64_t marked = Word(flags + k) | apart;
            std::memcpy(flags + k, &marked, sizeof marked);
        }
    }
    for (; k < count; ++k)
        flags[k] |= (a[k] ^ b[k]) & kDarkBit;
}

// Whether any of count pixels of a differs in darkness from the same of b.
bool AnyDifference(const uchar* a, const uchar* b, int count)
{
    std::uint64_t apart = 0;
    int k = 0;
    for (; k + kWordPixels <= count; k += kWordPixels)
        apart |= Word(a + k) ^ Word(b + k);
    for (; k < count; ++k)
        apart |= std::uint64_t(a[k] ^ b[k]);
    return (apart & kDarkBits) != 0;
}

// Whether count pixels from row on are all dark or all light, as every picture
// row across bars that nothing covers is.
bool OneDarkness(const uchar* row, int count)
{
    const std::uint64_t all = (row[0] & kDarkBit) != 0 ? kDarkBits : 0;
    std::uint64_t apart = 0;
    int k = 0;
    for (; k + kWordPixels <= count; k += kWordPixels)
        apart |= Word(row + k) ^ all;
    for (; k < count; ++k)
        apart |= std::uint64_t(row[k] ^ row[0]);
    return (apart & kDarkBits) == 0;
}

}  // namespace

std::vector<unsigned char> LinesThatDiffer(const PictureScanLines& lines)
{
    const int count = lines.endLine - lines.firstLine;
    if (count <= 0)
        return {};
    std::vector<unsigned char> differs(size_t(count), 0);
    differs[0] = 1;
    const uchar* bits = lines.picture->constBits();
    const qsizetype lineBytes = lines.picture->bytesPerLine();
    if (lines.downThePage) {
        // The lines are columns: a picture row holds one pixel of every line side
        // by side, so each row is compared with itself a pixel further on.
        for (int along = lines.alongFrom; along < lines.alongEnd; ++along) {
            const uchar* row = bits + qsizetype(along) * lineBytes + lines.firstLine;
            if (!OneDarkness(row, count))
                MarkDifferences(row + 1, row, count - 1, differs.data() + 1);
        }
        return differs;
    }
    const int length = lines.alongEnd - lines.alongFrom;
    for (int k = 1; k < count; ++k) {
        const uchar* row = bits + qsizetype(lines.firstLine + k) * lineBytes + lines.alongFrom;
        differs[size_t(k)] = AnyDifference(row, row - lineBytes, length) ? 1 : 0;
    }
    return differs;
}

void ReadDarkPixels(const PictureScanLines& lines, int line, std::vector<bool>& dark)
{
    const int length = lines.alongEnd - lines.alongFrom;
    dark.resize(size_t(std::max(0, length)));
    const qsizetype lineBytes = lines.picture->bytesPerLine();
    // Down the page a line steps a picture row at a time, across it a pixel.
    const qsizetype step = lines.downThePage ? lineBytes : 1;
    const uchar* pixel = lines.picture->constBits()
                         + (lines.downThePage ? qsizetype(lines.alongFrom) * lineBytes + line
                                              : qsizetype(line) * lineBytes + lines.alongFrom);
    for (int i = 0; i < length; ++i, pixel += step)
        dark[size_t(i)] = Dark(*pixel);
}
