// libFuzzer target for the DXF reader: any bytes must either read as a
// drawing or fail with a DxfError, never crash, hang or run out of memory.
// A drawing that reads and ends with EOF must write back byte for byte, unless
// its entities name layers its table lacks: those are added to the table, and
// what is written then must read and write back byte for byte itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "cadhost/dxf/drawing_reader.h"
#include "cadhost/dxf/drawing_writer.h"
#include "cadhost/dxf/error.h"
#include "cadhost/dxf/file_state.h"
#include "cadhost/dxf/tag_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace cadhost::dxf;
  std::string bytes(reinterpret_cast<const char*>(data), size);
  try {
    auto tags = std::make_shared<const TagList>(readTags(bytes, "fuzz.dxf"));
    const bool endsWithEof =
        !tags->empty() && tags->code(tags->size() - 1) == 0 && tags->value(tags->size() - 1) == "EOF";
    auto db = readDrawing(tags, "fuzz.dxf");
    const std::string written = writeDrawing(*db);
    const auto* state = static_cast<const FileState*>(db->unmodelled.dxfState.get());
    if (!endsWithEof) return 0;
    if (state->madeLayers.empty()) {
      if (written != bytes) std::abort();  // an unchanged drawing lost or changed bytes
    } else {
      auto again = std::make_shared<const TagList>(readTags(written, "fuzz.dxf"));
      if (writeDrawing(*readDrawing(again, "fuzz.dxf")) != written) std::abort();
    }
  } catch (const DxfError&) {
  }
  return 0;
}
