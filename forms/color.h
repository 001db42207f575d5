// Colours of controls and grid cells, as red, green and blue components.
#pragma once

#include <cstdint>
#include <string>

namespace forms {

// An RGB colour. Window models write colours the way the program's
// conventions name them (`Rgb{0, 0, 192}`); values kept in the platform's
// blue-green-red order (&HC00000) convert with `FromBgr`.
struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;

  // A colour number in blue-green-red order: 0x00BBGGRR.
  static constexpr Rgb FromBgr(std::uint32_t bgr) {
    return Rgb{static_cast<std::uint8_t>(bgr & 0xFF), static_cast<std::uint8_t>((bgr >> 8) & 0xFF),
               static_cast<std::uint8_t>((bgr >> 16) & 0xFF)};
  }
  // "#RRGGBB", upper-case hex digits.
  std::string Hex() const;

  friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kButtonFace{240, 240, 240};

}  // namespace forms
