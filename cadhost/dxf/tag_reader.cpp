#include "cadhost/dxf/tag_reader.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <limits>

#include "cadhost/dxf/error.h"

namespace cadhost::dxf {

void readAsciiTags(TagList& list, const std::string& fileName);
void readBinaryTags(TagList& list, const std::string& fileName);

bool isBinaryDxf(std::string_view bytes) { return bytes.starts_with(kBinarySentinel); }

TagList readTags(std::string bytes, const std::string& fileName) {
  // Tag positions are 32-bit: far beyond any drawing a person edits.
  if (bytes.size() >= std::numeric_limits<std::uint32_t>::max())
    throw DxfError(fileName + ": the file is larger than 4 GiB");
  if (bytes.empty()) throw DxfError(fileName + ": the file is empty");
  if (bytes.starts_with("AC10"))
    throw DxfError(fileName + ": this is a DWG drawing; the built-in host reads DXF drawings");
  TagList list;
  const bool binary = isBinaryDxf(bytes);
  list.bytes_ = std::move(bytes);
  if (binary)
    readBinaryTags(list, fileName);
  else
    readAsciiTags(list, fileName);
  return list;
}

std::string readFileBytes(const std::filesystem::path& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec))
    throw DxfError(path.string() + ": is a folder, not a drawing file");
  std::ifstream in(path, std::ios::binary);
  if (!in) throw DxfError(path.string() + ": cannot open the file: " + std::strerror(errno));
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  in.seekg(0, std::ios::beg);
  if (size < 0) throw DxfError(path.string() + ": cannot read the file");
  std::string bytes(static_cast<std::size_t>(size), '\0');
  in.read(bytes.data(), size);
  if (in.gcount() != size) throw DxfError(path.string() + ": cannot read the file");
  return bytes;
}

}  // namespace cadhost::dxf
