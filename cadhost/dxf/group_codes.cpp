#include "cadhost/dxf/group_codes.h"

namespace cadhost::dxf {

namespace {
constexpr bool in(int code, int first, int last) { return code >= first && code <= last; }
}  // namespace

ValueType valueType(int code) {
  if (in(code, 10, 59) || in(code, 110, 149) || in(code, 210, 239) || in(code, 460, 469) ||
      in(code, 1010, 1059))
    return ValueType::Double;
  if (in(code, 60, 79) || in(code, 170, 179) || in(code, 270, 289) || in(code, 370, 389) ||
      in(code, 400, 409) || in(code, 1060, 1070))
    return ValueType::Int16;
  if (in(code, 90, 99) || in(code, 420, 429) || in(code, 440, 459) || code == 1071)
    return ValueType::Int32;
  if (in(code, 160, 169)) return ValueType::Int64;
  if (in(code, 290, 299)) return ValueType::Bool;
  if (in(code, 310, 319) || code == 1004) return ValueType::Binary;
  return ValueType::String;
}

}  // namespace cadhost::dxf
