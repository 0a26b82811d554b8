#pragma once

#include <array>
#include <cstdint>

namespace lumora {

// A cell colour in the window system's layout 0x00BBGGRR (low byte red).
using CellColour = std::uint32_t;

inline constexpr int kTubes = 16;
inline constexpr int kCellsPerTube = 8;
inline constexpr int kCellsPerScene = kTubes * kCellsPerTube;  // 128
inline constexpr int MaxScenes = 99;

// One scene: the colours of all 128 cells in cell-index order.
using Scene = std::array<CellColour, kCellsPerScene>;

namespace colour {
inline constexpr CellColour Black = 0x00000000;
inline constexpr CellColour Red = 0x000000FF;
inline constexpr CellColour Green = 0x0000FF00;
inline constexpr CellColour Blue = 0x00FF0000;
inline constexpr CellColour Yellow = 0x0000FFFF;
inline constexpr CellColour Magenta = 0x00FF00FF;
inline constexpr CellColour Cyan = 0x00FFFF00;
inline constexpr CellColour White = 0x00FFFFFF;
}  // namespace colour

// The eight palette buttons, top to bottom.
inline constexpr std::array<CellColour, 8> kPalette = {
    colour::Black,  colour::Red,     colour::Green, colour::Blue,
    colour::Yellow, colour::Magenta, colour::Cyan,  colour::White};

}  // namespace lumora
