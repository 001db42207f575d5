// Names of layers, blocks, applications and UCSs compare without regard to
// letter case, as CAD hosts do.
#pragma once

#include <string>
#include <string_view>

namespace cadhost {

// The key a name is compared by: ASCII letters folded to lower case, every
// other byte (UTF-8 sequences included) kept as it is.
std::string FoldName(std::string_view name);
bool SameName(std::string_view a, std::string_view b);

}  // namespace cadhost
