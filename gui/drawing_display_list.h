// What the host window draws of a drawing, in a form quick to paint again:
// each entity turned into strokes, points, texts and block placements.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "cadhost/database.h"
#include "cadhost/drawing.h"
#include "cadhost/geometry.h"

namespace gui {

// One drawable piece of an entity, in the coordinates of the block (or model
// space) holding it. Curves are already tessellated; a block reference stays a
// placement of its block's own display list, so each block is built once.
struct DisplayItem {
  enum class Kind { Path, Dot, Text, Reference };
  Kind kind = Kind::Path;
  std::uint32_t layer = 0;             // index into the LAYER table; 0 = none
  bool onLayerZero = false;            // takes the layer of the reference showing it
  int color = cad::kColorByLayer;      // 62 of the entity
  std::vector<cadhost::Point> points;  // Path: vertices; Dot: one; Text: its four corners
  std::string text;                    // Text: lines joined by '\n'
  cadhost::BlockId block;              // Reference: the block placed
  cadhost::Transform placement;        // Reference: block coordinates to these
};

// The display list of one block definition and the box it fills.
struct BlockGraphics {
  std::vector<DisplayItem> items;
  cadhost::Box3 bounds;  // in block coordinates, nested references included
};

// Owns the display lists of one drawing's blocks and top-level entities,
// built on first use. The owner clears it whenever the drawing changes.
class DisplayLists {
 public:
  explicit DisplayLists(const cadhost::Database& db) : db_(db) {}

  const BlockGraphics& Block(cadhost::BlockId id);
  // The items of one top-level entity (a reference and its attribute texts).
  const std::vector<DisplayItem>& Entity(cadhost::EntityId id);
  // The box an item fills, in the coordinates of its holder.
  cadhost::Box3 Bounds(const DisplayItem& item);
  void Clear();

 private:
  void Build(const cadhost::Entity& entity, bool inBlock, std::vector<DisplayItem>& out);

  const cadhost::Database& db_;
  struct CachedBlock {
    bool built = false;
    bool building = false;  // guards a block that shows itself
    BlockGraphics graphics;
  };
  std::vector<CachedBlock> blocks_;  // by block id - 1
  struct CachedEntity {
    bool built = false;
    std::vector<DisplayItem> items;
  };
  std::vector<CachedEntity> entities_;  // by entity id - 1
};

// The box the live model-space entities of a drawing fill, as drawn.
cadhost::Box3 ModelSpaceExtents(cadhost::Drawing& drawing, DisplayLists& lists);

// Appends the points of a polyline segment from `from` to `to`, bowed by the
// bulge (tangent of a quarter of the included angle); `to` itself is added.
void AppendBulgeSegment(const cadhost::Point& from, const cadhost::Point& to, double bulge,
                        std::vector<cadhost::Point>& out);

// The plain text of multi-line text: paragraph breaks become line breaks,
// formatting codes and grouping braces are dropped.
std::string PlainMText(const std::string& value);

}  // namespace gui
