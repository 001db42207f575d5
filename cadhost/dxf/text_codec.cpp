#include "cadhost/dxf/text_codec.h"

#include <iconv.h>

#include <algorithm>
#include <optional>
#include <cctype>
#include <cstdio>

namespace cadhost::dxf {

namespace {

bool plainAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 128; });
}

std::string charsetOf(std::string_view codePage) {
  std::string name(codePage);
  std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::toupper(c); });
  if (name.starts_with("ANSI_")) return "CP" + name.substr(5);
  if (name.starts_with("DOS")) return "CP" + name.substr(3);
  if (name.starts_with("ISO8859-")) return "ISO-8859-" + name.substr(8);
  if (name == "UTF-8" || name == "UTF8") return "";
  return "CP1252";
}

// One iconv conversion; nullopt-like empty result with `ok` false when the
// text has a byte sequence the conversion refuses.
bool convert(const std::string& to, const std::string& from, std::string_view in, std::string& out) {
  iconv_t cd = iconv_open(to.c_str(), from.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  std::string buffer(in.size() * 4 + 8, '\0');
  char* inPtr = const_cast<char*>(in.data());  // iconv's signature; it does not write
  std::size_t inLeft = in.size();
  char* outPtr = buffer.data();
  std::size_t outLeft = buffer.size();
  const bool ok = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
  iconv_close(cd);
  buffer.resize(buffer.size() - outLeft);
  out = std::move(buffer);
  return ok;
}

void appendUtf8(std::string& out, unsigned codePoint) {
  if (codePoint < 0x80) {
    out += static_cast<char>(codePoint);
  } else if (codePoint < 0x800) {
    out += static_cast<char>(0xC0 | (codePoint >> 6));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    out += static_cast<char>(0xE0 | (codePoint >> 12));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (codePoint >> 18));
    out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  }
}

constexpr unsigned kHighSurrogates = 0xD800;
constexpr unsigned kLowSurrogates = 0xDC00;
constexpr unsigned kSurrogatesEnd = 0xE000;
constexpr unsigned kFirstAstral = 0x10000;

// The four hex digits of a \U+XXXX escape at `at`, if one stands there.
std::optional<unsigned> escapeAt(std::string_view text, std::size_t at) {
  if (text.compare(at, 3, "\\U+") != 0 || at + 7 > text.size()) return std::nullopt;
  if (!std::all_of(text.begin() + at + 3, text.begin() + at + 7, [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); }))
    return std::nullopt;
  return static_cast<unsigned>(std::stoul(std::string(text.substr(at + 3, 4)), nullptr, 16));
}

// Replaces every \U+XXXX escape by the character it names. A character
// beyond the first 65,536 is written as two escapes, a UTF-16 surrogate pair.
std::string decodeEscapes(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::optional<unsigned> unit = escapeAt(text, i);
    if (!unit) {
      out += text[i];
      continue;
    }
    unsigned codePoint = *unit;
    i += 6;
    if (codePoint >= kHighSurrogates && codePoint < kLowSurrogates) {
      const std::optional<unsigned> low = escapeAt(text, i + 1);
      if (low && *low >= kLowSurrogates && *low < kSurrogatesEnd) {
        codePoint = kFirstAstral + ((codePoint - kHighSurrogates) << 10) + (*low - kLowSurrogates);
        i += 7;
      }
    }
    appendUtf8(out, codePoint);
  }
  return out;
}

// Length of the UTF-8 sequence starting with `lead` (1 for a stray byte).
std::size_t sequenceLength(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

}  // namespace

TextCodec::TextCodec(std::string_view acadVer, std::string_view codePage)
    : charset_(acadVer >= "AC1021" ? "" : charsetOf(codePage)) {}

std::string TextCodec::decode(std::string_view fileText) const {
  if (plainAscii(fileText))
    return fileText.find("\\U+") == std::string_view::npos ? std::string(fileText) : decodeEscapes(fileText);
  std::string utf8;
  if (charset_.empty() || !convert("UTF-8", charset_, fileText, utf8)) utf8 = std::string(fileText);
  return decodeEscapes(utf8);
}

std::string TextCodec::encode(std::string_view text) const {
  if (charset_.empty() || plainAscii(text)) return std::string(text);
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = std::min(sequenceLength(static_cast<unsigned char>(text[i])), text.size() - i);
    const std::string_view character = text.substr(i, length);
    std::string converted;
    if (length == 1) {
      out += character;
    } else if (convert(charset_, "UTF-8", character, converted)) {
      out += converted;
    } else {
      std::string utf32;
      if (convert("UTF-32LE", "UTF-8", character, utf32) && utf32.size() == 4) {
        const unsigned codePoint = static_cast<unsigned char>(utf32[0]) | static_cast<unsigned char>(utf32[1]) << 8 |
                                   static_cast<unsigned char>(utf32[2]) << 16;
        char escape[32];
        if (codePoint >= kFirstAstral) {
          const unsigned offset = codePoint - kFirstAstral;
          std::snprintf(escape, sizeof escape, "\\U+%04X\\U+%04X", kHighSurrogates + (offset >> 10),
                        kLowSurrogates + (offset & 0x3FF));
        } else {
          std::snprintf(escape, sizeof escape, "\\U+%04X", codePoint);
        }
        out += escape;
      }
    }
    i += length;
  }
  return out;
}

}  // namespace cadhost::dxf
