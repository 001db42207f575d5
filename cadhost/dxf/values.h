// Numbers in DXF value text, read leniently and written so they read back exactly.
#pragma once

#include <numbers>
#include <string>
#include <string_view>

namespace cadhost::dxf {

// The number a value text holds (spaces around it allowed); `fallback` when it
// holds none.
double toDouble(std::string_view text, double fallback = 0.0);
int toInt(std::string_view text, int fallback = 0);
// The shortest text that reads back as exactly `value`.
std::string formatDouble(double value);

// DXF stores angles in degrees; the host works in radians.
inline double degreesToRadians(double degrees) { return degrees * std::numbers::pi / 180.0; }
inline double radiansToDegrees(double radians) { return radians * 180.0 / std::numbers::pi; }

}  // namespace cadhost::dxf
