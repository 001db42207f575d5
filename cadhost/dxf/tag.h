// Raw DXF tags: what the drawing file holds, before any interpretation.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cadhost/large_arrays.h"

namespace cadhost::dxf {

// One group of a DXF file: its group code and its value text exactly as the file
// wrote it (for binary DXF, the value in the text form an ASCII file would use),
// so that what the host does not model is written back unchanged.
struct Tag {
  int code = 0;
  std::string value;
  friend bool operator==(const Tag&, const Tag&) = default;
};

enum class FileFormat { Ascii, Binary };

// How a binary DXF file writes its group codes: one byte (R12 and older, with
// 255 escaping a two-byte code) or two bytes (R13 and newer).
enum class BinaryCodeWidth { OneByte, TwoBytes };

// Where one tag sits: its group code and where its raw form begins in the file
// (the group-code line, or the binary group code). An ASCII value begins
// `valueSkip` bytes later (the code line with its line ending; kFarValue when
// the code line is longer than that counts) and ends where the next tag begins,
// less its line ending. Eight bytes a tag: a large drawing has millions.
struct TagRef {
  static constexpr std::uint16_t kFarValue = 0xFFFF;
  std::uint32_t rawStart = 0;
  std::int16_t code = 0;
  std::uint16_t valueSkip = 0;
};

// The bytes of a read file and what keeps them alive: a buffer on huge pages,
// or a string holding its content.
struct SourceBytes {
  std::shared_ptr<const void> owner;
  std::string_view bytes;
  static SourceBytes of(std::string text);
};

// Owns a DXF file's bytes and the position of every tag in them. No tag
// allocates: values are views into the file (ASCII) or into one text arena that
// holds the binary values in their ASCII form. The raw byte span of any run of
// tags can be copied out unchanged, which is how untouched records are saved.
// The bytes are loaded once at open, so reading a drawing copies them no
// further.
class TagList {
 public:
  TagList() = default;

  std::size_t size() const { return refs_.size(); }
  bool empty() const { return refs_.empty(); }
  int code(std::size_t i) const { return i >= released_ ? refs_[i].code : codeFromText(i); }
  std::string_view value(std::size_t i) const;
  Tag tag(std::size_t i) const { return Tag{code(i), std::string(value(i))}; }

  // The file's bytes that hold tags [first, last) exactly as read.
  std::string_view raw(std::size_t first, std::size_t last) const;
  // Whatever follows the last tag (blank lines after EOF, for example).
  std::string_view trailer() const { return std::string_view(bytes_).substr(rawEnd_); }
  // The bytes before the first tag: a binary file's sentinel, a byte-order mark.
  std::string_view preamble() const { return bytes_.substr(0, refs_.empty() ? rawEnd_ : rawStart(0)); }

  FileFormat format() const { return format_; }
  BinaryCodeWidth codeWidth() const { return codeWidth_; }
  // The line ending of the first line: what new lines of an ASCII file use.
  std::string_view lineEnding() const { return crlf_ ? "\r\n" : "\n"; }
  std::string_view bytes() const { return bytes_; }

  // Gives back the memory of the positions of tags [0, tag) of an ASCII file:
  // a large drawing is read in file order, and once its records are built the
  // positions of their tags (8 bytes a tag, 42 MB for a 53 MB file) are no
  // longer needed to be at hand. Those tags stay readable: they are found
  // again in the file's text from a position kept for every 16th tag, so
  // nothing a caller sees changes; only looking them up costs a little more.
  // Binary files keep every position (their values are not in the file's text).
  void releasePositionsBefore(std::size_t tag) const;

 private:
  friend TagList readTags(SourceBytes bytes, const std::string& fileName);
  friend class AsciiTagReader;
  friend class BinaryTagReader;

  std::shared_ptr<const void> owner_;  // keeps `bytes_` alive
  std::string_view bytes_;             // the whole file
  std::string arena_;  // binary files: every value in ASCII form, back to back
  std::vector<std::uint32_t, LargeArrayAllocator<std::uint32_t>> arenaStarts_;  // binary files: value i is [i], [i + 1]
  std::vector<TagRef, LargeArrayAllocator<TagRef>> refs_;
  std::uint32_t rawEnd_ = 0;  // end of the last tag's raw form

  // Where the raw form of tag i begins.
  std::uint32_t rawStart(std::size_t i) const { return i >= released_ ? refs_[i].rawStart : findTag(i).start; }
  // A released tag found again in the text: where its code line, its value
  // line and the next tag begin.
  struct FoundTag {
    std::size_t tag = 0;
    std::uint32_t start = 0;
    std::uint32_t valueStart = 0;
    std::uint32_t next = 0;  // 0 while nothing has been found
  };
  const FoundTag& findTag(std::size_t i) const;
  int codeFromText(std::size_t i) const;
  std::uint32_t afterLine(std::uint32_t pos) const;

  // Released positions. These change no value a caller can see, so they are
  // kept beside the tags of a file that is otherwise read only; a tag list is
  // therefore read from one thread at a time, as the host does.
  static constexpr std::size_t kCheckpointEvery = 16;
  mutable std::size_t released_ = 0;  // tags [0, released_) are found from checkpoints
  mutable std::vector<std::uint32_t> checkpoints_;  // raw start of tag k * kCheckpointEvery
  // The last tag found from the text: reading a record's tags in order, or the
  // next record, continues from there instead of from a checkpoint.
  mutable FoundTag found_;
  FileFormat format_ = FileFormat::Ascii;
  BinaryCodeWidth codeWidth_ = BinaryCodeWidth::TwoBytes;
  bool crlf_ = false;
};

// A run of tags: either a span of a read file, shared with it (no copy), or
// tags the host made. A span is written back as the file's own bytes.
class Tags {
 public:
  Tags() = default;
  Tags(std::initializer_list<Tag> tags) : owned_(std::make_unique<std::vector<Tag>>(tags)) {}
  explicit Tags(std::vector<Tag> tags) : owned_(std::make_unique<std::vector<Tag>>(std::move(tags))) {}
  Tags(const Tags& other)
      : file_(other.file_),
        first_(other.first_),
        last_(other.last_),
        rawBegin_(other.rawBegin_),
        rawEnd_(other.rawEnd_),
        owned_(other.owned_ ? std::make_unique<std::vector<Tag>>(*other.owned_) : nullptr) {}
  Tags(Tags&&) noexcept = default;
  Tags& operator=(const Tags& other) {
    if (this != &other) *this = Tags(other);
    return *this;
  }
  Tags& operator=(Tags&&) noexcept = default;
  ~Tags() = default;
  // Tags [first, last) of a read file.
  Tags(std::shared_ptr<const TagList> file, std::size_t first, std::size_t last);

  std::size_t size() const { return file_ ? last_ - first_ : owned_ ? owned_->size() : 0; }
  bool empty() const { return size() == 0; }
  int code(std::size_t i) const { return file_ ? file_->code(first_ + i) : (*owned_)[i].code; }
  std::string_view value(std::size_t i) const {
    return file_ ? file_->value(first_ + i) : std::string_view((*owned_)[i].value);
  }
  Tag operator[](std::size_t i) const { return Tag{code(i), std::string(value(i))}; }
  // Appending turns a span into tags of its own.
  void push_back(Tag tag);

  // The read file this span belongs to and where; null for made tags.
  const TagList* file() const { return file_.get(); }
  std::size_t first() const { return first_; }
  std::size_t last() const { return last_; }
  // The file's bytes that hold a span, as read; empty for made tags.
  std::string_view raw() const {
    return file_ ? file_->bytes().substr(rawBegin_, rawEnd_ - rawBegin_) : std::string_view{};
  }

  class const_iterator {
   public:
    using iterator_category = std::random_access_iterator_tag;
    using value_type = Tag;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = Tag;
    const_iterator() = default;
    const_iterator(const Tags* tags, std::size_t index) : tags_(tags), index_(index) {}
    Tag operator*() const { return (*tags_)[index_]; }
    const_iterator& operator++() { ++index_; return *this; }
    const_iterator operator++(int) { auto old = *this; ++index_; return old; }
    difference_type operator-(const const_iterator& other) const {
      return static_cast<difference_type>(index_) - static_cast<difference_type>(other.index_);
    }
    bool operator==(const const_iterator& other) const { return index_ == other.index_; }
   private:
    const Tags* tags_ = nullptr;
    std::size_t index_ = 0;
  };
  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, size()}; }

  friend bool operator==(const Tags& a, const Tags& b);

 private:
  std::shared_ptr<const TagList> file_;
  std::uint32_t first_ = 0;
  std::uint32_t last_ = 0;
  // Where the span's bytes lie in the file, found while the file is read:
  // saving an unchanged record copies them without looking its tags up.
  std::uint32_t rawBegin_ = 0;
  std::uint32_t rawEnd_ = 0;
  // Tags the host made; held apart so that a span of a read file, which
  // hundreds of thousands of records carry, stays small.
  std::unique_ptr<std::vector<Tag>> owned_;
};

}  // namespace cadhost::dxf
