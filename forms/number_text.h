// Reading numbers from control and cell texts.
#pragma once

#include <optional>
#include <string_view>

namespace forms {

// The number a text stands for, when the whole text is one: surrounding blanks,
// an optional sign, digits with at most one decimal point (at least one digit
// on either side of it), and an optional exponent ("e" or "E", optional sign,
// digits). "2.", ".5", " -90 " and "1e3" are numbers; ".", "1.2.3", "1e",
// "inf" and "" are not.
std::optional<double> ParseNumber(std::string_view text);

inline bool IsNumeric(std::string_view text) { return ParseNumber(text).has_value(); }

}  // namespace forms
