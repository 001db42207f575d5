// The CAD colour index (62) as screen colours.
#pragma once

#include <cstdint>

namespace gui {

// The 0xRRGGBB of a colour index 1..255 on a dark drawing background. Index 7
// is white (it shows black on a light background in other programs); anything
// out of range shows as white.
std::uint32_t AciRgb(int index);

}  // namespace gui
