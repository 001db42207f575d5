#include "cadhost/dxf/entity_fields.h"

#include <array>
#include <cstdint>
#include <type_traits>
#include <variant>
#include <vector>

#include "cadhost/dxf/group_codes.h"
#include "cadhost/dxf/values.h"
#include "cadhost/geometry.h"

namespace cadhost::dxf {

void TagBuilder::number(int code, double value) { add(code, formatDouble(value)); }
void TagBuilder::angle(int code, double radians) { number(code, radiansToDegrees(radians)); }
void TagBuilder::point(int code, const Point& p) {
  number(code, p.x);
  number(code + 10, p.y);
  number(code + 20, p.z);
}
void TagBuilder::normal(const Point& n) {
  if (!IsWorldNormal(n)) point(210, n);
}

namespace {

// How a field's groups read and write.
enum class Kind {
  Subclass,  // a 100 marker the writer puts before the fields after it
  Text,      // a string, in the file's encoding
  Real,
  Angle,     // degrees in the file, radians in the data
  Integer,
  Point,     // code, code + 10, code + 20
  Normal,    // a point at 210, written only when it is not the world's z axis
  Special,   // several groups the type reads and writes by functions of its own
  Dropped,   // a group the type replaces when written, but does not keep
};

// When a value field is written.
enum class When {
  Always,
  NotDefault,  // when it differs from the field of a default-made record
  Custom,      // when the field's own test says so
};

using FieldRef = std::variant<std::string*, PooledText*, double*, int*, Point*>;

// One row of a type's table: the group code, how it reads and writes, and
// where in the typed data it lives.
template <class Data>
struct Field {
  Kind kind = Kind::Dropped;
  int code = 0;
  When when = When::Always;
  FieldRef (*member)(Data&) = nullptr;                     // value kinds
  const char* (*subclass)(const Data&) = nullptr;          // Subclass
  bool (*writeIf)(const Data&) = nullptr;                  // When::Custom
  void (*write)(TagBuilder&, const Data&, bool) = nullptr;  // Special
  void (*read)(Data&, int, std::string_view, const TextCodec&, FieldReadState&) = nullptr;  // Special
  std::vector<int> codes;                                  // Special: the codes it models
};

template <class Data>
Field<Data> Marker(const char* (*name)(const Data&)) {
  Field<Data> f;
  f.kind = Kind::Subclass;
  f.code = codes::kSubclass;
  f.subclass = name;
  return f;
}

template <class Data>
Field<Data> Value(Kind kind, int code, When when, FieldRef (*member)(Data&)) {
  Field<Data> f;
  f.kind = kind;
  f.code = code;
  f.when = when;
  f.member = member;
  return f;
}

template <class Data>
Field<Data> Shown(Kind kind, int code, bool (*writeIf)(const Data&), FieldRef (*member)(Data&)) {
  Field<Data> f = Value<Data>(kind, code, When::Custom, member);
  f.writeIf = writeIf;
  return f;
}

template <class Data>
Field<Data> Several(std::vector<int> codes, void (*write)(TagBuilder&, const Data&, bool),
                    void (*read)(Data&, int, std::string_view, const TextCodec&, FieldReadState&)) {
  Field<Data> f;
  f.kind = Kind::Special;
  f.write = write;
  f.read = read;
  f.codes = std::move(codes);
  return f;
}

template <class Data>
Field<Data> Dropped(int code) {
  Field<Data> f;
  f.kind = Kind::Dropped;
  f.code = code;
  return f;
}

constexpr int kHighestFieldCode = 1000;
// The common fields' codes, which every type's modelled set starts from.
const std::set<int> kCommonCodes{5, 330, 8, 62, 6, 67};

// A type's table with what is derived from it once: the codes it models and,
// for reading, which field each group code belongs to.
template <class Data>
class FieldTable {
 public:
  explicit FieldTable(std::vector<Field<Data>> fields) : fields_(std::move(fields)), modelled_(kCommonCodes) {
    fieldOfCode_.fill(-1);
    for (std::size_t i = 0; i < fields_.size(); ++i) {
      const Field<Data>& f = fields_[i];
      std::vector<int> own;
      if (f.kind == Kind::Point || f.kind == Kind::Normal) own = {f.code, f.code + 10, f.code + 20};
      else if (f.kind == Kind::Special) own = f.codes;
      else if (f.kind != Kind::Subclass) own = {f.code};
      for (int code : own) {
        modelled_.insert(code);
        if (code >= 0 && code < kHighestFieldCode && fieldOfCode_[code] < 0) fieldOfCode_[code] = static_cast<std::int16_t>(i);
      }
    }
  }

  const std::set<int>& Modelled() const { return modelled_; }

  void Read(Data& data, int code, std::string_view value, const TextCodec& codec, FieldReadState& state) const {
    if (code < 0 || code >= kHighestFieldCode || fieldOfCode_[code] < 0) return;
    const Field<Data>& f = fields_[static_cast<std::size_t>(fieldOfCode_[code])];
    switch (f.kind) {
      case Kind::Special: return f.read(data, code, value, codec, state);
      case Kind::Subclass:
      case Kind::Dropped: return;
      default: break;
    }
    std::visit(
        [&](auto* target) {
          using T = std::remove_pointer_t<decltype(target)>;
          if constexpr (std::is_same_v<T, Point>) {
            const double number = toDouble(value);
            const int axis = (code - f.code) / 10;
            (axis == 0 ? target->x : axis == 1 ? target->y : target->z) = number;
          } else if constexpr (std::is_same_v<T, double>) {
            *target = f.kind == Kind::Angle ? degreesToRadians(toDouble(value)) : toDouble(value, Default<double>(f));
          } else if constexpr (std::is_same_v<T, int>) {
            *target = toInt(value, Default<int>(f));
          } else {
            *target = codec.decode(value);
          }
        },
        f.member(data));
  }

  void Write(TagBuilder& b, const Data& data, bool hasAttributes) const {
    Data& readable = const_cast<Data&>(data);  // the members are only read here
    for (const Field<Data>& f : fields_) {
      switch (f.kind) {
        case Kind::Subclass: b.subclass(f.subclass(data)); continue;
        case Kind::Special: f.write(b, data, hasAttributes); continue;
        case Kind::Dropped: continue;
        default: break;
      }
      if (f.when == When::Custom && !f.writeIf(data)) continue;
      const FieldRef ref = f.member(readable);
      if (f.when == When::NotDefault && IsDefault(f, ref)) continue;
      std::visit(
          [&](auto* value) {
            using T = std::remove_pointer_t<decltype(value)>;
            if constexpr (std::is_same_v<T, Point>) {
              if (f.kind == Kind::Normal) b.normal(*value);
              else b.point(f.code, *value);
            } else if constexpr (std::is_same_v<T, double>) {
              if (f.kind == Kind::Angle) b.angle(f.code, *value);
              else b.number(f.code, *value);
            } else if constexpr (std::is_same_v<T, int>) {
              b.integer(f.code, *value);
            } else {
              b.text(f.code, *value);
            }
          },
          ref);
    }
  }

 private:
  // The field's value in a record made with no values given.
  template <class T>
  static T Default(const Field<Data>& f) {
    static Data made{};
    return *std::get<T*>(f.member(made));
  }
  static bool IsDefault(const Field<Data>& f, const FieldRef& ref) {
    static Data made{};
    const FieldRef initial = f.member(made);
    return std::visit(
        [&](auto* value) {
          using T = std::remove_pointer_t<decltype(value)>;
          return *value == *std::get<T*>(initial);
        },
        ref);
  }

  std::vector<Field<Data>> fields_;
  std::set<int> modelled_;
  std::array<std::int16_t, kHighestFieldCode> fieldOfCode_{};
};

// ---- the fields TEXT, ATTRIB and ATTDEF share ----

template <class Data>
bool Aligned(const Data& d) {
  return d.text.horizontal != 0 || d.text.vertical != 0;
}

// The text fields in the order they are written, inside the first AcDbText.
template <class Data>
std::vector<Field<Data>> TextFieldsOf(std::vector<Field<Data>> before, std::vector<Field<Data>> after) {
  std::vector<Field<Data>> all = std::move(before);
  const std::vector<Field<Data>> text{
      Marker<Data>([](const Data&) { return "AcDbText"; }),
      Value<Data>(Kind::Point, 10, When::Always, [](Data& d) -> FieldRef { return &d.text.insertion; }),
      Value<Data>(Kind::Real, 40, When::Always, [](Data& d) -> FieldRef { return &d.text.height; }),
      Value<Data>(Kind::Text, 1, When::Always, [](Data& d) -> FieldRef { return &d.text.value; }),
      Value<Data>(Kind::Angle, 50, When::NotDefault, [](Data& d) -> FieldRef { return &d.text.rotation; }),
      Value<Data>(Kind::Real, 41, When::NotDefault, [](Data& d) -> FieldRef { return &d.text.widthFactor; }),
      Value<Data>(Kind::Angle, 51, When::NotDefault, [](Data& d) -> FieldRef { return &d.text.oblique; }),
      Value<Data>(Kind::Text, 7, When::NotDefault, [](Data& d) -> FieldRef { return &d.text.style; }),
      Value<Data>(Kind::Integer, 71, When::NotDefault, [](Data& d) -> FieldRef { return &d.text.generation; }),
      Value<Data>(Kind::Integer, 72, When::NotDefault, [](Data& d) -> FieldRef { return &d.text.horizontal; }),
      Shown<Data>(Kind::Point, 11, &Aligned<Data>, [](Data& d) -> FieldRef { return &d.text.alignmentPoint; }),
      Value<Data>(Kind::Normal, 210, When::Always, [](Data& d) -> FieldRef { return &d.text.normal; }),
  };
  all.insert(all.end(), text.begin(), text.end());
  all.insert(all.end(), after.begin(), after.end());
  return all;
}

// ---- one table per modelled type ----

const FieldTable<InsertData>& InsertTable() {
  static const FieldTable<InsertData> table({
      Marker<InsertData>([](const InsertData& d) {
        return d.columns > 1 || d.rows > 1 ? "AcDbMInsertBlock" : "AcDbBlockReference";
      }),
      // 66: ATTRIBs follow; what follows is the record's structure, not a field.
      Several<InsertData>({66}, [](TagBuilder& b, const InsertData&, bool hasAttributes) {
        if (hasAttributes) b.integer(66, 1);
      }, [](InsertData&, int, std::string_view, const TextCodec&, FieldReadState&) {}),
      Value<InsertData>(Kind::Text, 2, When::Always, [](InsertData& d) -> FieldRef { return &d.blockName; }),
      Value<InsertData>(Kind::Point, 10, When::Always, [](InsertData& d) -> FieldRef { return &d.insertion; }),
      Value<InsertData>(Kind::Real, 41, When::NotDefault, [](InsertData& d) -> FieldRef { return &d.xScale; }),
      Value<InsertData>(Kind::Real, 42, When::NotDefault, [](InsertData& d) -> FieldRef { return &d.yScale; }),
      Value<InsertData>(Kind::Real, 43, When::NotDefault, [](InsertData& d) -> FieldRef { return &d.zScale; }),
      Value<InsertData>(Kind::Angle, 50, When::NotDefault, [](InsertData& d) -> FieldRef { return &d.rotation; }),
      Value<InsertData>(Kind::Integer, 70, When::NotDefault, [](InsertData& d) -> FieldRef { return &d.columns; }),
      Value<InsertData>(Kind::Integer, 71, When::NotDefault, [](InsertData& d) -> FieldRef { return &d.rows; }),
      Value<InsertData>(Kind::Real, 44, When::NotDefault, [](InsertData& d) -> FieldRef { return &d.columnSpacing; }),
      Value<InsertData>(Kind::Real, 45, When::NotDefault, [](InsertData& d) -> FieldRef { return &d.rowSpacing; }),
      Value<InsertData>(Kind::Normal, 210, When::Always, [](InsertData& d) -> FieldRef { return &d.normal; }),
  });
  return table;
}

const FieldTable<AttribData>& AttribTable() {
  static const FieldTable<AttribData> table(TextFieldsOf<AttribData>(
      {}, {
              Marker<AttribData>([](const AttribData&) { return "AcDbAttribute"; }),
              Value<AttribData>(Kind::Text, 2, When::Always, [](AttribData& d) -> FieldRef { return &d.tag; }),
              Value<AttribData>(Kind::Integer, 70, When::Always, [](AttribData& d) -> FieldRef { return &d.flags; }),
              Value<AttribData>(Kind::Integer, 74, When::NotDefault,
                                [](AttribData& d) -> FieldRef { return &d.text.vertical; }),
              // A prompt belongs to the definition; a reference written anew has none.
              Dropped<AttribData>(3),
          }));
  return table;
}

const FieldTable<AttdefData>& AttdefTable() {
  static const FieldTable<AttdefData> table(TextFieldsOf<AttdefData>(
      {}, {
              Marker<AttdefData>([](const AttdefData&) { return "AcDbAttributeDefinition"; }),
              Value<AttdefData>(Kind::Text, 3, When::Always, [](AttdefData& d) -> FieldRef { return &d.prompt; }),
              Value<AttdefData>(Kind::Text, 2, When::Always, [](AttdefData& d) -> FieldRef { return &d.tag; }),
              Value<AttdefData>(Kind::Integer, 70, When::Always, [](AttdefData& d) -> FieldRef { return &d.flags; }),
              Value<AttdefData>(Kind::Integer, 74, When::NotDefault,
                                [](AttdefData& d) -> FieldRef { return &d.text.vertical; }),
          }));
  return table;
}

const FieldTable<TextData>& TextTable() {
  static const FieldTable<TextData> table(TextFieldsOf<TextData>(
      {}, {
              Marker<TextData>([](const TextData&) { return "AcDbText"; }),
              Value<TextData>(Kind::Integer, 73, When::NotDefault, [](TextData& d) -> FieldRef { return &d.text.vertical; }),
          }));
  return table;
}

// Text longer than 250 characters goes in 3 chunks before the final 1.
constexpr std::size_t kMTextChunk = 250;

const FieldTable<MTextData>& MTextTable() {
  static const FieldTable<MTextData> table({
      Marker<MTextData>([](const MTextData&) { return "AcDbMText"; }),
      Value<MTextData>(Kind::Point, 10, When::Always, [](MTextData& d) -> FieldRef { return &d.insertion; }),
      Value<MTextData>(Kind::Real, 40, When::Always, [](MTextData& d) -> FieldRef { return &d.height; }),
      Value<MTextData>(Kind::Real, 41, When::Always, [](MTextData& d) -> FieldRef { return &d.referenceWidth; }),
      Value<MTextData>(Kind::Integer, 71, When::Always, [](MTextData& d) -> FieldRef { return &d.attachment; }),
      Several<MTextData>({1, 3}, [](TagBuilder& b, const MTextData& d, bool) {
        const std::string encoded = b.codec.encode(d.value);
        std::size_t at = 0;
        while (encoded.size() - at > kMTextChunk) {
          b.add(3, encoded.substr(at, kMTextChunk));
          at += kMTextChunk;
        }
        b.add(1, encoded.substr(at));
      }, [](MTextData& d, int code, std::string_view value, const TextCodec& codec, FieldReadState& state) {
        if (code == 3) state.mtextChunks += value;
        else d.value = codec.decode(state.mtextChunks + std::string(value));
      }),
      Value<MTextData>(Kind::Text, 7, When::NotDefault, [](MTextData& d) -> FieldRef { return &d.style; }),
      Value<MTextData>(Kind::Point, 11, When::Always, [](MTextData& d) -> FieldRef { return &d.direction; }),
      // The rotation is read; the direction (11) written in its place says the same.
      Shown<MTextData>(Kind::Angle, 50, [](const MTextData&) { return false; },
                       [](MTextData& d) -> FieldRef { return &d.rotation; }),
  });
  return table;
}

const FieldTable<LineData>& LineTable() {
  static const FieldTable<LineData> table({
      Marker<LineData>([](const LineData&) { return "AcDbLine"; }),
      Value<LineData>(Kind::Point, 10, When::Always, [](LineData& d) -> FieldRef { return &d.start; }),
      Value<LineData>(Kind::Point, 11, When::Always, [](LineData& d) -> FieldRef { return &d.end; }),
  });
  return table;
}

const FieldTable<ArcData>& ArcTable() {
  static const FieldTable<ArcData> table({
      Marker<ArcData>([](const ArcData&) { return "AcDbCircle"; }),
      Value<ArcData>(Kind::Point, 10, When::Always, [](ArcData& d) -> FieldRef { return &d.center; }),
      Value<ArcData>(Kind::Real, 40, When::Always, [](ArcData& d) -> FieldRef { return &d.radius; }),
      Value<ArcData>(Kind::Normal, 210, When::Always, [](ArcData& d) -> FieldRef { return &d.normal; }),
      Marker<ArcData>([](const ArcData&) { return "AcDbArc"; }),
      Value<ArcData>(Kind::Angle, 50, When::Always, [](ArcData& d) -> FieldRef { return &d.startAngle; }),
      Value<ArcData>(Kind::Angle, 51, When::Always, [](ArcData& d) -> FieldRef { return &d.endAngle; }),
  });
  return table;
}

const FieldTable<CircleData>& CircleTable() {
  static const FieldTable<CircleData> table({
      Marker<CircleData>([](const CircleData&) { return "AcDbCircle"; }),
      Value<CircleData>(Kind::Point, 10, When::Always, [](CircleData& d) -> FieldRef { return &d.center; }),
      Value<CircleData>(Kind::Real, 40, When::Always, [](CircleData& d) -> FieldRef { return &d.radius; }),
      Value<CircleData>(Kind::Normal, 210, When::Always, [](CircleData& d) -> FieldRef { return &d.normal; }),
  });
  return table;
}

// LWPOLYLINE vertices: each 10 starts one, the 20, 40, 41 and 42 after it belong to it.
void ReadLwVertex(LwPolylineData& d, int code, std::string_view value, const TextCodec&, FieldReadState&) {
  const double number = toDouble(value);
  if (code == 10) {
    d.vertices.push_back(LwVertex{number});
    return;
  }
  if (code == 90 || d.vertices.empty()) return;  // the count follows from the vertices
  LwVertex& last = d.vertices.back();
  if (code == 20) last.y = number;
  if (code == 40) last.startWidth = number;
  if (code == 41) last.endWidth = number;
  if (code == 42) last.bulge = number;
}

const FieldTable<LwPolylineData>& LwPolylineTable() {
  static const FieldTable<LwPolylineData> table({
      Marker<LwPolylineData>([](const LwPolylineData&) { return "AcDbPolyline"; }),
      Several<LwPolylineData>({90}, [](TagBuilder& b, const LwPolylineData& d, bool) {
        b.integer(90, static_cast<int>(d.vertices.size()));
      }, &ReadLwVertex),
      Value<LwPolylineData>(Kind::Integer, 70, When::Always, [](LwPolylineData& d) -> FieldRef { return &d.flags; }),
      Value<LwPolylineData>(Kind::Real, 38, When::NotDefault, [](LwPolylineData& d) -> FieldRef { return &d.elevation; }),
      Value<LwPolylineData>(Kind::Real, 43, When::NotDefault,
                            [](LwPolylineData& d) -> FieldRef { return &d.constantWidth; }),
      Several<LwPolylineData>({10, 20, 40, 41, 42}, [](TagBuilder& b, const LwPolylineData& d, bool) {
        for (const LwVertex& v : d.vertices) {
          b.number(10, v.x);
          b.number(20, v.y);
          if (v.startWidth != 0.0) b.number(40, v.startWidth);
          if (v.endWidth != 0.0) b.number(41, v.endWidth);
          if (v.bulge != 0.0) b.number(42, v.bulge);
        }
      }, &ReadLwVertex),
      Value<LwPolylineData>(Kind::Normal, 210, When::Always, [](LwPolylineData& d) -> FieldRef { return &d.normal; }),
  });
  return table;
}

const FieldTable<PolylineData>& PolylineTable() {
  static const FieldTable<PolylineData> table({
      Marker<PolylineData>([](const PolylineData& d) { return (d.flags & 8) ? "AcDb3dPolyline" : "AcDb2dPolyline"; }),
      // 66: VERTEXes follow, always.
      Several<PolylineData>({66}, [](TagBuilder& b, const PolylineData&, bool) { b.integer(66, 1); },
                            [](PolylineData&, int, std::string_view, const TextCodec&, FieldReadState&) {}),
      Value<PolylineData>(Kind::Point, 10, When::Always, [](PolylineData& d) -> FieldRef { return &d.elevation; }),
      Value<PolylineData>(Kind::Integer, 70, When::Always, [](PolylineData& d) -> FieldRef { return &d.flags; }),
      Value<PolylineData>(Kind::Normal, 210, When::Always, [](PolylineData& d) -> FieldRef { return &d.normal; }),
  });
  return table;
}

const FieldTable<VertexData>& VertexTable() {
  static const FieldTable<VertexData> table({
      Marker<VertexData>([](const VertexData&) { return "AcDbVertex"; }),
      Marker<VertexData>([](const VertexData& d) { return (d.flags & 32) ? "AcDb3dPolylineVertex" : "AcDb2dVertex"; }),
      Value<VertexData>(Kind::Point, 10, When::Always, [](VertexData& d) -> FieldRef { return &d.point; }),
      Value<VertexData>(Kind::Real, 42, When::NotDefault, [](VertexData& d) -> FieldRef { return &d.bulge; }),
      Value<VertexData>(Kind::Integer, 70, When::Always, [](VertexData& d) -> FieldRef { return &d.flags; }),
  });
  return table;
}

const FieldTable<PointData>& PointTable() {
  static const FieldTable<PointData> table({
      Marker<PointData>([](const PointData&) { return "AcDbPoint"; }),
      Value<PointData>(Kind::Point, 10, When::Always, [](PointData& d) -> FieldRef { return &d.point; }),
  });
  return table;
}

// The table of each modelled type; SEQEND and the types kept as tags have none.
template <class Data>
const auto* TableOf() {
  if constexpr (std::is_same_v<Data, InsertData>) return &InsertTable();
  else if constexpr (std::is_same_v<Data, AttribData>) return &AttribTable();
  else if constexpr (std::is_same_v<Data, AttdefData>) return &AttdefTable();
  else if constexpr (std::is_same_v<Data, TextData>) return &TextTable();
  else if constexpr (std::is_same_v<Data, MTextData>) return &MTextTable();
  else if constexpr (std::is_same_v<Data, LineData>) return &LineTable();
  else if constexpr (std::is_same_v<Data, ArcData>) return &ArcTable();
  else if constexpr (std::is_same_v<Data, CircleData>) return &CircleTable();
  else if constexpr (std::is_same_v<Data, LwPolylineData>) return &LwPolylineTable();
  else if constexpr (std::is_same_v<Data, PolylineData>) return &PolylineTable();
  else if constexpr (std::is_same_v<Data, VertexData>) return &VertexTable();
  else if constexpr (std::is_same_v<Data, PointData>) return &PointTable();
  else return static_cast<const FieldTable<Data>*>(nullptr);
}

}  // namespace

void ReadEntityField(EntityData& data, int code, std::string_view value, const TextCodec& codec,
                     FieldReadState& state) {
  std::visit(
      [&](auto& typed) {
        using Data = std::decay_t<decltype(typed)>;
        if (const auto* table = TableOf<Data>()) table->Read(typed, code, value, codec, state);
      },
      data);
}

const std::set<int>& WriteEntityFields(const EntityData& data, TagBuilder& builder, bool hasAttributes) {
  return std::visit(
      [&](const auto& typed) -> const std::set<int>& {
        using Data = std::decay_t<decltype(typed)>;
        const auto* table = TableOf<Data>();
        if (!table) return kCommonCodes;
        table->Write(builder, typed, hasAttributes);
        return table->Modelled();
      },
      data);
}

}  // namespace cadhost::dxf
