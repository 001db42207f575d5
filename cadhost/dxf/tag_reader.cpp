#include "cadhost/dxf/tag_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <limits>

#include "cadhost/dxf/error.h"
#include "cadhost/large_arrays.h"

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

SourceBytes loadFileBytes(const std::filesystem::path& path) {
  FileDescriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  if (file.fd < 0) throw DxfError(path.string() + ": cannot open the file: " + std::strerror(errno));
  struct stat info {};
  if (::fstat(file.fd, &info) != 0) throw DxfError(path.string() + ": cannot read the file: " + std::strerror(errno));
  if (S_ISDIR(info.st_mode)) throw DxfError(path.string() + ": is a folder, not a drawing file");
  const auto size = static_cast<std::size_t>(info.st_size);
  if (!S_ISREG(info.st_mode) || size == 0) return SourceBytes::of(readFileBytes(path));
  // The bytes are copied, not mapped: the open drawing keeps its unchanged
  // records as these bytes until it is saved, and a mapping would change (or
  // fault) when another program rewrote or truncated the file meanwhile.
  // Huge pages keep the copy cheap (fresh small pages cost more than reading).
  char* buffer = static_cast<char*>(AllocateLarge(size));
  std::shared_ptr<const void> owner(buffer, [size](const void* p) { FreeLarge(const_cast<void*>(p), size); });
  std::size_t done = 0;
  while (done < size) {
    const ssize_t read = ::read(file.fd, buffer + done, size - done);
    if (read < 0 && errno == EINTR) continue;
    if (read < 0) throw DxfError(path.string() + ": cannot read the file: " + std::strerror(errno));
    if (read == 0) break;  // the file shrank while it was read: what it holds now is read
    done += static_cast<std::size_t>(read);
  }
  return SourceBytes{std::move(owner), std::string_view(buffer, done)};
}

}  // namespace cadhost::dxf
