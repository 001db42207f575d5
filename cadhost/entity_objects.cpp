#include "cadhost/entity_objects.h"

#include <cmath>
#include <map>

#include "cadhost/document.h"
#include "cadhost/errors.h"
#include "cadhost/names.h"

namespace cadhost {

namespace {

// What every entity object knows: its document and entity.
class EntityAccess {
 public:
  EntityAccess(std::shared_ptr<HostDocument> document, EntityId id)
      : document_(std::move(document)), id_(id) {}
  virtual ~EntityAccess() = default;
  EntityId Id() const { return id_; }
  const HostDocument* DocumentPtr() const { return document_.get(); }

 protected:
  const cadhost::Entity& Read() const {
    const cadhost::Entity& entity = document_->drawing().db().At(id_);
    if (entity.erased) Fail(kObjectErased);
    return entity;
  }
  void Change(const std::function<void(cadhost::Entity&)>& change) const {
    Read();
    document_->drawing().ChangeEntity(id_, change);
  }
  Drawing& drawing() const { return document_->drawing(); }
  const std::shared_ptr<HostDocument>& document() const { return document_; }

 private:
  std::shared_ptr<HostDocument> document_;
  EntityId id_;
};

Point ScaleAbout(const Point& p, const Point& base, double f) {
  return {base.x + (p.x - base.x) * f, base.y + (p.y - base.y) * f, base.z + (p.z - base.z) * f};
}

// `base` is a world point; a planar entity's points are scaled about it in
// the entity's own plane (the plane's axes are unit and square, so scaling
// there is scaling in the world).
void ScaleText(TextFields& text, const Point& worldBase, double f) {
  const Point base = WcsToOcs(worldBase, text.normal);
  text.insertion = ScaleAbout(text.insertion, base, f);
  text.alignmentPoint = ScaleAbout(text.alignmentPoint, base, f);
  text.height *= f;
}

// Scales the typed geometry of one entity or sub-entity; false for a type the
// host keeps only as tags, whose geometry it cannot change.
bool ScaleData(EntityData& data, const Point& base, double f) {
  struct Visitor {
    const Point& base;
    double f;
    bool operator()(InsertData& d) const {
      d.insertion = ScaleAbout(d.insertion, WcsToOcs(base, d.normal), f);
      d.xScale *= f;
      d.yScale *= f;
      d.zScale *= f;
      d.columnSpacing *= f;
      d.rowSpacing *= f;
      return true;
    }
    bool operator()(AttribData& d) const { return ScaleText(d.text, base, f), true; }
    bool operator()(AttdefData& d) const { return ScaleText(d.text, base, f), true; }
    bool operator()(TextData& d) const { return ScaleText(d.text, base, f), true; }
    bool operator()(MTextData& d) const {
      d.insertion = ScaleAbout(d.insertion, base, f);
      d.height *= f;
      d.referenceWidth *= f;
      return true;
    }
    bool operator()(LineData& d) const {
      d.start = ScaleAbout(d.start, base, f);
      d.end = ScaleAbout(d.end, base, f);
      return true;
    }
    bool operator()(ArcData& d) const {
      d.center = ScaleAbout(d.center, WcsToOcs(base, d.normal), f);
      d.radius *= f;
      return true;
    }
    bool operator()(CircleData& d) const {
      d.center = ScaleAbout(d.center, WcsToOcs(base, d.normal), f);
      d.radius *= f;
      return true;
    }
    bool operator()(LwPolylineData& d) const {
      const Point planeBase = WcsToOcs(base, d.normal);
      for (LwVertex& v : d.vertices) {
        Point p = ScaleAbout({v.x, v.y, d.elevation}, planeBase, f);
        v.x = p.x;
        v.y = p.y;
        v.startWidth *= f;
        v.endWidth *= f;
      }
      d.elevation = base.z + (d.elevation - base.z) * f;
      d.constantWidth *= f;
      return true;
    }
    bool operator()(PolylineData& d) const {
      d.elevation.z = base.z + (d.elevation.z - base.z) * f;
      return true;
    }
    bool operator()(VertexData& d) const {
      d.point = ScaleAbout(d.point, base, f);
      return true;
    }
    bool operator()(PointData& d) const {
      d.point = ScaleAbout(d.point, base, f);
      return true;
    }
    bool operator()(SeqEndData&) const { return true; }
    bool operator()(OtherData&) const { return false; }
  };
  return std::visit(Visitor{base, f}, data);
}

const std::map<int, std::pair<int, int>>& AlignmentFields() {
  // Alignment value -> (72 horizontal, 73/74 vertical).
  static const std::map<int, std::pair<int, int>> fields{
      {0, {0, 0}},  {1, {1, 0}},  {2, {2, 0}},  {3, {3, 0}},  {4, {4, 0}},
      {5, {5, 0}},  {6, {0, 3}},  {7, {1, 3}},  {8, {2, 3}},  {9, {0, 2}},
      {10, {1, 2}}, {11, {2, 2}}, {12, {0, 1}}, {13, {1, 1}}, {14, {2, 1}}};
  return fields;
}

// Every member of an entity, for each entity class of the object model.
template <class Base>
class EntityObject : public Base, public EntityAccess {
 public:
  using EntityAccess::EntityAccess;

  std::string ObjectName() const override { return ObjectNameOf(Read()); }
  std::string Handle() const override { return HandleText(Read().handle); }
  std::string Layer() const override { return Read().layer; }
  void Layer(const std::string& name) override {
    const LayerRecord* layer = drawing().db().layers.FindRecord(name);
    if (!layer) Fail("Layer \"" + name + "\" does not exist in the drawing");
    std::string stored = layer->name;
    Change([&stored](cadhost::Entity& e) { e.layer = stored; });
  }
  int color() const override { return Read().color; }
  void color(int colorIndex) override {
    if (colorIndex < 0 || colorIndex > 256) Fail("Invalid colour index " + std::to_string(colorIndex));
    Change([colorIndex](cadhost::Entity& e) { e.color = colorIndex; });
  }
  void Update() override { Read(); }
  void GetBoundingBox(cad::Point3& minPoint, cad::Point3& maxPoint) const override {
    Read();
    Box3 box = drawing().Extents(Id());
    if (box.Empty()) Fail("The " + ObjectNameOf(Read()) + " has no extents");
    minPoint = box.min;
    maxPoint = box.max;
  }
  void ScaleEntity(const cad::Point3& basePoint, double factor) override {
    const cadhost::Entity& entity = Read();
    if (!(factor > 0) || !std::isfinite(factor)) Fail("Invalid scale factor");
    EntityData probe = entity.data;
    if (!ScaleData(probe, basePoint, factor))
      Fail("The host cannot scale an entity of type " + entity.type);
    std::vector<EntityId> parts;
    if (const auto* insert = std::get_if<InsertData>(&entity.data)) parts = insert->attributes;
    if (const auto* polyline = std::get_if<PolylineData>(&entity.data)) parts = polyline->vertices;
    Journal& journal = drawing().journal();
    journal.StartMark();
    try {
      Change([&](cadhost::Entity& e) { ScaleData(e.data, basePoint, factor); });
      for (EntityId part : parts)
        if (!drawing().db().At(part).erased)
          drawing().ChangeEntity(part, [&](cadhost::Entity& e) { ScaleData(e.data, basePoint, factor); });
    } catch (...) {
      journal.CancelMark();
      throw;
    }
    journal.EndMark();
  }
  cad::XData GetXData(const std::string& appName) const override {
    cad::XData result;
    for (const ExtendedData& x : Read().xdata) {
      if (!appName.empty() && !SameName(x.application, appName)) continue;
      result.push_back({1001, x.application});
      result.insert(result.end(), x.items.begin(), x.items.end());
    }
    return result;
  }
  void SetXData(const cad::XData& data) override {
    Read();
    std::vector<ExtendedData> groups = SplitXData(data);
    Journal& journal = drawing().journal();
    journal.StartMark();
    try {
      for (const ExtendedData& group : groups) drawing().RegisterApplication(group.application);
      Change([&groups](cadhost::Entity& e) {
        for (const ExtendedData& group : groups) {
          auto it = std::find_if(e.xdata.begin(), e.xdata.end(), [&](const ExtendedData& x) {
            return SameName(x.application, group.application);
          });
          if (group.items.empty()) {
            if (it != e.xdata.end()) e.xdata.erase(it);
          } else if (it != e.xdata.end()) {
            it->items = group.items;
          } else {
            e.xdata.push_back(group);
          }
        }
      });
    } catch (...) {
      journal.CancelMark();
      throw;
    }
    journal.EndMark();
  }
  void Delete() override {
    Read();
    drawing().EraseEntity(Id());
  }

 protected:
  // Checks extended data item by item and splits it by application.
  std::vector<ExtendedData> SplitXData(const cad::XData& data) const {
    if (data.empty() || data.front().code != 1001)
      Fail("Extended data must begin with a 1001 application name");
    std::vector<ExtendedData> groups;
    for (const cad::XDataItem& item : data) {
      auto bad = [&item](const std::string& why) {
        Fail("Invalid extended data item " + std::to_string(item.code) + ": " + why);
      };
      const int code = item.code;
      if (code == 1001) {
        const auto* name = std::get_if<std::string>(&item.value);
        if (!name) bad("the application name must be text");
        CheckSymbolName(*name, "application");
        groups.push_back({*name, {}});
        continue;
      }
      bool text = code >= 1000 && code <= 1005;
      bool point = code >= 1010 && code <= 1013;
      bool real = code >= 1040 && code <= 1042;
      bool integer = code == 1070 || code == 1071;
      if (!text && !point && !real && !integer) bad("unknown group code");
      if (text && !std::holds_alternative<std::string>(item.value)) bad("the value must be text");
      if (point && !std::holds_alternative<cad::Point3>(item.value)) bad("the value must be a point");
      if (real && !std::holds_alternative<double>(item.value)) bad("the value must be a number");
      if (integer && !std::holds_alternative<std::int32_t>(item.value))
        bad("the value must be an integer");
      if (code == 1070) {
        auto v = std::get<std::int32_t>(item.value);
        if (v < -32768 || v > 32767) bad("the value does not fit 16 bits");
      }
      if (code == 1003) {
        // A layer named in extended data must exist.
        if (!drawing().db().layers.FindRecord(std::get<std::string>(item.value)))
          bad("no layer \"" + std::get<std::string>(item.value) + "\"");
      }
      groups.back().items.push_back(item);
    }
    return groups;
  }
};

template <class Base>
class TextObject : public EntityObject<Base> {
 public:
  using EntityObject<Base>::EntityObject;

  cad::Point3 InsertionPoint() const override {
    const TextFields& t = Fields(this->Read());
    return OcsToWcs(t.insertion, t.normal);
  }
  double Height() const override { return Fields(this->Read()).height; }
  int Alignment() const override {
    const TextFields& t = Fields(this->Read());
    for (const auto& [value, fields] : AlignmentFields())
      if (fields.first == t.horizontal && fields.second == t.vertical) return value;
    return cad::kAlignmentLeft;
  }
  void Alignment(int alignment) override {
    auto it = AlignmentFields().find(alignment);
    if (it == AlignmentFields().end()) Fail("Invalid alignment " + std::to_string(alignment));
    auto [horizontal, vertical] = it->second;
    ChangeText([horizontal, vertical](TextFields& t) {
      bool wasLeft = t.horizontal == 0 && t.vertical == 0;
      // A text leaving left alignment keeps its place: its alignment point
      // starts where its insertion point is.
      if (wasLeft) t.alignmentPoint = t.insertion;
      t.horizontal = horizontal;
      t.vertical = vertical;
      Settle(t);
    });
  }
  double Rotation() const override { return Fields(this->Read()).rotation; }
  void Rotation(double radians) override {
    if (!std::isfinite(radians)) Fail("Invalid rotation");
    ChangeText([radians](TextFields& t) {
      t.rotation = radians;
      Settle(t);
    });
  }
  cad::Point3 TextAlignmentPoint() const override {
    const TextFields& t = Fields(this->Read());
    return OcsToWcs(t.alignmentPoint, t.normal);
  }
  void TextAlignmentPoint(const cad::Point3& point) override {
    ChangeText([point](TextFields& t) {
      t.alignmentPoint = WcsToOcs(point, t.normal);
      Settle(t);
    });
  }
  std::string TextString() const override { return Fields(this->Read()).value; }
  void TextString(const std::string& text) override {
    ChangeText([&text](TextFields& t) {
      t.value = text;
      Settle(t);
    });
  }

 protected:
  static const TextFields& Fields(const cadhost::Entity& entity) {
    if (const auto* d = std::get_if<TextData>(&entity.data)) return d->text;
    if (const auto* d = std::get_if<AttribData>(&entity.data)) return d->text;
    return std::get<AttdefData>(entity.data).text;
  }
  static TextFields& Fields(cadhost::Entity& entity) {
    if (auto* d = std::get_if<TextData>(&entity.data)) return d->text;
    if (auto* d = std::get_if<AttribData>(&entity.data)) return d->text;
    return std::get<AttdefData>(entity.data).text;
  }
  // A text that is not left aligned is placed by its alignment point; its
  // insertion point (10) follows, as the lower left of its extents.
  static void Settle(TextFields& t) {
    bool left = t.horizontal == 0 && t.vertical == 0;
    if (!left && t.horizontal != 3 && t.horizontal != 5) t.insertion = TextCorners(t)[0];
  }
  void ChangeText(const std::function<void(TextFields&)>& change) {
    this->Change([&change](cadhost::Entity& e) { change(Fields(e)); });
  }
};

class TextEntity : public TextObject<cad::Text> {
 public:
  using TextObject::TextObject;
};

class AttributeReferenceEntity : public TextObject<cad::AttributeReference> {
 public:
  using TextObject::TextObject;
  std::string TagString() const override { return std::get<AttribData>(Read().data).tag; }
};

class AttributeDefinitionEntity : public TextObject<cad::AttributeDefinition> {
 public:
  using TextObject::TextObject;
  std::string TagString() const override { return std::get<AttdefData>(Read().data).tag; }
  std::string PromptString() const override { return std::get<AttdefData>(Read().data).prompt; }
  int Mode() const override { return std::get<AttdefData>(Read().data).flags & 15; }
};

class BlockReferenceEntity : public EntityObject<cad::BlockReference> {
 public:
  using EntityObject::EntityObject;
  cad::Point3 InsertionPoint() const override { return OcsToWcs(Data().insertion, Data().normal); }
  cad::Point3 Normal() const override { return Data().normal; }
  void Normal(const cad::Point3& normal) override {
    const double length = std::sqrt(normal.x * normal.x + normal.y * normal.y + normal.z * normal.z);
    if (!std::isfinite(length) || length < 1e-12) Fail("Invalid normal");
    const Point unit{normal.x / length, normal.y / length, normal.z / length};
    const Point oldInsertion = Data().insertion;
    const std::vector<EntityId> attributes = Data().attributes;
    const Point placed = WcsToOcs(OcsToWcs(oldInsertion, Data().normal), unit);
    // The attributes keep their places relative to the reference in its plane.
    for (EntityId id : attributes) {
      if (drawing().db().At(id).erased) continue;
      drawing().ChangeEntity(id, [&](cadhost::Entity& e) {
        if (auto* attrib = std::get_if<AttribData>(&e.data)) MoveIntoPlane(attrib->text, oldInsertion, placed, unit);
      });
    }
    Change([&](cadhost::Entity& e) {
      auto& d = std::get<InsertData>(e.data);
      d.normal = unit;
      d.insertion = placed;
    });
  }
  std::string Name() const override {
    const std::string& name = Data().blockName;
    BlockId block = drawing().db().FindBlock(name);
    return block ? drawing().db().Block(block).name : name;
  }
  double Rotation() const override { return Data().rotation; }
  double XScaleFactor() const override { return Data().xScale; }
  double YScaleFactor() const override { return Data().yScale; }
  double ZScaleFactor() const override { return Data().zScale; }
  bool HasAttributes() const override { return !LiveAttributes().empty(); }
  std::vector<cad::AttributeReferencePtr> GetAttributes() const override {
    std::vector<cad::AttributeReferencePtr> result;
    for (EntityId id : LiveAttributes())
      result.push_back(std::make_shared<AttributeReferenceEntity>(document(), id));
    return result;
  }

 private:
  const InsertData& Data() const { return std::get<InsertData>(Read().data); }
  // A text at the same offset from `to` as it had from `from`, in the plane of `normal`.
  static void MoveIntoPlane(TextFields& t, const Point& from, const Point& to, const Point& normal) {
    auto move = [&](const Point& p) { return Point{p.x - from.x + to.x, p.y - from.y + to.y, p.z - from.z + to.z}; };
    t.insertion = move(t.insertion);
    t.alignmentPoint = move(t.alignmentPoint);
    t.normal = normal;
  }
  std::vector<EntityId> LiveAttributes() const {
    std::vector<EntityId> live;
    for (EntityId id : Data().attributes)
      if (!drawing().db().At(id).erased) live.push_back(id);
    return live;
  }
};

class PolylineEntity : public EntityObject<cad::Polyline> {
 public:
  using EntityObject::EntityObject;
  bool Closed() const override {
    const cadhost::Entity& e = Read();
    if (const auto* lw = std::get_if<LwPolylineData>(&e.data)) return (lw->flags & 1) != 0;
    return (std::get<PolylineData>(e.data).flags & 1) != 0;
  }
  std::vector<double> Coordinates() const override {
    const cadhost::Entity& e = Read();
    std::vector<double> values;
    if (const auto* lw = std::get_if<LwPolylineData>(&e.data)) {
      for (const LwVertex& v : lw->vertices) {
        const Point world = OcsToWcs({v.x, v.y, lw->elevation}, lw->normal);
        values.insert(values.end(), {world.x, world.y});
      }
      return values;
    }
    const auto& polyline = std::get<PolylineData>(e.data);
    bool is3d = (polyline.flags & 8) != 0;
    for (EntityId id : polyline.vertices) {
      const cadhost::Entity& vertex = drawing().db().At(id);
      if (vertex.erased) continue;
      const Point& p = std::get<VertexData>(vertex.data).point;
      const Point world = is3d ? p : OcsToWcs({p.x, p.y, polyline.elevation.z}, polyline.normal);
      values.insert(values.end(), {world.x, world.y, world.z});
    }
    return values;
  }
};

class MTextEntity : public EntityObject<cad::Entity> {
 public:
  using EntityObject::EntityObject;
  std::string TextString() const override { return std::get<MTextData>(Read().data).value; }
  void TextString(const std::string& text) override {
    Change([&text](cadhost::Entity& e) { std::get<MTextData>(e.data).value = text; });
  }
};

class PlainEntity : public EntityObject<cad::Entity> {
 public:
  using EntityObject::EntityObject;
};

}  // namespace

std::string ObjectNameOf(const cadhost::Entity& entity) {
  struct Visitor {
    const cadhost::Entity& entity;
    std::string operator()(const InsertData&) const { return "AcDbBlockReference"; }
    std::string operator()(const AttribData&) const { return "AcDbAttribute"; }
    std::string operator()(const AttdefData&) const { return "AcDbAttributeDefinition"; }
    std::string operator()(const TextData&) const { return "AcDbText"; }
    std::string operator()(const MTextData&) const { return "AcDbMText"; }
    std::string operator()(const LineData&) const { return "AcDbLine"; }
    std::string operator()(const ArcData&) const { return "AcDbArc"; }
    std::string operator()(const CircleData&) const { return "AcDbCircle"; }
    std::string operator()(const LwPolylineData&) const { return "AcDbPolyline"; }
    std::string operator()(const PolylineData& p) const {
      if (p.flags & 8) return "AcDb3dPolyline";
      if (p.flags & (16 | 64)) return "AcDbPolygonMesh";
      return "AcDb2dPolyline";
    }
    std::string operator()(const VertexData&) const { return "AcDbVertex"; }
    std::string operator()(const PointData&) const { return "AcDbPoint"; }
    std::string operator()(const SeqEndData&) const { return "AcDbSequenceEnd"; }
    std::string operator()(const OtherData&) const {
      static const std::map<std::string, std::string> known{
          {"ELLIPSE", "AcDbEllipse"},     {"SPLINE", "AcDbSpline"},   {"HATCH", "AcDbHatch"},
          {"DIMENSION", "AcDbDimension"}, {"SOLID", "AcDbSolid"},     {"3DFACE", "AcDbFace"},
          {"LEADER", "AcDbLeader"},       {"VIEWPORT", "AcDbViewport"}, {"RAY", "AcDbRay"},
          {"XLINE", "AcDbXline"},         {"TRACE", "AcDbTrace"},     {"IMAGE", "AcDbRasterImage"},
          {"MLINE", "AcDbMline"},         {"WIPEOUT", "AcDbWipeout"}, {"TOLERANCE", "AcDbFcf"}};
      auto it = known.find(entity.type);
      if (it != known.end()) return it->second;
      // Other types: "AcDb" and the type name with only its first letter capital.
      std::string name = FoldName(entity.type);
      if (!name.empty() && name[0] >= 'a' && name[0] <= 'z') name[0] = static_cast<char>(name[0] - 32);
      return "AcDb" + name;
    }
  };
  return std::visit(Visitor{entity}, entity.data);
}

cad::EntityPtr MakeEntityObject(const std::shared_ptr<HostDocument>& document, EntityId id) {
  const cadhost::Entity& entity = document->drawing().db().At(id);
  if (entity.erased) Fail(kObjectErased);
  if (std::holds_alternative<InsertData>(entity.data))
    return std::make_shared<BlockReferenceEntity>(document, id);
  if (std::holds_alternative<TextData>(entity.data)) return std::make_shared<TextEntity>(document, id);
  if (std::holds_alternative<AttribData>(entity.data))
    return std::make_shared<AttributeReferenceEntity>(document, id);
  if (std::holds_alternative<AttdefData>(entity.data))
    return std::make_shared<AttributeDefinitionEntity>(document, id);
  if (std::holds_alternative<LwPolylineData>(entity.data) ||
      std::holds_alternative<PolylineData>(entity.data))
    return std::make_shared<PolylineEntity>(document, id);
  if (std::holds_alternative<MTextData>(entity.data))
    return std::make_shared<MTextEntity>(document, id);
  return std::make_shared<PlainEntity>(document, id);
}

EntityId EntityIdOf(const cad::EntityPtr& entity, const HostDocument& document) {
  if (!entity) Fail("Object variable not set");
  const auto* access = dynamic_cast<const EntityAccess*>(entity.get());
  if (!access || access->DocumentPtr() != &document)
    Fail("The object does not belong to this drawing");
  return access->Id();
}

}  // namespace cadhost
