#include "host/tag_list.h"

namespace host {
namespace {

// Only blanks are trimmed; tabs and other white space belong to the tag.
std::string TrimBlanks(const std::string& text, std::size_t begin, std::size_t end) {
  while (begin < end && text[begin] == ' ') ++begin;
  while (end > begin && text[end - 1] == ' ') --end;
  return text.substr(begin, end - begin);
}

}  // namespace

// "^" is ASCII, so searching the UTF-8 bytes finds exactly the "^" characters.
std::vector<std::string> SplitTagList(const std::string& tagList) {
  std::vector<std::string> tags;
  std::size_t start = 0;
  for (std::size_t caret = tagList.find('^'); caret != std::string::npos;
       caret = tagList.find('^', start)) {
    tags.push_back(TrimBlanks(tagList, start, caret));
    start = caret + 1;
  }
  if (start < tagList.size() || tags.empty()) {
    tags.push_back(TrimBlanks(tagList, start, tagList.size()));
  }
  return tags;
}

void SplitTagList(SharedTagList& shared) { shared.tags = SplitTagList(shared.tagListText); }

}  // namespace host
