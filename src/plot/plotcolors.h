// The sixteen fixed colours of the plot engine and the colour encoding shared with the sheet.
#pragma once

#include <cstdint>

namespace zarvo {

// A colour as the sheet stores it (FontColor): red in the low byte, then green, then blue.
using TColor = std::uint32_t;

constexpr TColor RGBColor(int R, int G, int B) {
    return static_cast<TColor>((R & 0xFF) | ((G & 0xFF) << 8) | ((B & 0xFF) << 16));
}
constexpr int RedOf(TColor C) { return static_cast<int>(C & 0xFF); }
constexpr int GreenOf(TColor C) { return static_cast<int>((C >> 8) & 0xFF); }
constexpr int BlueOf(TColor C) { return static_cast<int>((C >> 16) & 0xFF); }

// Entry Index of the fixed table (0 black, 2 green, 4 red, ... 15 white); 15 above 15 and
// 0 below 0.
TColor PlotColor(int Index);

constexpr int PlotColorCount = 16;
constexpr TColor ColorBlack = RGBColor(0, 0, 0);
constexpr TColor ColorWhite = RGBColor(255, 255, 255);

} // namespace zarvo
