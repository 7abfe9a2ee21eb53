#pragma once
// Colours of the drawing layer.
//
// A TColor is a 24-bit value laid out like the platform's COLORREF: red in the low byte,
// green in the middle byte, blue in the high byte (0x00BBGGRR). Bits above the low 24 are
// ignored when a colour is drawn.
#include <cstdint>

using TColor = std::uint32_t;

constexpr TColor RGB(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return TColor(red) | (TColor(green) << 8) | (TColor(blue) << 16);
}
constexpr std::uint8_t GetRValue(TColor c) { return std::uint8_t(c & 0xFF); }
constexpr std::uint8_t GetGValue(TColor c) { return std::uint8_t((c >> 8) & 0xFF); }
constexpr std::uint8_t GetBValue(TColor c) { return std::uint8_t((c >> 16) & 0xFF); }

// The 32-bit pixel of a bitmap (0xFFRRGGBB, the layout of an RGB32 image) and back.
constexpr std::uint32_t ColorToPixel(TColor c) {
    return 0xFF000000u | (std::uint32_t(GetRValue(c)) << 16) | (std::uint32_t(GetGValue(c)) << 8) |
           std::uint32_t(GetBValue(c));
}
constexpr TColor PixelToColor(std::uint32_t pixel) {
    return RGB(std::uint8_t((pixel >> 16) & 0xFF), std::uint8_t((pixel >> 8) & 0xFF),
               std::uint8_t(pixel & 0xFF));
}

// The named colours of the platform.
constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;
constexpr TColor clLtGray = 0xC0C0C0;
constexpr TColor clDkGray = 0x808080;

// The system colours, fixed to the platform's classic defaults.
constexpr TColor clBtnFace = 0xF0F0F0;
constexpr TColor clWindow = 0xFFFFFF;
constexpr TColor clWindowText = 0x000000;
constexpr TColor clBtnText = 0x000000;
constexpr TColor clHighlight = 0xFF9933;
constexpr TColor clHighlightText = 0xFFFFFF;
constexpr TColor clInfoBk = 0xE1FFFF;

// What Pixels() reads outside the bitmap.
constexpr TColor clInvalid = 0xFFFFFFFF;
