// What kind of value each DXF group code carries.
#pragma once

namespace cadhost::dxf {

// The binary DXF storage of a group code's value; ASCII files write every kind
// as text.
enum class ValueType { String, Double, Int16, Int32, Int64, Bool, Binary };

ValueType valueType(int code);

// Group codes with a meaning of their own in every record.
namespace codes {
inline constexpr int kStructure = 0;       // record type, or SECTION/ENDSEC/EOF
inline constexpr int kName = 2;            // section, table, block name
inline constexpr int kHeaderVariable = 9;  // $NAME in the HEADER section
inline constexpr int kHandle = 5;
inline constexpr int kDimStyleHandle = 105;  // DIMSTYLE entries keep their handle here
inline constexpr int kSubclass = 100;
inline constexpr int kAppData = 102;       // "{APP" ... "}"
inline constexpr int kOwner = 330;
inline constexpr int kXDataApp = 1001;
inline constexpr int kComment = 999;  // a writer's comment line, anywhere in the file
inline constexpr int kTrueColor = 420;     // an entity's own 24-bit colour
inline constexpr int kTransparency = 440;  // an entity's own transparency
}  // namespace codes

}  // namespace cadhost::dxf
