#include "cadhost/dxf/tag.h"

namespace cadhost::dxf {

std::string_view TagList::raw(std::size_t first, std::size_t last) const {
  auto startOf = [&](std::size_t i) -> std::size_t {
    return i < refs_.size() ? refs_[i].rawStart : rawEnd_;
  };
  const std::size_t begin = startOf(first);
  return std::string_view(bytes_).substr(begin, startOf(last) - begin);
}

void Tags::push_back(Tag tag) {
  if (file_) {
    std::vector<Tag> own;
    own.reserve(size() + 1);
    for (std::size_t i = 0; i < size(); ++i) own.push_back((*this)[i]);
    owned_ = std::move(own);
    file_.reset();
    first_ = last_ = 0;
  }
  owned_.push_back(std::move(tag));
}

bool operator==(const Tags& a, const Tags& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a.code(i) != b.code(i) || a.value(i) != b.value(i)) return false;
  return true;
}

}  // namespace cadhost::dxf
