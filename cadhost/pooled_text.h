// Short texts that repeat across a drawing's records, kept once.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace cadhost {

// A text held once in a process-wide pool; a record holds only a pointer to it.
//
// A large drawing has hundreds of thousands of entities and attributes that
// repeat a handful of texts: the entity type, the layer, the linetype, the
// text style, the attribute tag, the block name. As `std::string` members
// each costs 32 bytes in every record; pooled it costs 8, and two pooled texts
// compare by pointer. The pool only grows: it holds each distinct text once,
// so it is as large as the different names the drawings opened so far used,
// and a pointer handed out never dangles.
class PooledText {
 public:
  PooledText();
  PooledText(std::string_view text);  // NOLINT: implicit, a pooled text stands in for a string
  PooledText(const char* text) : PooledText(std::string_view(text)) {}
  PooledText(const std::string& text) : PooledText(std::string_view(text)) {}

  const std::string& str() const { return *text_; }
  operator const std::string&() const { return *text_; }
  operator std::string_view() const { return *text_; }
  bool empty() const { return text_->empty(); }
  std::size_t size() const { return text_->size(); }
  const char* c_str() const { return text_->c_str(); }
  std::string::const_iterator begin() const { return text_->begin(); }
  std::string::const_iterator end() const { return text_->end(); }

  // Equal texts are the same pool entry.
  friend bool operator==(const PooledText& a, const PooledText& b) { return a.text_ == b.text_; }
  friend bool operator==(const PooledText& a, std::string_view b) { return *a.text_ == b; }
  friend bool operator==(const PooledText& a, const std::string& b) { return *a.text_ == b; }
  friend bool operator==(const PooledText& a, const char* b) { return *a.text_ == b; }
  friend auto operator<=>(const PooledText& a, const PooledText& b) { return *a.text_ <=> *b.text_; }

 private:
  const std::string* text_;
};

inline std::string operator+(const PooledText& a, std::string_view b) { return a.str() + std::string(b); }
inline std::string operator+(std::string_view a, const PooledText& b) { return std::string(a) + b.str(); }
inline std::string operator+(const PooledText& a, const char* b) { return a.str() + b; }
inline std::string operator+(const char* a, const PooledText& b) { return a + b.str(); }
inline std::string operator+(const PooledText& a, const std::string& b) { return a.str() + b; }
inline std::string operator+(const std::string& a, const PooledText& b) { return a + b.str(); }

}  // namespace cadhost
