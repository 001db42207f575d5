#include "cadhost/dxf/tag.h"

#include <sys/mman.h>

#include <algorithm>
#include <charconv>
#include <cstring>

namespace cadhost::dxf {

std::string_view TagList::raw(std::size_t first, std::size_t last) const {
  auto startOf = [&](std::size_t i) -> std::size_t { return i < refs_.size() ? rawStart(i) : rawEnd_; };
  const std::size_t begin = startOf(first);
  return bytes_.substr(begin, startOf(last) - begin);
}

std::string_view TagList::value(std::size_t i) const {
  if (format_ == FileFormat::Binary)
    return std::string_view(arena_).substr(arenaStarts_[i], arenaStarts_[i + 1] - arenaStarts_[i]);
  std::size_t begin = 0;
  std::size_t end = 0;
  if (i >= released_) {
    const TagRef& r = refs_[i];
    begin = r.valueSkip == TagRef::kFarValue ? afterLine(r.rawStart) : r.rawStart + r.valueSkip;
    end = i + 1 < refs_.size() ? rawStart(i + 1) : rawEnd_;
  } else {
    const FoundTag& found = findTag(i);
    begin = found.valueStart;
    end = std::min(found.next, rawEnd_);
  }
  if (end > begin && bytes_[end - 1] == '\n') --end;
  if (end > begin && bytes_[end - 1] == '\r') --end;
  return bytes_.substr(begin, end - begin);
}

std::uint32_t TagList::afterLine(std::uint32_t pos) const {
  // Lines of a DXF file are a few bytes: a plain loop beats a library call.
  const char* text = bytes_.data();
  const std::size_t size = bytes_.size();
  while (pos < size && text[pos] != '\n') ++pos;
  return static_cast<std::uint32_t>(pos < size ? pos + 1 : size);
}

const TagList::FoundTag& TagList::findTag(std::size_t i) const {
  if (found_.tag == i && found_.next != 0) return found_;
  std::uint32_t start = 0;
  if (found_.next != 0 && found_.tag + 1 == i) {
    start = found_.next;  // the tag after the last one found: the usual case
  } else {
    // Each ASCII tag is two lines: walk forward from the nearest known start.
    std::size_t tag = i / kCheckpointEvery * kCheckpointEvery;
    start = checkpoints_[i / kCheckpointEvery];
    if (found_.next != 0 && found_.tag < i && found_.tag > tag) {
      tag = found_.tag + 1;
      start = found_.next;
    }
    for (; tag < i; ++tag) start = afterLine(afterLine(start));
  }
  const std::uint32_t valueStart = afterLine(start);
  found_ = FoundTag{i, start, valueStart, afterLine(valueStart)};
  return found_;
}

int TagList::codeFromText(std::size_t i) const {
  // The reader checked every group code when the file was read.
  const FoundTag& found = findTag(i);
  std::string_view line = bytes_.substr(found.start, found.valueStart - found.start);
  const std::size_t first = line.find_first_not_of(" \t");
  line = first == std::string_view::npos ? std::string_view{} : line.substr(first);
  int code = 0;
  std::from_chars(line.data(), line.data() + line.size(), code);
  return code;
}

void TagList::releasePositionsBefore(std::size_t tag) const {
  tag = std::min(tag, refs_.size());
  if (format_ == FileFormat::Binary || tag <= released_) return;
  if (checkpoints_.empty()) {
    checkpoints_.reserve(refs_.size() / kCheckpointEvery + 1);
    for (std::size_t k = 0; k < refs_.size(); k += kCheckpointEvery) checkpoints_.push_back(refs_[k].rawStart);
  }
  // Whole huge pages of the position array go back to the system; an array
  // that small lives on the heap, and only stops being looked at.
  const std::size_t arrayBytes = refs_.capacity() * sizeof(TagRef);
  if (arrayBytes >= kHugePageBytes) {
    auto* base = reinterpret_cast<std::byte*>(const_cast<TagRef*>(refs_.data()));
    const std::size_t from = released_ * sizeof(TagRef) / kHugePageBytes * kHugePageBytes;
    const std::size_t to = tag * sizeof(TagRef) / kHugePageBytes * kHugePageBytes;
    if (to > from) ::madvise(base + from, to - from, MADV_DONTNEED);
  }
  released_ = tag;
}

SourceBytes SourceBytes::of(std::string text) {
  auto owned = std::make_shared<const std::string>(std::move(text));
  const std::string_view view = *owned;
  return SourceBytes{std::move(owned), view};
}

Tags::Tags(std::shared_ptr<const TagList> file, std::size_t first, std::size_t last)
    : file_(std::move(file)), first_(static_cast<std::uint32_t>(first)), last_(static_cast<std::uint32_t>(last)) {
  const std::string_view bytes = file_->raw(first, last);
  rawBegin_ = static_cast<std::uint32_t>(bytes.data() - file_->bytes().data());
  rawEnd_ = rawBegin_ + static_cast<std::uint32_t>(bytes.size());
}

void Tags::push_back(Tag tag) {
  if (file_) {
    std::vector<Tag> own;
    own.reserve(size() + 1);
    for (std::size_t i = 0; i < size(); ++i) own.push_back((*this)[i]);
    owned_ = std::make_unique<std::vector<Tag>>(std::move(own));
    file_.reset();
    first_ = last_ = rawBegin_ = rawEnd_ = 0;
  }
  if (!owned_) owned_ = std::make_unique<std::vector<Tag>>();
  owned_->push_back(std::move(tag));
}

bool operator==(const Tags& a, const Tags& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a.code(i) != b.code(i) || a.value(i) != b.value(i)) return false;
  return true;
}

}  // namespace cadhost::dxf
