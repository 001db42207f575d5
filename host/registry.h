// Registry values of the program, kept in the per-user settings store under
// their full path text, e.g. "HKEY_CURRENT_USER\SOFTWARE\Fenwright\Cindral\Blocks Path".
#pragma once

#include <string>

namespace host {

// The registry path of the blocks directory.
inline constexpr const char* kBlocksPathValue =
    "HKEY_CURRENT_USER\\SOFTWARE\\Fenwright\\Cindral\\Blocks Path";

// The value stored under `path`; the empty text when it was never written or
// the store cannot be read. Never shows or throws anything.
std::string ReadRegistryValue(const std::string& path);

// Stores `value` under `path`, creating it when missing. A failure leaves the
// stored value as it was and reports nothing.
void WriteRegistryValue(const std::string& path, const std::string& value);

}  // namespace host
