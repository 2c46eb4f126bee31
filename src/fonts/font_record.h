#pragma once

#include <QString>
#include <cstdint>

// A logical font as the page's drawing code describes it: the same fields a
// Windows LOGFONT carries, so that sizes and angles keep their meaning.
struct FontRecord {
    int heightPx = 0;        // > 0: character cell (ascent + descent); < 0: em height; 0: default
    int widthPx = 0;         // 0: left to the font system
    int escapementTenths = 0;  // text direction, tenths of a degree counter-clockwise
    int orientationTenths = 0;
    int weight = 400;        // 400 regular, 700 bold
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::uint8_t charSet = 1;         // DEFAULT_CHARSET
    std::uint8_t outPrecision = 0;
    std::uint8_t clipPrecision = 0;
    std::uint8_t quality = 0;
    std::uint8_t pitchAndFamily = 0;  // 1: fixed pitch, no family preference
    QString faceName;

    bool operator==(const FontRecord& o) const
    {
        return heightPx == o.heightPx && widthPx == o.widthPx && escapementTenths == o.escapementTenths
            && orientationTenths == o.orientationTenths && weight == o.weight && italic == o.italic
            && underline == o.underline && strikeOut == o.strikeOut && charSet == o.charSet
            && outPrecision == o.outPrecision && clipPrecision == o.clipPrecision && quality == o.quality
            && pitchAndFamily == o.pitchAndFamily && faceName == o.faceName;
    }
    bool operator!=(const FontRecord& o) const { return !(*this == o); }
};
