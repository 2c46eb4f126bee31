#pragma once

#include <cstdint>
#include <initializer_list>

// What the font picker lists and how it draws its entries.
enum class TFontCBOption {
    foPrinterFonts,
    foScreenFonts,
    foTrueTypeOnly,
    foDisplayFont,
    foDisplaySymbol,
    foDisplaySelectedFont,
};

// A set of picker options, one bit per option in declaration order.
class TFontCBOptions {
public:
    constexpr TFontCBOptions() = default;
    constexpr TFontCBOptions(std::initializer_list<TFontCBOption> options)
    {
        for (TFontCBOption option : options)
            m_bits |= Bit(option);
    }

    constexpr bool contains(TFontCBOption option) const { return (m_bits & Bit(option)) != 0; }
    constexpr bool operator==(const TFontCBOptions& other) const { return m_bits == other.m_bits; }
    constexpr bool operator!=(const TFontCBOptions& other) const { return m_bits != other.m_bits; }

private:
    static constexpr std::uint8_t Bit(TFontCBOption option)
    {
        return static_cast<std::uint8_t>(1u << static_cast<unsigned>(option));
    }

    std::uint8_t m_bits = 0;
};
