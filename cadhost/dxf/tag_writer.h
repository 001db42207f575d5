// Writing tags as DXF, ASCII or binary.
#pragma once

#include <string>
#include <string_view>
#include <vector>

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

// A written file as a run of pieces: spans of read files' bytes, kept as views
// and copied only when the file itself is written, and the text made for new
// and changed records. Adjacent spans of one file join into one piece, so an
// unchanged drawing is a handful of pieces however large it is. The spans stay
// valid while the read files they point into do (the drawing keeps them).
class Pieces {
 public:
  // The text piece at the end, to append made bytes to.
  std::string& text();
  void span(std::string_view bytes);
  // Puts `other` in at piece `at` (an index given by size()).
  void insert(std::size_t at, Pieces other);
  // Ends the text piece at the end and returns the index to insert at later.
  std::size_t mark();

  std::size_t size() const { return pieces_.size(); }
  std::string_view operator[](std::size_t i) const;
  std::size_t byteCount() const;
  std::string joined() const;

 private:
  struct Piece {
    std::string_view span;
    std::ptrdiff_t text = -1;  // index into texts_, or -1 for a span
  };
  std::vector<Piece> pieces_;
  std::vector<std::string> texts_;
};

// Appends tags to a byte buffer. Spans of a read file in the same layout are
// copied byte for byte; anything else is serialised from its value text.
class TagWriter {
 public:
  TagWriter(std::string& out, WriteFormat format) : out_(&out), format_(std::move(format)) {}
  // Spans of read files in the same layout go in as views, not copies.
  TagWriter(Pieces& out, WriteFormat format) : pieces_(&out), format_(std::move(format)) {}

  // A binary file's sentinel; nothing for ASCII.
  void writeStart();
  void write(int code, std::string_view value);
  void write(const Tag& tag) { write(tag.code, tag.value); }
  void write(const Tags& tags) {
    for (const Tag& tag : tags) write(tag);
  }
  // Tags [first, last) of a read file.
  void write(const TagList& source, std::size_t first, std::size_t last);
  // A span of a read file; made tags are written one by one.
  void writeSpan(const Tags& tags);
  // The whole file: what precedes the tags, the tags and what follows them.
  void writeFile(const TagList& source);

  const WriteFormat& format() const { return format_; }
  // Bytes written as they are (a file's preamble or trailer).
  void copy(std::string_view bytes);

 private:
  bool sameLayout(const TagList& source) const;
  void writeBinaryValue(std::string& out, int code, std::string_view value);
  std::string& text() { return pieces_ ? pieces_->text() : *out_; }

  std::string* out_ = nullptr;
  Pieces* pieces_ = nullptr;
  WriteFormat format_;
};

}  // namespace cadhost::dxf
