// Failure descriptions the host gives in more than one place.
#pragma once

#include <string>

#include "host/cad.h"

namespace cadhost {

inline constexpr const char* kObjectErased = "Object was erased";
inline constexpr const char* kDrawingClosed = "The drawing has been closed";
inline constexpr const char* kIndexOutOfRange = "Index out of range";

[[noreturn]] inline void Fail(const std::string& description) { throw cad::HostError(description); }

// Checks a name for a layer, block, UCS or application: not empty, at most 255
// characters, none of < > / \ " : ; ? * | = `. Fails naming the `what` and the name.
void CheckSymbolName(const std::string& name, const std::string& what);

}  // namespace cadhost
