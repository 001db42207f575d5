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
//   dxf_roundtrip new - OUT      a new drawing of the host with a line and a text
//   dxf_roundtrip host IN OUT FILE...     the same kind of edits through the
//                               host object model: append "-H" to every model
//                               space attribute value, add a layer and a text
//                               with extended data and a UCS, insert each drawing file
//                               (path written with `\`), Save As
#include <cstdio>
#include <exception>
#include <string>

#include "cadhost/application.h"
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

void editThroughHost(const std::string& in, const std::string& out, char** files, int count) {
  HostOptions options;
  auto drawingFiles = std::make_shared<dxf::DxfDrawingFiles>();
  options.services.loader = drawingFiles;
  options.services.saver = drawingFiles;
  auto app = HostApplication::Create(options);
  auto doc = app->Documents()->Open(in);
  auto space = doc->ModelSpace();
  for (long i = 0; i < space->Count(); ++i) {
    auto reference = std::dynamic_pointer_cast<cad::BlockReference>(space->Item(i));
    if (!reference || !reference->HasAttributes()) continue;
    for (const auto& attribute : reference->GetAttributes()) attribute->TextString(attribute->TextString() + "-H");
  }
  doc->Layers()->Add("IRR_STATION");
  doc->ActiveUCS(doc->UserCoordinateSystems()->Add(cad::Point3{10, 10, 0}, cad::Point3{11, 10, 0},
                                                  cad::Point3{10, 11, 0}, "SITE_GRID"));
  auto text = space->AddText("12-A", cad::Point3{3, 4, 0}, 2.5);
  text->Layer("IRR_STATION");
  text->SetXData({cad::XDataItem{1001, std::string("Flags")}, cad::XDataItem{1000, std::string("checked")}});
  for (int i = 0; i < count; ++i) {
    std::string path = files[i];
    for (char& c : path)
      if (c == '/') c = '\\';
    space->InsertBlock(cad::Point3{10.0 * i, -20.0, 0}, path, 1, 1, 1, 0);
  }
  doc->SaveAs(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: dxf_roundtrip copy|edit|insert IN OUT [FILE...]\n");
    return 2;
  }
  try {
    if (std::string(argv[1]) == "new") {  // IN is ignored: a new drawing of the host
      HostOptions options;
      auto drawingFiles = std::make_shared<dxf::DxfDrawingFiles>();
      options.services.saver = drawingFiles;
      auto doc = HostApplication::Create(options)->Documents()->Add();
      doc->ModelSpace()->AddLine(cad::Point3{0, 0, 0}, cad::Point3{10, 10, 0});
      doc->ModelSpace()->AddText("12-A", cad::Point3{1, 1, 0}, 2.5);
      doc->SaveAs(argv[3]);
      return 0;
    }
    if (std::string(argv[1]) == "host") {
      editThroughHost(argv[2], argv[3], argv + 4, argc - 4);
      return 0;
    }
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
