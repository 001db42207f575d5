#include "cadhost/dxf/tag_reader.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

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
  return readTags(SourceBytes::of(std::move(bytes)), fileName);
}

TagList readTags(SourceBytes source, const std::string& fileName) {
  const std::string_view bytes = source.bytes;
  // Tag positions are 32-bit: far beyond any drawing a person edits.
  if (bytes.size() >= std::numeric_limits<std::uint32_t>::max())
    throw DxfError(fileName + ": the file is larger than 4 GiB");
  if (bytes.empty()) throw DxfError(fileName + ": the file is empty");
  if (bytes.starts_with("AC10"))
    throw DxfError(fileName + ": this is a DWG drawing; the built-in host reads DXF drawings");
  TagList list;
  const bool binary = isBinaryDxf(bytes);
  list.owner_ = std::move(source.owner);
  list.bytes_ = bytes;
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

namespace {

// Closes a file descriptor when it goes out of scope.
struct FileDescriptor {
  int fd = -1;
  ~FileDescriptor() {
    if (fd >= 0) ::close(fd);
  }
};

}  // namespace

SourceBytes mapFileBytes(const std::filesystem::path& path) {
  FileDescriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  if (file.fd < 0) throw DxfError(path.string() + ": cannot open the file: " + std::strerror(errno));
  struct stat info {};
  if (::fstat(file.fd, &info) != 0) throw DxfError(path.string() + ": cannot read the file: " + std::strerror(errno));
  if (S_ISDIR(info.st_mode)) throw DxfError(path.string() + ": is a folder, not a drawing file");
  const auto size = static_cast<std::size_t>(info.st_size);
  if (!S_ISREG(info.st_mode) || size == 0) return SourceBytes::of(readFileBytes(path));
  // Mapped and populated in one call: the pages come straight from the file
  // cache, with no copy and no page fault per page while the tags are read.
  void* data = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, file.fd, 0);
  if (data == MAP_FAILED) return SourceBytes::of(readFileBytes(path));
  std::shared_ptr<const void> owner(data, [size](const void* p) { ::munmap(const_cast<void*>(p), size); });
  return SourceBytes{std::move(owner), std::string_view(static_cast<const char*>(data), size)};
}

}  // namespace cadhost::dxf
