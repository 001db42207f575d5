#include "gui/aci_colors.h"

#include <array>
#include <cmath>

namespace gui {

namespace {

std::uint32_t Rgb(double r, double g, double b) {
  auto channel = [](double v) { return static_cast<std::uint32_t>(std::lround(v * 255)); };
  return (channel(r) << 16) | (channel(g) << 8) | channel(b);
}

// Indexes 10..249 run through 24 hues of 15 degrees; within each hue the last
// digit sets brightness (0-1 full, 2-3 .. 8-9 darker) and odd digits are the
// paler shade. Computed rather than tabled: the wheel is regular.
std::uint32_t WheelColor(int index) {
  double hue = (index / 10 - 1) * 15.0;
  int shade = index % 10;
  static constexpr std::array<double, 5> kValue = {1.0, 0.8, 0.6, 0.5, 0.3};
  double value = kValue[static_cast<std::size_t>(shade / 2)];
  double saturation = shade % 2 == 0 ? 1.0 : 0.5;
  double c = value * saturation;
  double h = hue / 60.0;
  double x = c * (1 - std::abs(std::fmod(h, 2.0) - 1));
  double r = 0, g = 0, b = 0;
  if (h < 1) { r = c; g = x; }
  else if (h < 2) { r = x; g = c; }
  else if (h < 3) { g = c; b = x; }
  else if (h < 4) { g = x; b = c; }
  else if (h < 5) { r = x; b = c; }
  else { r = c; b = x; }
  double m = value - c;
  return Rgb(r + m, g + m, b + m);
}

}  // namespace

std::uint32_t AciRgb(int index) {
  static constexpr std::array<std::uint32_t, 10> kFirst = {
      0xFFFFFF, 0xFF0000, 0xFFFF00, 0x00FF00, 0x00FFFF, 0x0000FF, 0xFF00FF, 0xFFFFFF, 0x808080, 0xC0C0C0};
  static constexpr std::array<std::uint32_t, 6> kGreys = {0x333333, 0x505050, 0x696969,
                                                          0x828282, 0xBEBEBE, 0xFFFFFF};
  if (index >= 1 && index <= 9) return kFirst[static_cast<std::size_t>(index)];
  if (index >= 10 && index <= 249) return WheelColor(index);
  if (index >= 250 && index <= 255) return kGreys[static_cast<std::size_t>(index - 250)];
  return 0xFFFFFF;
}

}  // namespace gui
