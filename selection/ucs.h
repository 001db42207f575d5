// The world-aligned user coordinate system the program works in.
#pragma once

namespace selection {

inline constexpr const char* kWorldUcsName = "WCS";

// Adds a world-aligned UCS named "WCS" to the application's active drawing and
// makes it current. Never fails: when the host refuses, the current UCS stays.
void SetWorldUcs();

}  // namespace selection
