// Writing tags as DXF, ASCII or binary.
#pragma once

#include <string>
#include <string_view>

#include "cadhost/dxf/tag.h"

namespace cadhost::dxf {

// How the written file lays out its tags.
struct WriteFormat {
  FileFormat format = FileFormat::Ascii;
  std::string lineEnding = "\n";                            // ASCII
  BinaryCodeWidth codeWidth = BinaryCodeWidth::TwoBytes;  // binary

  // The layout of the file the tags came from, so that copied spans and new
  // tags look alike.
  static WriteFormat of(const TagList& source);
};

// Appends tags to a byte buffer. Spans of a read file in the same layout are
// copied byte for byte; anything else is serialised from its value text.
class TagWriter {
 public:
  TagWriter(std::string& out, WriteFormat format) : out_(out), format_(std::move(format)) {}

  // A binary file's sentinel; nothing for ASCII.
  void writeStart();
  void write(int code, std::string_view value);
  void write(const Tag& tag) { write(tag.code, tag.value); }
  void write(const Tags& tags) {
    for (const Tag& tag : tags) write(tag);
  }
  // Tags [first, last) of a read file.
  void write(const TagList& source, std::size_t first, std::size_t last);
  // The whole file: what precedes the tags, the tags and what follows them.
  void writeFile(const TagList& source);

  const WriteFormat& format() const { return format_; }

 private:
  bool sameLayout(const TagList& source) const;
  void writeBinaryValue(int code, std::string_view value);

  std::string& out_;
  WriteFormat format_;
};

}  // namespace cadhost::dxf
