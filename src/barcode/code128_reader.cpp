#include "barcode/code128_reader.h"

#include "barcode/code128_image.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr int kElementsPerCharacter = 6;
constexpr int kStopElements = 7;
constexpr int kStartA = 103;
constexpr int kStartB = 104;
constexpr int kStartC = 105;
constexpr int kCheckModulus = 103;
constexpr int kShift = 98;
constexpr int kCodeC = 99;

// Bar and space widths in modules of the values 0 to 105, as six digits.
constexpr std::array<const char*, 106> kPatterns = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212", "221213",
    "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221", "223211", "221132",
    "221231", "213212", "223112", "312131", "311222", "321122", "321221", "312212", "322112", "322211",
    "212123", "212321", "232121", "111323", "131123", "131321", "112313", "132113", "132311", "211313",
    "231113", "231311", "112133", "112331", "132131", "113123", "113321", "133121", "313121", "211331",
    "231131", "213113", "213311", "213131", "311123", "311321", "331121", "312113", "312311", "332111",
    "314111", "221411", "431111", "111224", "111422", "121124", "121421", "141122", "141221", "112214",
    "112412", "122114", "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111",
    "111242", "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311", "113141",
    "114131", "311141", "411131", "211412", "211214", "211232"};
constexpr std::array<int, kStopElements> kStop = {2, 3, 3, 1, 1, 1, 2};

constexpr int kWidestElement = 4;
constexpr int kPatternKeys = 4 * 4 * 4 * 4 * 4 * 4;

// Six widths of 1 to 4 as one number, or -1 for any other width.
int PatternKey(const int* widths)
{
    int key = 0;
    for (int e = 0; e < kElementsPerCharacter; ++e) {
        if (widths[e] < 1 || widths[e] > kWidestElement)
            return -1;
        key = key * kWidestElement + (widths[e] - 1);
    }
    return key;
}

// Value of six widths, or -1.
int ValueOf(const int* widths)
{
    static const std::array<signed char, kPatternKeys> values = [] {
        std::array<signed char, kPatternKeys> table;
        table.fill(-1);
        for (size_t value = 0; value < kPatterns.size(); ++value) {
            int widthsOfValue[kElementsPerCharacter];
            for (int e = 0; e < kElementsPerCharacter; ++e)
                widthsOfValue[e] = kPatterns[value][e] - '0';
            table[size_t(PatternKey(widthsOfValue))] = static_cast<signed char>(value);
        }
        return table;
    }();
    const int key = PatternKey(widths);
    return key < 0 ? -1 : values[size_t(key)];
}

// Widths in modules between the two quiet zones of lengthPx pixels, each dark
// or not as darkAt(i) says, or empty.
template <typename DarkAt>
std::vector<int> ModuleWidths(int lengthPx, const DarkAt& darkAt, int modulePx)
{
    const int quietPx = kCode128QuietZoneModules * modulePx;
    int first = 0;
    while (first < lengthPx && !darkAt(first))
        ++first;
    int end = lengthPx;
    while (end > first && !darkAt(end - 1))
        --end;
    if (first == end || first < quietPx || lengthPx - end < quietPx)
        return {};
    std::vector<int> widths;
    widths.reserve(size_t(end - first) / size_t(modulePx));
    for (int at = first; at < end;) {
        const bool dark = darkAt(at);
        int run = at + 1;
        while (run < end && darkAt(run) == dark)
            ++run;
        if ((run - at) % modulePx != 0)
            return {};
        widths.push_back((run - at) / modulePx);
        at = run;
    }
    return widths;
}

// Symbol values from the start character to the check character, or empty.
std::vector<int> SymbolValues(const std::vector<int>& widths)
{
    if (widths.size() < 3 * kElementsPerCharacter + kStopElements
        || (widths.size() - kStopElements) % kElementsPerCharacter != 0)
        return {};
    if (!std::equal(kStop.begin(), kStop.end(), widths.end() - kStopElements))
        return {};
    std::vector<int> values;
    for (size_t at = 0; at + kStopElements < widths.size(); at += kElementsPerCharacter) {
        const int value = ValueOf(&widths[at]);
        if (value < 0)
            return {};
        values.push_back(value);
    }
    return values;
}

bool CheckCharacterHolds(const std::vector<int>& values)
{
    long sum = values.front();
    for (size_t i = 1; i + 1 < values.size(); ++i)
        sum += long(i) * values[i];
    return sum % kCheckModulus == values.back();
}

enum class CodeSet { A, B, C };

// What a data value means in code set A or B: a character code, or one of the
// function values that switch or shift.
std::optional<int> CharacterOfAOrB(CodeSet set, int value)
{
    if (set == CodeSet::A && value < 64)
        return value + 32;
    if (set == CodeSet::A && value < 96)
        return value - 64;
    if (set == CodeSet::B && value < 96)
        return value + 32;
    return std::nullopt;
}

// The text of the data values, following code sets, shifts and FNC4 (a single
// FNC4 lifts the next character by 128, two in a row toggle that for all that
// follow). std::nullopt for FNC1 to FNC3, which no text of ours holds.
std::optional<QString> DataText(const std::vector<int>& values)
{
    CodeSet set = values.front() == kStartA ? CodeSet::A : values.front() == kStartB ? CodeSet::B : CodeSet::C;
    QString text;
    bool shiftNext = false;
    bool fnc4Next = false;
    bool fnc4Latched = false;
    bool lastWasFnc4 = false;
    for (size_t i = 1; i + 1 < values.size(); ++i) {
        const int value = values[i];
        if (set == CodeSet::C) {
            if (value < 100) {
                text += QChar(u'0' + value / 10);
                text += QChar(u'0' + value % 10);
            } else if (value == 100 || value == 101) {
                set = value == 100 ? CodeSet::B : CodeSet::A;
            } else {
                return std::nullopt;
            }
            continue;
        }
        const CodeSet active = shiftNext ? (set == CodeSet::A ? CodeSet::B : CodeSet::A) : set;
        shiftNext = false;
        const bool isFnc4 = (active == CodeSet::A && value == 101) || (active == CodeSet::B && value == 100);
        if (isFnc4) {
            if (lastWasFnc4) {
                fnc4Latched = !fnc4Latched;
                fnc4Next = false;
                lastWasFnc4 = false;
            } else {
                fnc4Next = true;
                lastWasFnc4 = true;
            }
            continue;
        }
        lastWasFnc4 = false;
        if (const std::optional<int> code = CharacterOfAOrB(active, value)) {
            text += QChar(*code + ((fnc4Latched != fnc4Next) ? 128 : 0));
            fnc4Next = false;
        } else if (value == kShift) {
            shiftNext = true;
        } else if (value == kCodeC) {
            set = CodeSet::C;
        } else if (value == 100 || value == 101) {
            set = value == 100 ? CodeSet::B : CodeSet::A;
        } else {
            return std::nullopt;  // FNC1, FNC2, FNC3
        }
    }
    if (fnc4Next || shiftNext)
        return std::nullopt;
    return text;
}

// The text of a symbol given as its bar and space widths, or std::nullopt.
std::optional<QString> ReadWidths(const std::vector<int>& widths)
{
    const std::vector<int> values = SymbolValues(widths);
    if (values.empty() || values.front() < kStartA || !CheckCharacterHolds(values))
        return std::nullopt;
    for (size_t i = 1; i + 1 < values.size(); ++i) {
        if (values[i] >= kStartA)
            return std::nullopt;
    }
    return DataText(values);
}

}  // namespace

std::optional<QString> ReadCode128Line(const std::vector<bool>& darkPx, int modulePx)
{
    if (modulePx < 1)
        return std::nullopt;
    return ReadWidths(ModuleWidths(int(darkPx.size()), [&darkPx](int i) { return bool(darkPx[size_t(i)]); }, modulePx));
}

std::optional<QString> ReadCode128ScaledLine(const std::vector<bool>& darkPx, double modulePx)
{
    if (!(modulePx >= 1.0))
        return std::nullopt;
    const int lengthPx = int(darkPx.size());
    int first = 0;
    while (first < lengthPx && !darkPx[size_t(first)])
        ++first;
    int end = lengthPx;
    while (end > first && !darkPx[size_t(end - 1)])
        --end;
    const double quietPx = kCode128QuietZoneModules * modulePx - 1.0;
    if (first == end || first < quietPx || lengthPx - end < quietPx)
        return std::nullopt;
    std::vector<int> widths;
    for (int at = first; at < end;) {
        const bool dark = darkPx[size_t(at)];
        int run = at + 1;
        while (run < end && darkPx[size_t(run)] == dark)
            ++run;
        const double modules = (run - at) / modulePx;
        const long whole = std::lround(modules);
        if (whole < 1 || whole > kWidestElement || std::abs(modules - double(whole)) >= 0.5)
            return std::nullopt;
        widths.push_back(int(whole));
        at = run;
    }
    return ReadWidths(widths);
}

std::optional<QString> ReadCode128Image(const QImage& image, bool downThePage, int modulePx)
{
    if (image.isNull() || modulePx < 1)
        return std::nullopt;
    if (image.format() != QImage::Format_Mono || image.colorCount() != 2)
        return ReadCode128Image(image.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither), downThePage, modulePx);
    const bool darkIndex[2] = {qGray(image.color(0)) < 128, qGray(image.color(1)) < 128};
    const uchar* bits = image.constBits();
    const qsizetype lineBytes = image.bytesPerLine();
    // The middle column read down, or the middle line read across.
    const int x = downThePage ? image.width() / 2 : 0;
    const uchar* line = bits + (downThePage ? 0 : image.height() / 2) * lineBytes;
    const auto darkAt = [&](int i) {
        const int px = downThePage ? x : i;
        const uchar* at = downThePage ? bits + i * lineBytes : line;
        return darkIndex[(at[px >> 3] >> (7 - (px & 7))) & 1];
    };
    return ReadWidths(ModuleWidths(downThePage ? image.height() : image.width(), darkAt, modulePx));
}
