#include "inventory/blocks_directory.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>
#include <unordered_map>
#include <utility>

namespace inventory {
namespace {

std::string Lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

}  // namespace

std::vector<std::string> ListDrawingFileBlocks(const std::string& directory) {
  std::vector<std::string> names;
  // Lowered name -> its place in `names`, and whether a DWG file gave it:
  // NAME.dwg and name.DXF are one block, spelt as the DWG is (it is the one
  // inserted).
  std::unordered_map<std::string, std::pair<std::size_t, bool>> listed;
  std::error_code error;
  std::filesystem::directory_iterator entries(directory, error);
  if (error) return names;
  try {
    for (const auto& entry : entries) {
      if (!entry.is_regular_file(error)) continue;
      const std::string name = entry.path().filename().string();
      if (name.size() < 4) continue;
      const std::string extension = Lowered(name.substr(name.size() - 4));
      if (extension != ".dwg" && extension != ".dxf") continue;
      std::string block = name.substr(0, name.size() - 4);
      const bool dwg = extension == ".dwg";
      auto [place, added] = listed.try_emplace(Lowered(block), names.size(), dwg);
      if (added) {
        names.push_back(std::move(block));
      } else if (dwg && !place->second.second) {
        names[place->second.first] = std::move(block);
        place->second.second = true;
      }
    }
  } catch (const std::filesystem::filesystem_error&) {
    // A directory that stops being readable part-way keeps the names listed so far.
  }
  return names;
}

}  // namespace inventory
