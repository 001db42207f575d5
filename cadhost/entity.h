// Entities of a drawing: common fields and typed geometry per DXF entity type.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "cadhost/pooled_text.h"
#include "cadhost/record.h"
#include "host/cad.h"

namespace cadhost {

using Point = cad::Point3;

// Extended entity data of one application: the 1001 item names it, `items`
// holds what follows (1000-1071 groups) in file order.
struct ExtendedData {
  std::string application;  // 1001
  cad::XData items;         // without the 1001 item
};

// Fields shared by the text-like entities TEXT, ATTRIB and ATTDEF.
struct TextFields {
  std::string value;               // 1
  Point insertion;                 // 10
  Point alignmentPoint;            // 11 (used unless left/baseline aligned)
  double height = 1.0;             // 40
  double widthFactor = 1.0;        // 41
  double rotation = 0.0;           // 50, radians
  double oblique = 0.0;            // 51, radians
  PooledText style = "Standard";   // 7
  int generation = 0;              // 71: 2 mirrored in x, 4 upside down
  int horizontal = 0;              // 72: 0 left, 1 centre, 2 right, 3 aligned, 4 middle, 5 fit
  int vertical = 0;                // 73 on TEXT, 74 on ATTRIB/ATTDEF: 0 baseline .. 3 top
  Point normal{0, 0, 1};           // 210: 10 and 11 lie in the plane it defines
};

struct TextData {  // TEXT
  TextFields text;
};

struct AttribData {  // ATTRIB: one attribute value of a block reference
  TextFields text;
  PooledText tag;   // 2
  int flags = 0;    // 70: 1 invisible, 2 constant, 4 verify, 8 preset
};

struct AttdefData {  // ATTDEF: an attribute a block asks for
  TextFields text;   // text.value is the default value
  PooledText tag;     // 2
  PooledText prompt;  // 3
  int flags = 0;       // 70: 1 invisible, 2 constant, 4 verify, 8 preset
};

struct MTextData {  // MTEXT
  std::string value;          // 3 (chunks) then 1, joined
  Point insertion;            // 10
  Point direction{1, 0, 0};   // 11, x axis direction
  double height = 1.0;        // 40
  double referenceWidth = 0;  // 41, 0 = no wrapping
  double rotation = 0.0;      // 50, radians (when no 11 is given)
  int attachment = 1;         // 71: 1 top left .. 9 bottom right
  PooledText style = "Standard";   // 7
};

struct InsertData {  // INSERT: a block reference
  PooledText blockName;   // 2
  Point insertion;        // 10
  double xScale = 1.0;    // 41
  double yScale = 1.0;    // 42
  double zScale = 1.0;    // 43
  double rotation = 0.0;  // 50, radians
  int columns = 1;        // 70 (MINSERT)
  int rows = 1;           // 71
  double columnSpacing = 0.0;  // 44
  double rowSpacing = 0.0;     // 45
  Point normal{0, 0, 1};       // 210: 10 lies in the plane it defines (0,0,-1: mirrored)
  // The ATTRIB entities that follow (66 = 1), in order, then their SEQEND.
  std::vector<EntityId> attributes;
  EntityId seqEnd;
};

struct LineData {  // LINE
  Point start;  // 10
  Point end;    // 11
};

struct ArcData {  // ARC
  Point center;              // 10
  double radius = 1.0;       // 40
  double startAngle = 0.0;   // 50, radians
  double endAngle = 0.0;     // 51, radians
  Point normal{0, 0, 1};     // 210: the centre lies in the plane it defines
};

struct CircleData {  // CIRCLE
  Point center;         // 10
  double radius = 1.0;  // 40
  Point normal{0, 0, 1};  // 210: the centre lies in the plane it defines
};

struct LwVertex {
  double x = 0.0;           // 10
  double y = 0.0;           // 20
  double startWidth = 0.0;  // 40
  double endWidth = 0.0;    // 41
  double bulge = 0.0;       // 42
  friend bool operator==(const LwVertex&, const LwVertex&) = default;
};

struct LwPolylineData {  // LWPOLYLINE
  std::vector<LwVertex> vertices;
  int flags = 0;             // 70: 1 closed, 128 linetype generation
  double elevation = 0.0;    // 38
  double constantWidth = 0;  // 43
  Point normal{0, 0, 1};     // 210: the vertices lie in the plane it defines
};

struct PolylineData {  // POLYLINE (2D when flag 8 is clear, 3D when set)
  int flags = 0;         // 70: 1 closed, 8 3D polyline, 16 mesh, 64 face mesh
  Point elevation;       // 10 (z is the elevation of a 2D polyline)
  Point normal{0, 0, 1};  // 210: a 2D polyline's vertices lie in the plane it defines
  std::vector<EntityId> vertices;  // VERTEX entities, in order
  EntityId seqEnd;
};

struct VertexData {  // VERTEX of a POLYLINE
  Point point;         // 10
  double bulge = 0.0;  // 42
  int flags = 0;       // 70
};

struct PointData {  // POINT
  Point point;  // 10
};

struct SeqEndData {};  // SEQEND closing the ATTRIBs or VERTEXes of its owner

// Any entity type the host does not model: kept whole in `source`.
struct OtherData {};

using EntityData = std::variant<InsertData, AttribData, AttdefData, TextData, MTextData,
                                LineData, ArcData, CircleData, LwPolylineData, PolylineData,
                                VertexData, PointData, SeqEndData, OtherData>;

// One entity or sub-entity (ATTRIB, VERTEX, SEQEND) of a drawing.
struct Entity : DxfRecord {
  // In this order the two small fields fill the room the base record leaves.
  bool paperSpace = false;        // 67
  int color = cad::kColorByLayer; // 62
  // Type, layer and linetype repeat over most of a drawing's entities: pooled.
  PooledText type;                // 0: "INSERT", "LWPOLYLINE", ... as the file names it
  PooledText layer = "0";         // 8
  PooledText linetype;            // 6, empty = ByLayer (not written)
  std::vector<ExtendedData> xdata;  // 1001 ..., in file order
  BlockId container;  // the block container holding it; none for sub-entities
  EntityId parent;    // the INSERT or POLYLINE owning a sub-entity
  EntityData data;
};

// The DXF type name of freshly built data ("INSERT" for InsertData, ...);
// empty for OtherData, whose name only its source knows.
std::string DxfTypeName(const EntityData& data);

}  // namespace cadhost
