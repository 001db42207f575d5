// Text forms shared by the dumps, the transcripts and the message lines.
#pragma once

#include <string>
#include <string_view>

namespace forms {

// Escapes a text the way script lines and transcripts write it: a quote, a
// backslash, a tab, a carriage return and a line feed become \" \\ \t \r \n,
// so that every value stays on one line.
std::string EscapeText(std::string_view text);

// Whether two names are equal without regard to (ASCII) letter case, as
// window and control names are compared.
bool EqualsNoCase(std::string_view a, std::string_view b);

// `"` + EscapeText(text) + `"`.
std::string QuoteText(std::string_view text);

// The shortest plain decimal form of a single-precision number that reads back
// as the same number: 2500, 12.5, -0.25 (never an exponent).
std::string FormatSingle(float value);

}  // namespace forms
