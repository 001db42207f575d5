// libFuzzer target: any input either reads or is refused with RtfError.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "host/rtf_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    (void)host::ReadRtf(std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const host::RtfError&) {
  }
  return 0;
}
