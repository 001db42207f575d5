// The error every DXF reading and writing step reports.
#pragma once

#include <stdexcept>
#include <string>

namespace cadhost::dxf {

// A drawing that cannot be read or written. The message names the file, where
// in it the fault is (line or byte offset) and what is wrong, ready to show.
class DxfError : public std::runtime_error {
 public:
  explicit DxfError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace cadhost::dxf
