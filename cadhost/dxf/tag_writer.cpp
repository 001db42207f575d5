#include "cadhost/dxf/tag_writer.h"

#include <charconv>
#include <cstdint>
#include <cstring>

#include "cadhost/dxf/error.h"
#include "cadhost/dxf/group_codes.h"
#include "cadhost/dxf/tag_reader.h"

namespace cadhost::dxf {

namespace {

std::string_view trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

template <class T>
T parsed(int code, std::string_view value) {
  std::string_view text = trimmed(value);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  T number{};
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (text.empty() || ec != std::errc{} || end != text.data() + text.size())
    throw DxfError("group code " + std::to_string(code) + " holds \"" + std::string(value.substr(0, 40)) +
                   "\", which is not a number of its kind");
  return number;
}

template <class T>
void appendBytes(std::string& out, T value) {
  char bytes[sizeof(T)];
  std::memcpy(bytes, &value, sizeof(T));  // binary DXF is little-endian, as this machine
  out.append(bytes, sizeof(T));
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

WriteFormat WriteFormat::of(const TagList& source) {
  return WriteFormat{source.format(), std::string(source.lineEnding()), source.codeWidth()};
}

bool TagWriter::sameLayout(const TagList& source) const {
  if (source.format() != format_.format) return false;
  if (format_.format == FileFormat::Ascii) return source.lineEnding() == format_.lineEnding;
  return source.codeWidth() == format_.codeWidth;
}

void TagWriter::writeStart() {
  if (format_.format == FileFormat::Binary) text().append(kBinarySentinel);
}

void TagWriter::write(int code, std::string_view value) {
  std::string& out = text();
  if (format_.format == FileFormat::Ascii) {
    char buffer[16];
    char* end = std::to_chars(buffer, buffer + sizeof buffer, code).ptr;
    for (std::ptrdiff_t pad = 3 - (end - buffer); pad > 0; --pad) out += ' ';
    out.append(buffer, end);
    out += format_.lineEnding;
    out += value;
    out += format_.lineEnding;
    return;
  }
  if (format_.codeWidth == BinaryCodeWidth::OneByte && code >= 0 && code < 255) {
    out += static_cast<char>(code);
  } else {
    if (format_.codeWidth == BinaryCodeWidth::OneByte) out += '\xFF';
    appendBytes(out, static_cast<std::int16_t>(code));
  }
  writeBinaryValue(out, code, value);
}

void TagWriter::writeBinaryValue(std::string& out, int code, std::string_view value) {
  switch (valueType(code)) {
    case ValueType::Double: return appendBytes(out, parsed<double>(code, value));
    case ValueType::Int16: return appendBytes(out, parsed<std::int16_t>(code, value));
    case ValueType::Int32: return appendBytes(out, parsed<std::int32_t>(code, value));
    case ValueType::Int64: return appendBytes(out, parsed<std::int64_t>(code, value));
    case ValueType::Bool: return appendBytes(out, static_cast<std::uint8_t>(parsed<int>(code, value)));
    case ValueType::Binary: {
      std::string_view hex = trimmed(value);
      if (hex.size() % 2 != 0)
        throw DxfError("group code " + std::to_string(code) + " holds binary data of odd length");
      // A chunk's length is one byte; longer data goes on in another tag.
      const std::size_t chunk = std::min<std::size_t>(hex.size() / 2, 127);
      out += static_cast<char>(chunk);
      for (std::size_t i = 0; i < chunk; ++i) {
        const int high = hexDigit(hex[2 * i]), low = hexDigit(hex[2 * i + 1]);
        if (high < 0 || low < 0)
          throw DxfError("group code " + std::to_string(code) + " holds binary data that is not hexadecimal");
        out += static_cast<char>(high * 16 + low);
      }
      hex.remove_prefix(chunk * 2);
      if (!hex.empty()) write(code, hex);
      return;
    }
    case ValueType::String:
      if (value.find('\0') != std::string_view::npos)
        throw DxfError("group code " + std::to_string(code) + " holds a zero byte in its text");
      out += value;
      out += '\0';
      return;
  }
}

void TagWriter::copy(std::string_view bytes) {
  if (pieces_) pieces_->span(bytes);
  else *out_ += bytes;
}

void TagWriter::write(const TagList& source, std::size_t first, std::size_t last) {
  if (sameLayout(source)) return copy(source.raw(first, last));
  for (std::size_t i = first; i < last; ++i) write(source.code(i), source.value(i));
}

void TagWriter::writeSpan(const Tags& tags) {
  if (!tags.file()) return write(tags);
  if (sameLayout(*tags.file())) return copy(tags.raw());
  write(*tags.file(), tags.first(), tags.last());
}

void TagWriter::writeFile(const TagList& source) {
  if (sameLayout(source)) return copy(source.bytes());
  writeStart();
  write(source, 0, source.size());
}

std::string& Pieces::text() {
  if (pieces_.empty() || pieces_.back().text < 0) {
    pieces_.push_back(Piece{{}, static_cast<std::ptrdiff_t>(texts_.size())});
    texts_.emplace_back();
  }
  return texts_[static_cast<std::size_t>(pieces_.back().text)];
}

void Pieces::span(std::string_view bytes) {
  if (bytes.empty()) return;
  if (!pieces_.empty() && pieces_.back().text < 0) {
    std::string_view& last = pieces_.back().span;
    if (last.data() + last.size() == bytes.data()) {
      last = std::string_view(last.data(), last.size() + bytes.size());
      return;
    }
  }
  pieces_.push_back(Piece{bytes, -1});
}

void Pieces::insert(std::size_t at, Pieces other) {
  const auto offset = static_cast<std::ptrdiff_t>(texts_.size());
  for (Piece& piece : other.pieces_)
    if (piece.text >= 0) piece.text += offset;
  texts_.insert(texts_.end(), std::make_move_iterator(other.texts_.begin()),
                std::make_move_iterator(other.texts_.end()));
  pieces_.insert(pieces_.begin() + static_cast<std::ptrdiff_t>(at), other.pieces_.begin(), other.pieces_.end());
}

std::size_t Pieces::mark() {
  pieces_.push_back(Piece{});
  return pieces_.size() - 1;
}

std::string_view Pieces::operator[](std::size_t i) const {
  const Piece& piece = pieces_[i];
  return piece.text < 0 ? piece.span : std::string_view(texts_[static_cast<std::size_t>(piece.text)]);
}

std::size_t Pieces::byteCount() const {
  std::size_t count = 0;
  for (std::size_t i = 0; i < size(); ++i) count += (*this)[i].size();
  return count;
}

std::string Pieces::joined() const {
  std::string out;
  out.reserve(byteCount());
  for (std::size_t i = 0; i < size(); ++i) out += (*this)[i];
  return out;
}

}  // namespace cadhost::dxf
