#include "inventory/blocks_directory.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace inventory {

std::vector<std::string> ListDrawingFileBlocks(const std::string& directory) {
  std::vector<std::string> names;
  std::error_code error;
  std::filesystem::directory_iterator entries(directory, error);
  if (error) return names;
  try {
    for (const auto& entry : entries) {
      if (!entry.is_regular_file(error)) continue;
      const std::string name = entry.path().filename().string();
      if (name.size() < 4) continue;
      std::string extension = name.substr(name.size() - 4);
      std::transform(extension.begin(), extension.end(), extension.begin(),
                     [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
      if (extension == ".dwg") names.push_back(name.substr(0, name.size() - 4));
    }
  } catch (const std::filesystem::filesystem_error&) {
    // A directory that stops being readable part-way keeps the names listed so far.
  }
  return names;
}

}  // namespace inventory
