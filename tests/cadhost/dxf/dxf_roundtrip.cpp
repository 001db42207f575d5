// Opens a drawing with the built-in host's DXF side and saves it again, either
// as it is or after typical edits, for the interop checks with an independent
// DXF reader (interop.py).
//
//   dxf_roundtrip copy IN OUT   open and save unchanged
//   dxf_roundtrip edit IN OUT   append "-X" to every attribute value, add a layer,
//                               a text with extended data and a reference with an
//                               attribute, then save
//   dxf_roundtrip insert IN OUT FILE...   insert each drawing file as a block
//                               and place one reference of it, then save
#include <cstdio>
#include <exception>
#include <string>

#include "cadhost/dxf/drawing_files.h"

using namespace cadhost;

namespace {

void edit(Database& db) {
  for (std::uint32_t i = 1; i <= db.EntityCount(); ++i) {
    Entity& entity = db.At(EntityId{i});
    if (auto* attrib = std::get_if<AttribData>(&entity.data); attrib && !entity.erased) {
      attrib->text.value += "-X";
      entity.modified = true;
    }
  }
  if (!db.layers.Find("IRR_STATION")) {
    LayerRecord layer;
    layer.name = "IRR_STATION";
    layer.color = 3;
    layer.handle = db.NewHandle();
    layer.owner = db.layers.head.handle;
    db.layers.Add(layer);
  }
  if (!db.appIds.Find("Flags")) {
    AppIdRecord app;
    app.name = "Flags";
    app.handle = db.NewHandle();
    app.owner = db.appIds.head.handle;
    db.appIds.Add(app);
  }
  Entity text;
  text.layer = "IRR_STATION";
  TextData data;
  data.text.value = "12-A";
  data.text.insertion = {3, 4, 0};
  data.text.height = 2.5;
  text.data = data;
  cad::XDataItem flag;
  flag.code = 1000;
  flag.value = std::string("checked");
  text.xdata.push_back(ExtendedData{"Flags", {flag}});
  db.AddEntity(db.ModelSpace(), text);

  // A reference with one attribute to a block that has an attribute definition.
  for (std::uint32_t b = 1; b <= db.BlockCount(); ++b) {
    const BlockDefinition& block = db.Block(BlockId{b});
    if (block.layout || block.erased || block.IsAnonymous() || block.IsXref()) continue;
    for (EntityId e : block.entities) {
      const auto* attdef = std::get_if<AttdefData>(&db.At(e).data);
      if (!attdef) continue;
      Entity insert;
      InsertData reference;
      reference.blockName = block.name;
      reference.insertion = {50, 50, 0};
      insert.data = reference;
      const EntityId id = db.AddEntity(db.ModelSpace(), insert);
      Entity attrib;
      AttribData value;
      value.tag = attdef->tag;
      value.text = attdef->text;
      value.text.value = "NEW";
      attrib.data = value;
      db.AddSubEntity(id, attrib);
      return;
    }
  }
}

// One reference to `block` at `at`, with an attribute per non-constant definition.
void placeReference(Database& db, BlockId block, const Point& at) {
  Entity insert;
  InsertData reference;
  reference.blockName = db.Block(block).name;
  reference.insertion = at;
  insert.data = reference;
  const EntityId id = db.AddEntity(db.ModelSpace(), insert);
  for (EntityId e : db.Block(block).entities) {
    const auto* attdef = std::get_if<AttdefData>(&db.At(e).data);
    if (!attdef || (attdef->flags & 2)) continue;
    Entity attrib;
    AttribData value;
    value.tag = attdef->tag;
    value.text = attdef->text;
    attrib.data = value;
    db.AddSubEntity(id, attrib);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: dxf_roundtrip copy|edit|insert IN OUT [FILE...]\n");
    return 2;
  }
  try {
    dxf::DxfDrawingFiles files;
    auto db = files.Open(argv[2]);
    if (std::string(argv[1]) == "edit") edit(*db);
    for (int i = 4; i < argc; ++i)
      placeReference(*db, files.InsertAsBlock(*db, argv[i]), Point{10.0 * i, -10.0, 0.0});
    files.Save(*db, argv[3]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}
