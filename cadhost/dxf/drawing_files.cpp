#include "cadhost/dxf/drawing_files.h"

#include "cadhost/dxf/group_codes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <optional>

#include "cadhost/dxf/drawing_reader.h"
#include "cadhost/dxf/drawing_writer.h"
#include "cadhost/dxf/error.h"
#include "cadhost/dxf/tag_reader.h"
#include "cadhost/names.h"

namespace cadhost::dxf {

namespace fs = std::filesystem;

namespace {

// The entry of `folder` whose name matches `name` without regard to case.
std::optional<fs::path> findIgnoringCase(const fs::path& folder, const std::string& name) {
  std::error_code ec;
  for (fs::directory_iterator it(folder.empty() ? "." : folder, ec), end; !ec && it != end; it.increment(ec))
    if (SameName(it->path().filename().string(), name)) return folder / it->path().filename();
  return std::nullopt;
}

std::unique_ptr<Database> openDrawing(const std::string& path) {
  const fs::path file = resolveDrawingPath(path);
  std::error_code ec;
  if (!fs::exists(file, ec)) throw cad::HostError("Drawing file not found: " + path);
  return readDxfFile(file, path);
}

// Copies the entities of one block of a drawing file into a new block of the
// target, importing the blocks, layers and applications they use.
class BlockImporter {
 public:
  BlockImporter(Database& target, const Database& source) : target_(target), source_(source) {}

  BlockId import(const std::string& name, BlockId from, const Point& base) {
    if (BlockId existing = target_.FindBlock(name)) return existing;
    BlockDefinition block;
    block.name = name;
    block.base = base;
    block.flags = source_.Block(from).flags & ~(kBlockXref | kBlockXrefOverlay | kBlockExternallyDependent);
    if (from == source_.ModelSpace()) block.flags = 0;
    if (target_.header.acadVer > "AC1009") {
      BlockRecordEntry record;
      record.name = name;
      record.handle = target_.NewHandle();
      record.owner = target_.blockRecords.head.handle;
      block.owner = record.handle;
      block.recordIndex = target_.blockRecords.Add(std::move(record));
    }
    block.endHandle = target_.NewHandle();
    const BlockId id = target_.AddBlock(std::move(block));
    if (auto index = target_.Block(id).recordIndex) target_.blockRecords.At(index).block = id;
    for (EntityId e : source_.Block(from).entities) copyEntity(id, e);
    return id;
  }

 private:
  Entity fresh(const Entity& original) {
    Entity copy = original;
    copy.handle = 0;
    copy.owner = 0;
    copy.container = {};
    copy.parent = {};
    copy.paperSpace = false;
    copy.modified = true;
    // Between two drawings of R13 or newer the copy keeps every group of the
    // entity, modelled fields rewritten from the copy; into or from R12 the
    // modelled types are written from their fields alone.
    const bool bothModern = target_.header.acadVer > "AC1009" && source_.header.acadVer > "AC1009";
    if (copy.source && (bothModern || std::holds_alternative<OtherData>(copy.data))) {
      copy.source = PortableTags(*copy.source);
    } else {
      copy.source.reset();
    }
    if (auto* insert = std::get_if<InsertData>(&copy.data)) {
      insert->attributes.clear();
      insert->seqEnd = {};
    } else if (auto* polyline = std::get_if<PolylineData>(&copy.data)) {
      polyline->vertices.clear();
      polyline->seqEnd = {};
    }
    useLayer(copy.layer);
    for (const ExtendedData& data : copy.xdata) useApplication(data.application);
    return copy;
  }

  // An entity's tags without the handles that point into the drawing file it
  // came from (its own handle, reactors, extension dictionaries and every
  // pointer group): they would name objects the target does not have. The
  // groups it carries otherwise (lineweight 370, true colour 420, transparency
  // 440, its normal 210, ...) stay as they are.
  static Tags PortableTags(const Tags& source) {
    std::vector<Tag> kept;
    kept.reserve(source.size());
    for (std::size_t i = 0; i < source.size(); ++i) {
      const int code = source.code(i);
      if (code == codes::kAppData && source.value(i).starts_with('{')) {
        while (i + 1 < source.size() && !(source.code(i + 1) == codes::kAppData && source.value(i + 1) == "}")) ++i;
        ++i;  // past the closing "}"
        continue;
      }
      if (IsHandleGroup(code)) continue;
      kept.push_back(source[i]);
    }
    return Tags(std::move(kept));
  }

  static bool IsHandleGroup(int code) {
    return code == codes::kHandle || code == codes::kDimStyleHandle ||
           (code >= 320 && code <= 369) ||  // 330 owner, soft and hard pointers and owners
           (code >= 390 && code <= 399) ||  // plot style and material pointers
           code == 480 || code == 481;      // hard pointers
  }

  void copyEntity(BlockId container, EntityId id) {
    const Entity& original = source_.At(id);
    if (original.erased) return;
    if (const auto* insert = std::get_if<InsertData>(&original.data))
      if (BlockId used = source_.FindBlock(insert->blockName); used && !source_.Block(used).layout)
        import(source_.Block(used).name, used, source_.Block(used).base);
    const EntityId copy = target_.AddEntity(container, fresh(original));
    std::vector<EntityId> children;
    EntityId seqEnd;
    if (const auto* insert = std::get_if<InsertData>(&original.data)) {
      children = insert->attributes;
      seqEnd = insert->seqEnd;
    } else if (const auto* polyline = std::get_if<PolylineData>(&original.data)) {
      children = polyline->vertices;
      seqEnd = polyline->seqEnd;
    }
    if (seqEnd) children.push_back(seqEnd);
    for (EntityId child : children)
      if (!source_.At(child).erased) target_.AddSubEntity(copy, fresh(source_.At(child)));
  }

  void useLayer(const std::string& name) {
    if (target_.layers.Find(name)) return;
    LayerRecord layer;
    if (const LayerRecord* original = source_.layers.FindRecord(name)) layer = *original;
    layer.name = name;
    layer.source.reset();
    layer.modified = true;
    layer.erased = false;
    layer.handle = target_.NewHandle();
    layer.owner = target_.layers.head.handle;
    target_.layers.Add(std::move(layer));
  }

  void useApplication(const std::string& name) {
    if (target_.appIds.Find(name)) return;
    AppIdRecord app;
    app.name = name;
    app.modified = true;
    app.handle = target_.NewHandle();
    app.owner = target_.appIds.head.handle;
    target_.appIds.Add(std::move(app));
  }

  Database& target_;
  const Database& source_;
};

// Writes every piece with as few system calls as the pieces allow: spans of
// the read file go from the bytes loaded at open to the new file without a copy
// in between.
void writeAll(int fd, const Pieces& pieces, const fs::path& path) {
  std::vector<iovec> batch;
  std::size_t next = 0;  // first piece not yet in a batch
  while (true) {
    while (batch.size() < IOV_MAX && next < pieces.size()) {
      const std::string_view piece = pieces[next++];
      if (!piece.empty()) batch.push_back(iovec{const_cast<char*>(piece.data()), piece.size()});
    }
    if (batch.empty()) break;
    const ssize_t n = ::writev(fd, batch.data(), static_cast<int>(batch.size()));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw cad::HostError("Cannot write " + path.string() + ": " + std::strerror(errno));
    // Drop what was written; a piece written in part keeps its rest.
    auto done = static_cast<std::size_t>(n);
    std::size_t whole = 0;
    while (whole < batch.size() && done >= batch[whole].iov_len) done -= batch[whole++].iov_len;
    batch.erase(batch.begin(), batch.begin() + static_cast<std::ptrdiff_t>(whole));
    if (done > 0) {
      batch.front().iov_base = static_cast<char*>(batch.front().iov_base) + done;
      batch.front().iov_len -= done;
    }
  }
  if (::fsync(fd) != 0) throw cad::HostError("Cannot flush " + path.string() + " to disk: " + std::strerror(errno));
}

}  // namespace

std::unique_ptr<Database> readDxfFile(const fs::path& file, const std::string& shownName) {
  try {
    SourceBytes bytes = loadFileBytes(file);
    if (bytes.bytes.starts_with("AC10"))
      throw cad::HostError(shownName + " is a DWG drawing; the built-in host reads DXF drawings only");
    auto tags = std::make_shared<const TagList>(readTags(std::move(bytes), file.string()));
    return readDrawing(std::move(tags), file.string());
  } catch (const DxfError& e) {
    throw cad::HostError(e.what());
  }
}

std::string blockNameOfFile(const std::string& path) {
  std::string text = path;
  std::replace(text.begin(), text.end(), '\\', '/');
  const std::string name = fs::path(text).stem().string();
  if (name.empty()) throw cad::HostError("Not a drawing file name: " + path);
  return name;
}

BlockId importModelSpaceAsBlock(Database& target, const Database& source, const std::string& name,
                                const std::string& path) {
  if (!source.ModelSpace()) throw cad::HostError(path + " has no model space");
  return BlockImporter(target, source).import(name, source.ModelSpace(), source.header.insBase);
}

fs::path resolveDrawingPath(const std::string& path) {
  std::string text = path;
  std::replace(text.begin(), text.end(), '\\', '/');
  const fs::path written(text);
  std::error_code ec;
  if (fs::exists(written, ec)) return written;
  // Walk the path, matching each missing part without regard to case.
  fs::path resolved;
  for (const fs::path& part : written) {
    fs::path next = resolved / part;
    if (!fs::exists(next, ec)) {
      auto match = findIgnoringCase(resolved, part.string());
      if (!match) return written;
      next = *match;
    }
    resolved = next;
  }
  return resolved;
}

std::unique_ptr<Database> DxfDrawingFiles::Open(const std::string& path) { return openDrawing(path); }

BlockId DxfDrawingFiles::InsertAsBlock(Database& target, const std::string& path) {
  const std::string name = blockNameOfFile(path);
  if (BlockId existing = target.FindBlock(name)) return existing;
  const auto source = openDrawing(path);
  return importModelSpaceAsBlock(target, *source, name, path);
}

void DxfDrawingFiles::Save(const Database& drawing, const std::string& path) {
  const fs::path target = resolveDrawingPath(path);
  Pieces bytes;
  try {
    bytes = writeDrawingPieces(drawing);
  } catch (const DxfError& e) {
    throw cad::HostError("Cannot save " + path + ": " + e.what());
  }
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  std::string temp = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) throw cad::HostError("Cannot save " + path + ": " + std::strerror(errno));
  bool open = true;
  try {
    // mkstemp makes the file readable by its owner only; the saved drawing
    // keeps the permissions of the file it replaces, or gets those of any new
    // file (0666 less the umask).
    struct stat existing {};
    mode_t mode = 0;
    if (::stat(target.c_str(), &existing) == 0) {
      mode = existing.st_mode & 07777;
    } else {
      const mode_t mask = ::umask(0);
      ::umask(mask);
      mode = 0666 & ~mask;
    }
    if (::fchmod(fd, mode) != 0)
      throw cad::HostError("Cannot save " + path + ": " + std::strerror(errno));
    writeAll(fd, bytes, target);
    open = false;
    if (::close(fd) != 0) throw cad::HostError("Cannot save " + path + ": " + std::strerror(errno));
    std::error_code ec;
    if (fs::exists(target, ec)) {
      // The previous file stays as NAME.bak; the rename below replaces the
      // drawing in one step, so a reader never sees a half-written file.
      fs::path backup = target;
      backup.replace_extension(".bak");
      fs::remove(backup, ec);
      if (::link(target.c_str(), backup.c_str()) != 0) fs::copy_file(target, backup, ec);
    }
    if (::rename(temp.c_str(), target.c_str()) != 0)
      throw cad::HostError("Cannot save " + path + ": " + std::strerror(errno));
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
      ::fsync(dir);
      ::close(dir);
    }
  } catch (...) {
    if (open) ::close(fd);
    ::unlink(temp.c_str());
    throw;
  }
}

}  // namespace cadhost::dxf
