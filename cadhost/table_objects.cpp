#include "cadhost/table_objects.h"

#include <cmath>

#include "cadhost/document.h"
#include "cadhost/entity_objects.h"
#include "cadhost/errors.h"
#include "cadhost/names.h"

namespace cadhost {

namespace {

// Runs `edit` as one undo step; a failure half way takes back what it did.
template <class F>
auto AsOneStep(Drawing& drawing, F edit) {
  drawing.journal().StartMark();
  try {
    auto result = edit();
    drawing.journal().EndMark();
    return result;
  } catch (...) {
    drawing.journal().CancelMark();
    throw;
  }
}

void CheckPoint(const cad::Point3& p) {
  if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) Fail("Invalid point");
}

class BlockObject : public cad::Block {
 public:
  BlockObject(std::shared_ptr<HostDocument> document, BlockId id)
      : document_(std::move(document)), id_(id) {}

  std::string ObjectName() const override {
    Read();
    return "AcDbBlockTableRecord";
  }
  std::string Handle() const override {
    const BlockDefinition& block = Read();
    const Database& db = document_->drawing().db();
    return HandleText(block.recordIndex ? db.blockRecords.At(block.recordIndex).handle : block.handle);
  }
  std::string Name() const override { return Read().name; }
  bool IsLayout() const override { return Read().layout; }
  bool IsXRef() const override { return Read().IsXref(); }
  cad::Point3 Origin() const override { return Read().base; }
  long Count() const override {
    Read();
    return static_cast<long>(document_->drawing().LiveEntities(id_).size());
  }
  cad::EntityPtr Item(long index) const override {
    Read();
    const auto& live = document_->drawing().LiveEntities(id_);
    if (index < 0 || static_cast<std::size_t>(index) >= live.size()) Fail(kIndexOutOfRange);
    return MakeEntityObject(document_, live[static_cast<std::size_t>(index)]);
  }

  cad::BlockReferencePtr InsertBlock(const cad::Point3& insertionPoint, const std::string& name,
                                     double xScale, double yScale, double zScale,
                                     double rotation) override {
    Read();
    CheckPoint(insertionPoint);
    for (double scale : {xScale, yScale, zScale})
      if (scale == 0 || !std::isfinite(scale)) Fail("Invalid scale factor");
    if (!std::isfinite(rotation)) Fail("Invalid rotation");
    Drawing& drawing = document_->drawing();
    EntityId id = AsOneStep(drawing, [&] {
      BlockId block = NamesDrawingFile(name) ? LoadDrawingFile(name) : drawing.db().FindBlock(name);
      if (!block) Fail("Block \"" + name + "\" not found in the drawing");
      if (BlockShows(drawing.db(), block, id_))
        Fail("Block \"" + name + "\" cannot be inserted into itself");
      if (drawing.db().Block(block).layout) Fail("\"" + name + "\" is a layout, not a block");
      return InsertReference(drawing, block, insertionPoint, xScale, yScale, zScale, rotation);
    });
    return std::dynamic_pointer_cast<cad::BlockReference>(MakeEntityObject(document_, id));
  }

  cad::TextPtr AddText(const std::string& text, const cad::Point3& insertionPoint,
                       double height) override {
    Read();
    CheckPoint(insertionPoint);
    if (!(height > 0) || !std::isfinite(height)) Fail("Invalid text height");
    TextData data;
    data.text.value = text;
    data.text.insertion = insertionPoint;
    data.text.height = height;
    return std::dynamic_pointer_cast<cad::Text>(Add(std::move(data)));
  }

  cad::AttributeDefinitionPtr AddAttribute(double height, int mode, const std::string& prompt,
                                           const cad::Point3& insertionPoint,
                                           const std::string& tag,
                                           const std::string& value) override {
    Read();
    CheckPoint(insertionPoint);
    if (!(height > 0) || !std::isfinite(height)) Fail("Invalid text height");
    if (tag.empty() || tag.find_first_of(" \t") != std::string::npos)
      Fail("Invalid attribute tag \"" + tag + "\": a tag is not empty and holds no spaces");
    if (mode < 0 || mode > 15) Fail("Invalid attribute mode " + std::to_string(mode));
    AttdefData data;
    data.text.value = value;
    data.text.insertion = insertionPoint;
    data.text.height = height;
    data.tag = tag;
    data.prompt = prompt;
    data.flags = mode;
    Drawing& drawing = document_->drawing();
    return AsOneStep(drawing, [&] {
      // BLOCK flag 70 bit 2 must be set when the block has non-constant
      // ATTDEFs, or other CAD programs treat it as having no attributes.
      if ((mode & 2) == 0 && !Read().layout && (Read().flags & kBlockHasAttributes) == 0)
        drawing.ChangeBlock(id_, [](BlockDefinition& b) { b.flags |= kBlockHasAttributes; });
      return std::dynamic_pointer_cast<cad::AttributeDefinition>(Add(std::move(data)));
    });
  }

  cad::EntityPtr AddArc(const cad::Point3& center, double radius, double startAngle,
                        double endAngle) override {
    Read();
    CheckPoint(center);
    if (!(radius > 0) || !std::isfinite(radius)) Fail("Invalid radius");
    if (!std::isfinite(startAngle) || !std::isfinite(endAngle)) Fail("Invalid angle");
    return Add(ArcData{center, radius, startAngle, endAngle});
  }

  cad::EntityPtr AddLine(const cad::Point3& startPoint, const cad::Point3& endPoint) override {
    Read();
    CheckPoint(startPoint);
    CheckPoint(endPoint);
    return Add(LineData{startPoint, endPoint});
  }

  cad::PolylinePtr AddLightWeightPolyline(const std::vector<double>& vertices) override {
    Read();
    if (vertices.size() < 4 || vertices.size() % 2 != 0)
      Fail("A lightweight polyline needs at least two vertices of x and y");
    LwPolylineData data;
    for (std::size_t i = 0; i < vertices.size(); i += 2) {
      if (!std::isfinite(vertices[i]) || !std::isfinite(vertices[i + 1])) Fail("Invalid point");
      data.vertices.push_back({vertices[i], vertices[i + 1]});
    }
    return std::dynamic_pointer_cast<cad::Polyline>(Add(std::move(data)));
  }

 private:
  const BlockDefinition& Read() const {
    const BlockDefinition& block = document_->drawing().db().Block(id_);
    if (block.erased) Fail(kObjectErased);
    return block;
  }

  cad::EntityPtr Add(EntityData data) {
    Drawing& drawing = document_->drawing();
    Entity entity;
    entity.layer = drawing.CurrentLayer();
    entity.data = std::move(data);
    EntityId id = drawing.AddEntity(id_, std::move(entity));
    return MakeEntityObject(document_, id);
  }

  BlockId LoadDrawingFile(const std::string& path) {
    auto loader = document_->services().loader;
    if (!loader)
      Fail("Cannot insert the drawing file \"" + path +
           "\": this host has no drawing file reader installed");
    Drawing& drawing = document_->drawing();
    return drawing.AddFrom<BlockId>(
        [&](Database& db) { return loader->InsertAsBlock(db, path); });
  }

  // The reference and one attribute per non-constant attribute definition of
  // the block, in definition order, with its default value, placed by the
  // reference's transform.
  EntityId InsertReference(Drawing& drawing, BlockId block, const cad::Point3& at, double xScale,
                           double yScale, double zScale, double rotation) {
    const Database& db = drawing.db();
    const BlockDefinition& definition = db.Block(block);
    std::string layer = drawing.CurrentLayer();
    Entity reference;
    reference.layer = layer;
    InsertData insert;
    insert.blockName = definition.name;
    insert.insertion = at;
    insert.xScale = xScale;
    insert.yScale = yScale;
    insert.zScale = zScale;
    insert.rotation = rotation;
    reference.data = std::move(insert);
    EntityId id = drawing.AddEntity(id_, std::move(reference));
    // Each attribute goes into the drawing as soon as it is made: no list of
    // entities is built and freed per reference.
    auto placement = Transform::Placement(definition.base, at, xScale, yScale, zScale, rotation);
    bool anyAttribute = false;
    for (EntityId definitionId : definition.entities) {
      const Entity& source = db.At(definitionId);
      const auto* attdef = std::get_if<AttdefData>(&source.data);
      if (source.erased || !attdef || (attdef->flags & 2) != 0) continue;
      Entity attribute;
      // An attribute defined on layer 0 takes the reference's layer, as the
      // block's other layer-0 content appears on it.
      attribute.layer = source.layer == "0" ? PooledText(layer) : source.layer;
      attribute.color = source.color;
      attribute.linetype = source.linetype;
      AttribData data;
      data.text = attdef->text;
      data.tag = attdef->tag;
      data.flags = attdef->flags;
      data.text.insertion = placement.Apply(attdef->text.insertion);
      data.text.alignmentPoint = placement.Apply(attdef->text.alignmentPoint);
      data.text.height = attdef->text.height * std::abs(yScale);
      data.text.widthFactor = attdef->text.widthFactor * std::abs(xScale / yScale);
      data.text.rotation = attdef->text.rotation + rotation;
      attribute.data = std::move(data);
      drawing.AddSubEntity(id, std::move(attribute));
      anyAttribute = true;
    }
    if (anyAttribute) {
      Entity seqEnd;
      seqEnd.layer = layer;
      seqEnd.data = SeqEndData{};
      drawing.AddSubEntity(id, std::move(seqEnd));
    }
    return id;
  }

  std::shared_ptr<HostDocument> document_;
  BlockId id_;
};

class BlocksObject : public cad::Blocks {
 public:
  explicit BlocksObject(std::shared_ptr<HostDocument> document) : document_(std::move(document)) {}
  long Count() const override { return static_cast<long>(Live().size()); }
  cad::BlockPtr Item(long index) const override {
    auto live = Live();
    if (index < 0 || static_cast<std::size_t>(index) >= live.size()) Fail(kIndexOutOfRange);
    return MakeBlockObject(document_, live[static_cast<std::size_t>(index)]);
  }
  cad::BlockPtr Item(const std::string& name) const override {
    BlockId id = document_->drawing().db().FindBlock(name);
    if (!id) Fail("Block \"" + name + "\" not found in the drawing");
    return MakeBlockObject(document_, id);
  }
  cad::BlockPtr Add(const cad::Point3& origin, const std::string& name) override {
    CheckPoint(origin);
    Drawing& drawing = document_->drawing();
    BlockDefinition block;
    if (SameName(name, "*U")) {
      // An anonymous block gets the next free "*U<n>" name.
      int n = 1;
      while (drawing.db().FindBlock("*U" + std::to_string(n))) ++n;
      block.name = "*U" + std::to_string(n);
      block.flags = kBlockAnonymous;
    } else {
      if (BlockId existing = drawing.db().FindBlock(name)) return MakeBlockObject(document_, existing);
      CheckSymbolName(name, "block");
      block.name = name;
    }
    block.base = origin;
    return MakeBlockObject(document_, drawing.AddBlock(std::move(block)));
  }

 private:
  std::vector<BlockId> Live() const {
    const Database& db = document_->drawing().db();
    std::vector<BlockId> live;
    for (std::uint32_t b = 1; b <= db.BlockCount(); ++b)
      if (!db.Block(BlockId{b}).erased) live.push_back(BlockId{b});
    return live;
  }
  std::shared_ptr<HostDocument> document_;
};

// A layer or UCS object: a table record of the document, by index.
template <class Base, class Record>
class RecordObject : public Base {
 public:
  RecordObject(std::shared_ptr<HostDocument> document, std::uint32_t index)
      : document_(std::move(document)), index_(index) {}
  std::string Handle() const override { return HandleText(Read().handle); }
  std::string Name() const override { return Read().name; }
  std::uint32_t Index() const { return index_; }
  const HostDocument* DocumentPtr() const { return document_.get(); }

 protected:
  virtual const SymbolTable<Record>& Table() const = 0;
  const Record& Read() const {
    const Record& record = Table().At(index_);
    if (record.erased) Fail(kObjectErased);
    return record;
  }
  std::shared_ptr<HostDocument> document_;
  std::uint32_t index_;
};

class LayerObject : public RecordObject<cad::Layer, LayerRecord> {
 public:
  using RecordObject::RecordObject;
  std::string ObjectName() const override { return "AcDbLayerTableRecord"; }
  int color() const override { return std::abs(Read().color); }
  bool LayerOn() const override { return Read().On(); }
  bool Freeze() const override { return Read().Frozen(); }

 private:
  const SymbolTable<LayerRecord>& Table() const override { return document_->drawing().db().layers; }
};

class UcsObject : public RecordObject<cad::Ucs, UcsRecord> {
 public:
  using RecordObject::RecordObject;
  std::string ObjectName() const override { return "AcDbUCSTableRecord"; }
  cad::Point3 Origin() const override { return Read().origin; }
  cad::Point3 XVector() const override { return Read().xAxis; }
  cad::Point3 YVector() const override { return Read().yAxis; }

 private:
  const SymbolTable<UcsRecord>& Table() const override { return document_->drawing().db().ucss; }
};

template <class Record>
std::vector<std::uint32_t> LiveRecords(const SymbolTable<Record>& table) {
  std::vector<std::uint32_t> live;
  for (std::uint32_t i = 1; i <= table.Size(); ++i)
    if (!table.At(i).erased) live.push_back(i);
  return live;
}

class LayersObject : public cad::Layers {
 public:
  explicit LayersObject(std::shared_ptr<HostDocument> document) : document_(std::move(document)) {}
  long Count() const override { return static_cast<long>(LiveRecords(Table()).size()); }
  cad::LayerPtr Item(long index) const override {
    auto live = LiveRecords(Table());
    if (index < 0 || static_cast<std::size_t>(index) >= live.size()) Fail(kIndexOutOfRange);
    return MakeLayerObject(document_, live[static_cast<std::size_t>(index)]);
  }
  cad::LayerPtr Item(const std::string& name) const override {
    auto index = Table().Find(name);
    if (!index) Fail("Layer \"" + name + "\" does not exist in the drawing");
    return MakeLayerObject(document_, index);
  }
  cad::LayerPtr Add(const std::string& name) override {
    if (auto index = Table().Find(name)) return MakeLayerObject(document_, index);
    CheckSymbolName(name, "layer");
    LayerRecord layer;
    layer.name = name;
    return MakeLayerObject(document_, document_->drawing().AddLayer(std::move(layer)));
  }

 private:
  const SymbolTable<LayerRecord>& Table() const { return document_->drawing().db().layers; }
  std::shared_ptr<HostDocument> document_;
};

class UcssObject : public cad::UserCoordinateSystems {
 public:
  explicit UcssObject(std::shared_ptr<HostDocument> document) : document_(std::move(document)) {}
  long Count() const override { return static_cast<long>(LiveRecords(Table()).size()); }
  cad::UcsPtr Item(long index) const override {
    auto live = LiveRecords(Table());
    if (index < 0 || static_cast<std::size_t>(index) >= live.size()) Fail(kIndexOutOfRange);
    return MakeUcsObject(document_, live[static_cast<std::size_t>(index)]);
  }
  // A UCS of a name already in use is redefined by the new axes.
  cad::UcsPtr Add(const cad::Point3& origin, const cad::Point3& xAxisPoint,
                  const cad::Point3& yAxisPoint, const std::string& name) override {
    CheckSymbolName(name, "UCS");
    for (const auto* p : {&origin, &xAxisPoint, &yAxisPoint}) CheckPoint(*p);
    Point x{xAxisPoint.x - origin.x, xAxisPoint.y - origin.y, xAxisPoint.z - origin.z};
    Point y{yAxisPoint.x - origin.x, yAxisPoint.y - origin.y, yAxisPoint.z - origin.z};
    double xLength = std::sqrt(x.x * x.x + x.y * x.y + x.z * x.z);
    if (xLength < 1e-12) Fail("The points do not define a coordinate system");
    x = {x.x / xLength, x.y / xLength, x.z / xLength};
    // The y axis is the part of the y point's direction square to the x axis.
    double along = y.x * x.x + y.y * x.y + y.z * x.z;
    y = {y.x - along * x.x, y.y - along * x.y, y.z - along * x.z};
    double yLength = std::sqrt(y.x * y.x + y.y * y.y + y.z * y.z);
    if (yLength < 1e-12) Fail("The points do not define a coordinate system");
    y = {y.x / yLength, y.y / yLength, y.z / yLength};
    Drawing& drawing = document_->drawing();
    if (auto index = Table().Find(name)) {
      drawing.ChangeUcs(index, [&](UcsRecord& ucs) {
        ucs.origin = origin;
        ucs.xAxis = x;
        ucs.yAxis = y;
      });
      return MakeUcsObject(document_, index);
    }
    UcsRecord ucs;
    ucs.name = name;
    ucs.origin = origin;
    ucs.xAxis = x;
    ucs.yAxis = y;
    return MakeUcsObject(document_, drawing.AddUcs(std::move(ucs)));
  }

 private:
  const SymbolTable<UcsRecord>& Table() const { return document_->drawing().db().ucss; }
  std::shared_ptr<HostDocument> document_;
};

}  // namespace

bool NamesDrawingFile(const std::string& name) {
  if (name.find_first_of("/\\") != std::string::npos) return true;
  std::string folded = FoldName(name);
  return folded.ends_with(".dwg") || folded.ends_with(".dxf");
}

cad::BlockPtr MakeBlockObject(const std::shared_ptr<HostDocument>& document, BlockId id) {
  return std::make_shared<BlockObject>(document, id);
}
cad::BlocksPtr MakeBlocksObject(const std::shared_ptr<HostDocument>& document) {
  return std::make_shared<BlocksObject>(document);
}
cad::LayerPtr MakeLayerObject(const std::shared_ptr<HostDocument>& document, std::uint32_t index) {
  return std::make_shared<LayerObject>(document, index);
}
cad::LayersPtr MakeLayersObject(const std::shared_ptr<HostDocument>& document) {
  return std::make_shared<LayersObject>(document);
}
cad::UcsPtr MakeUcsObject(const std::shared_ptr<HostDocument>& document, std::uint32_t index) {
  return std::make_shared<UcsObject>(document, index);
}
cad::UserCoordinateSystemsPtr MakeUcssObject(const std::shared_ptr<HostDocument>& document) {
  return std::make_shared<UcssObject>(document);
}

std::uint32_t LayerIndexOf(const cad::LayerPtr& layer, const HostDocument& document) {
  const auto* object = dynamic_cast<const LayerObject*>(layer.get());
  if (!object || object->DocumentPtr() != &document) Fail("The layer does not belong to this drawing");
  return object->Index();
}

std::uint32_t UcsIndexOf(const cad::UcsPtr& ucs, const HostDocument& document) {
  const auto* object = dynamic_cast<const UcsObject*>(ucs.get());
  if (!object || object->DocumentPtr() != &document) Fail("The UCS does not belong to this drawing");
  return object->Index();
}

}  // namespace cadhost
