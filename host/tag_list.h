// Splitting a block's attribute tag list ("TAG1^TAG2^TAG3", or the sentinel
// "asdf42" for a block without attributes) into its tags.
#pragma once

#include <string>
#include <vector>

namespace host {

// Stands for "no attributes" in a tag list, and for a value not yet found.
inline constexpr const char* kNoTagsSentinel = "asdf42";

// The tags between the "^" separators, each trimmed of blanks at both ends.
// Always at least one element: the empty text gives one empty tag. A leading
// "^" gives an empty first tag; a trailing "^" adds nothing after it.
std::vector<std::string> SplitTagList(const std::string& tagList);

// The shared tag-list text and tag array of the main work window: the editing
// code copies a grid row's tag list into `tagListText`, and each
// `SplitTagList` call refills `tags` from it.
struct SharedTagList {
  std::string tagListText;
  std::vector<std::string> tags{std::string()};
};

void SplitTagList(SharedTagList& shared);

}  // namespace host
