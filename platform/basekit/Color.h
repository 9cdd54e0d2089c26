#pragma once

// A colour as the system keeps it: red, green and blue, 0 to 255 each.

#include <cstdint>

struct TColor {
  std::uint8_t R = 0;
  std::uint8_t G = 0;
  std::uint8_t B = 0;

  constexpr TColor() = default;
  constexpr TColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) : R(r), G(g), B(b) {}

  static constexpr TColor Black() { return {0, 0, 0}; }
  static constexpr TColor White() { return {255, 255, 255}; }

  friend bool operator==(const TColor&, const TColor&) = default;
};
