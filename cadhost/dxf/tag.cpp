#include "cadhost/dxf/tag.h"

namespace cadhost::dxf {

std::string_view TagList::raw(std::size_t first, std::size_t last) const {
  auto startOf = [&](std::size_t i) -> std::size_t {
    return i < refs_.size() ? refs_[i].rawStart : rawEnd_;
  };
  const std::size_t begin = startOf(first);
  return bytes_.substr(begin, startOf(last) - begin);
}

std::string_view TagList::value(std::size_t i) const {
  if (format_ == FileFormat::Binary)
    return std::string_view(arena_).substr(arenaStarts_[i], arenaStarts_[i + 1] - arenaStarts_[i]);
  const TagRef& r = refs_[i];
  std::size_t begin = r.rawStart + r.valueSkip;
  if (r.valueSkip == TagRef::kFarValue) {
    const std::size_t newline = bytes_.find('\n', r.rawStart);
    begin = newline == std::string_view::npos ? bytes_.size() : newline + 1;
  }
  std::size_t end = i + 1 < refs_.size() ? refs_[i + 1].rawStart : rawEnd_;
  if (end > begin && bytes_[end - 1] == '\n') --end;
  if (end > begin && bytes_[end - 1] == '\r') --end;
  return bytes_.substr(begin, end - begin);
}

SourceBytes SourceBytes::of(std::string text) {
  auto owned = std::make_shared<const std::string>(std::move(text));
  const std::string_view view = *owned;
  return SourceBytes{std::move(owned), view};
}

void Tags::push_back(Tag tag) {
  if (file_) {
    std::vector<Tag> own;
    own.reserve(size() + 1);
    for (std::size_t i = 0; i < size(); ++i) own.push_back((*this)[i]);
    owned_ = std::make_unique<std::vector<Tag>>(std::move(own));
    file_.reset();
    first_ = last_ = 0;
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
