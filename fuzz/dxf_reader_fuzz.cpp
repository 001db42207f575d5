// libFuzzer target for the DXF reader: any bytes must either read as a
// drawing or fail with a DxfError, never crash, hang or run out of memory.
// A drawing that reads and ends with EOF must write back byte for byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "cadhost/dxf/drawing_reader.h"
#include "cadhost/dxf/drawing_writer.h"
#include "cadhost/dxf/error.h"
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
    if (endsWithEof && written != bytes) std::abort();  // an unchanged drawing lost or changed bytes
  } catch (const DxfError&) {
  }
  return 0;
}
