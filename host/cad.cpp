#include "host/cad.h"

namespace cad {

namespace {
[[noreturn]] void NotSupported() {
  throw HostError("Object doesn't support this property or method");
}
}  // namespace

bool Entity::Closed() const { NotSupported(); }
std::vector<double> Entity::Coordinates() const { NotSupported(); }
std::string Entity::TextString() const { NotSupported(); }
void Entity::TextString(const std::string&) { NotSupported(); }

}  // namespace cad
