// Binary DXF: after the sentinel, each tag is a group code (one byte before
// R13, with 255 escaping a two-byte code; two bytes little-endian since) and a
// value whose storage follows from the group code.
#include <charconv>
#include <cstring>

#include "cadhost/dxf/error.h"
#include "cadhost/dxf/group_codes.h"
#include "cadhost/dxf/tag_reader.h"

namespace cadhost::dxf {

class BinaryTagReader {
 public:
  BinaryTagReader(TagList& list, const std::string& fileName) : list_(list), fileName_(fileName) {}

  void read() {
    const std::string_view bytes = list_.bytes_;
    list_.format_ = FileFormat::Binary;
    pos_ = kBinarySentinel.size();
    // R12 files start "0 SECTION" with a one-byte code: the byte after it is 'S'.
    list_.codeWidth_ = bytes.size() > pos_ + 1 && bytes[pos_ + 1] != '\0'
                           ? BinaryCodeWidth::OneByte
                           : BinaryCodeWidth::TwoBytes;
    list_.arena_.reserve(bytes.size() + bytes.size() / 2);
    list_.refs_.reserve(bytes.size() / 8);
    list_.arenaStarts_.reserve(bytes.size() / 8 + 1);
    while (pos_ < bytes.size()) {
      const std::size_t tagStart = pos_;
      const int code = readCode();
      const std::size_t valueOffset = list_.arena_.size();
      readValue(code);
      list_.refs_.push_back(TagRef{static_cast<std::uint32_t>(tagStart), static_cast<std::int16_t>(code), 0});
      list_.arenaStarts_.push_back(static_cast<std::uint32_t>(valueOffset));
      if (code == 0 && list_.arena_.compare(valueOffset, std::string::npos, "EOF") == 0) break;
    }
    list_.arenaStarts_.push_back(static_cast<std::uint32_t>(list_.arena_.size()));
    list_.rawEnd_ = static_cast<std::uint32_t>(pos_);
  }

 private:
  const unsigned char* need(std::size_t count, const char* what) {
    if (list_.bytes_.size() - pos_ < count)
      fail(pos_, std::string("the file ends inside ") + what);
    const auto* p = reinterpret_cast<const unsigned char*>(list_.bytes_.data() + pos_);
    pos_ += count;
    return p;
  }

  int readCode() {
    if (list_.codeWidth_ == BinaryCodeWidth::OneByte) {
      const unsigned char first = *need(1, "a group code");
      if (first != 255) return first;
    }
    const unsigned char* p = need(2, "a group code");
    return static_cast<std::int16_t>(p[0] | (p[1] << 8));
  }

  template <class T>
  T readNumber(const char* what) {
    T value;
    std::memcpy(&value, need(sizeof(T), what), sizeof(T));  // files are little-endian
    return value;
  }

  template <class T>
  void appendNumber(T value) {
    char buffer[40];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    list_.arena_.append(buffer, result.ptr);
  }

  void readValue(int code) {
    switch (valueType(code)) {
      case ValueType::Double: {
        const std::size_t at = pos_;
        const double value = readNumber<double>("a real value");
        if (value != value) fail(at, "a real value is not a number");
        appendNumber(value);
        return;
      }
      case ValueType::Int16: return appendNumber(readNumber<std::int16_t>("an integer value"));
      case ValueType::Int32: return appendNumber(readNumber<std::int32_t>("an integer value"));
      case ValueType::Int64: return appendNumber(readNumber<std::int64_t>("an integer value"));
      case ValueType::Bool: return appendNumber(int{*need(1, "a boolean value")});
      case ValueType::Binary: {
        const std::size_t length = *need(1, "a binary chunk");
        const unsigned char* data = need(length, "a binary chunk");
        static constexpr char kHex[] = "0123456789ABCDEF";
        for (std::size_t i = 0; i < length; ++i) {
          list_.arena_ += kHex[data[i] >> 4];
          list_.arena_ += kHex[data[i] & 15];
        }
        return;
      }
      case ValueType::String: {
        const std::string_view bytes = list_.bytes_;
        const void* end = std::memchr(bytes.data() + pos_, '\0', bytes.size() - pos_);
        if (!end) fail(pos_, "a text value has no terminating zero byte");
        const std::size_t length = static_cast<const char*>(end) - (bytes.data() + pos_);
        list_.arena_.append(bytes.substr(pos_, length));
        pos_ += length + 1;
        return;
      }
    }
  }

  [[noreturn]] void fail(std::size_t offset, const std::string& what) const {
    throw DxfError(fileName_ + ", byte offset " + std::to_string(offset) + ": " + what);
  }

  TagList& list_;
  const std::string& fileName_;
  std::size_t pos_ = 0;
};

void readBinaryTags(TagList& list, const std::string& fileName) {
  BinaryTagReader(list, fileName).read();
}

}  // namespace cadhost::dxf
