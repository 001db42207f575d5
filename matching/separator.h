// The texts that join several old attribute values into one replacement
// attribute: the choices the Match Attributes window lists and what a stored
// separator text means when values are joined.
#pragma once

#include <array>
#include <string>

namespace matching {

// The separator choices in list order; entry 2, "-", is the default.
inline constexpr std::array<const char*, 24> kSeparatorChoices{
    "'none'", "'space'", "-", "_", ",", ";", ":", "'", "/", "\\", "|", "=",
    "+",      "*",       "&", "@", "#", "!", "?", "$", "~", ">",  "<", "x"};
inline constexpr int kDefaultSeparatorEntry = 2;

// The text put between two joined values for a stored separator: "none" or
// "'none'" (any case) give nothing, "space" or "'space'" one blank, any other
// text stands for itself.
std::string JoinText(const std::string& storedSeparator);

}  // namespace matching
