#pragma once
// Colours as the platform keeps them: red in the low byte, then green, then blue.
#include <cstdint>

// 0x00BBGGRR, the platform's colour reference layout.
using Colour = std::uint32_t;

constexpr Colour MakeColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return static_cast<Colour>(red) | (static_cast<Colour>(green) << 8) |
           (static_cast<Colour>(blue) << 16);
}
