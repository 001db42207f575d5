// The CAD host's automation object model, as the program calls it.
//
// Every drawing operation of the program goes through these abstract classes.
// They mirror the host's published automation interface: an application holds
// documents; a document holds model space, block definitions, layers, user
// coordinate systems and named selection sets; entities are reached through
// block containers and selection sets.
//
// Conventions:
//  - Property reads are member functions without arguments (`Layer()`), property
//    writes the same name with the new value (`Layer("0")`), as the host's
//    property get/put pairs are.
//  - Any call may fail; a failure throws `HostError` with the host's description.
//  - Members that automation clients reach late-bound on any entity (a polyline's
//    `Closed` and `Coordinates`, a text's `TextString`) are declared on `Entity`
//    and throw `HostError` on an entity that lacks them.
//  - Points are world coordinates; angles are radians; colours are colour index
//    numbers (0 ByBlock, 256 ByLayer).
//  - Objects are shared references: a reference to an object that was deleted
//    stays valid as a C++ object, and any call on it fails with `HostError`.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace cad {

// A failed host call. `Description()` is the host's own text, which the program
// shows to the user.
class HostError : public std::runtime_error {
 public:
  explicit HostError(const std::string& description) : std::runtime_error(description) {}
  std::string Description() const { return what(); }
};

struct Point3 {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
  friend bool operator==(const Point3&, const Point3&) = default;
};

// Host colour index numbers.
inline constexpr int kColorByBlock = 0;
inline constexpr int kColorRed = 1;
inline constexpr int kColorWhite = 7;
inline constexpr int kColorByLayer = 256;

// Window states of the host application.
inline constexpr int kWindowNormal = 1;
inline constexpr int kWindowMinimized = 2;
inline constexpr int kWindowMaximized = 3;

// Text alignment values (`Alignment`).
inline constexpr int kAlignmentLeft = 0;
inline constexpr int kAlignmentMiddleCenter = 10;

// One item of extended entity data: a group code (1000 string, 1001 application
// name, 1002 control string, 1003 layer, 1004 binary, 1005 handle, 1010-1013
// points, 1040-1042 reals, 1070 16-bit integer, 1071 32-bit integer) and its value.
using XDataValue = std::variant<std::string, double, std::int32_t, Point3>;
struct XDataItem {
  std::int16_t code = 1000;
  XDataValue value;
  friend bool operator==(const XDataItem&, const XDataItem&) = default;
};
using XData = std::vector<XDataItem>;

// Selection filter: parallel arrays of group codes and values. Every entry must
// hold for an entity to be selected. Understood codes: 0 entity type, 2 block
// name, 8 layer, 67 space ("" or "0" model space, "1" paper space), 1001 an
// extended-data application present on the entity.
struct SelectionFilter {
  std::vector<std::int16_t> types;
  std::vector<std::string> values;
};

// Selection modes of `SelectionSet::Select` and `SelectByPolygon`.
enum class SelectMode : int {
  Previous = 3,
  Last = 4,             // the last entity created in the drawing
  All = 5,              // every entity the filter accepts
  WindowPolygon = 6,    // entities lying wholly inside the polygon
  CrossingPolygon = 7,  // entities inside the polygon or crossing its boundary
};

class Application;
class Document;
class Documents;
class Block;
class Blocks;
class Layer;
class Layers;
class Ucs;
class UserCoordinateSystems;
class SelectionSet;
class SelectionSets;
class Utility;
class Object;
class Entity;
class BlockReference;
class Text;
class AttributeReference;
class AttributeDefinition;
class Polyline;

using ApplicationPtr = std::shared_ptr<Application>;
using DocumentPtr = std::shared_ptr<Document>;
using DocumentsPtr = std::shared_ptr<Documents>;
using BlockPtr = std::shared_ptr<Block>;
using BlocksPtr = std::shared_ptr<Blocks>;
using LayerPtr = std::shared_ptr<Layer>;
using LayersPtr = std::shared_ptr<Layers>;
using UcsPtr = std::shared_ptr<Ucs>;
using UserCoordinateSystemsPtr = std::shared_ptr<UserCoordinateSystems>;
using SelectionSetPtr = std::shared_ptr<SelectionSet>;
using SelectionSetsPtr = std::shared_ptr<SelectionSets>;
using UtilityPtr = std::shared_ptr<Utility>;
using ObjectPtr = std::shared_ptr<Object>;
using EntityPtr = std::shared_ptr<Entity>;
using BlockReferencePtr = std::shared_ptr<BlockReference>;
using TextPtr = std::shared_ptr<Text>;
using AttributeReferencePtr = std::shared_ptr<AttributeReference>;
using AttributeDefinitionPtr = std::shared_ptr<AttributeDefinition>;
using PolylinePtr = std::shared_ptr<Polyline>;

// Anything stored in a drawing.
class Object {
 public:
  virtual ~Object() = default;
  // The object's class name in the host's convention, e.g. "AcDbBlockReference".
  virtual std::string ObjectName() const = 0;
  // The object's DXF handle as upper-case hexadecimal text.
  virtual std::string Handle() const = 0;
};

// Anything drawn in a block container (model space, paper space, a block).
class Entity : public Object {
 public:
  virtual std::string Layer() const = 0;
  virtual void Layer(const std::string& name) = 0;  // the layer must exist
  virtual int color() const = 0;
  virtual void color(int colorIndex) = 0;
  // Asks the host to regenerate the entity's display.
  virtual void Update() = 0;
  // Lower-left and upper-right corners of the entity's world extents.
  virtual void GetBoundingBox(Point3& minPoint, Point3& maxPoint) const = 0;
  virtual void ScaleEntity(const Point3& basePoint, double scaleFactor) = 0;
  // The extended data of one application: its 1001 item followed by its data.
  // Empty when the entity has none of that application.
  virtual XData GetXData(const std::string& appName) const = 0;
  // Replaces the data of the application named by the first (1001) item.
  virtual void SetXData(const XData& data) = 0;
  virtual void Delete() = 0;

  // Late-bound members: only some entity types have them.
  virtual bool Closed() const;
  virtual std::vector<double> Coordinates() const;
  virtual std::string TextString() const;
  virtual void TextString(const std::string& text);
};

// Text-like entities: single-line text, attribute references and definitions.
class Text : public Entity {
 public:
  virtual Point3 InsertionPoint() const = 0;
  virtual double Height() const = 0;
  virtual int Alignment() const = 0;
  virtual void Alignment(int alignment) = 0;
  virtual double Rotation() const = 0;
  virtual void Rotation(double radians) = 0;
  virtual Point3 TextAlignmentPoint() const = 0;
  virtual void TextAlignmentPoint(const Point3& point) = 0;
  std::string TextString() const override = 0;
  void TextString(const std::string& text) override = 0;
};

class AttributeReference : public Text {
 public:
  virtual std::string TagString() const = 0;
};

class AttributeDefinition : public Text {
 public:
  virtual std::string TagString() const = 0;
  virtual std::string PromptString() const = 0;
  virtual int Mode() const = 0;  // bit 1 invisible, 2 constant, 4 verify, 8 preset
};

class BlockReference : public Entity {
 public:
  // In world coordinates, as every point of this object model.
  virtual Point3 InsertionPoint() const = 0;
  virtual std::string Name() const = 0;
  virtual double Rotation() const = 0;
  virtual double XScaleFactor() const = 0;
  virtual double YScaleFactor() const = 0;
  virtual double ZScaleFactor() const = 0;
  // The direction the reference is extruded along: (0, 0, 1) unless it lies
  // in another plane; (0, 0, -1) for a reference mirrored in a plan.
  virtual Point3 Normal() const = 0;
  // Puts the reference and its attributes in the plane of `normal`, keeping
  // its insertion point where it is in the world.
  virtual void Normal(const Point3& normal) = 0;
  virtual bool HasAttributes() const = 0;
  // The attribute references in the reference's attribute order.
  virtual std::vector<AttributeReferencePtr> GetAttributes() const = 0;
};

// Lightweight, 2D and 3D polylines.
class Polyline : public Entity {
 public:
  bool Closed() const override = 0;
  // Two values per vertex for a lightweight polyline, three for 2D and 3D ones.
  std::vector<double> Coordinates() const override = 0;
};

// A block container: model space, a paper-space layout or a block definition.
class Block : public Object {
 public:
  virtual std::string Name() const = 0;
  virtual bool IsLayout() const = 0;
  virtual bool IsXRef() const = 0;
  virtual Point3 Origin() const = 0;
  virtual long Count() const = 0;
  virtual EntityPtr Item(long index) const = 0;
  // `name` is a block of the drawing or the full path of a drawing file.
  virtual BlockReferencePtr InsertBlock(const Point3& insertionPoint, const std::string& name,
                                        double xScale, double yScale, double zScale,
                                        double rotation) = 0;
  virtual TextPtr AddText(const std::string& text, const Point3& insertionPoint,
                          double height) = 0;
  virtual AttributeDefinitionPtr AddAttribute(double height, int mode, const std::string& prompt,
                                              const Point3& insertionPoint,
                                              const std::string& tag,
                                              const std::string& value) = 0;
  virtual EntityPtr AddArc(const Point3& center, double radius, double startAngle,
                           double endAngle) = 0;
  virtual EntityPtr AddLine(const Point3& startPoint, const Point3& endPoint) = 0;
  // Two values (x, y) per vertex.
  virtual PolylinePtr AddLightWeightPolyline(const std::vector<double>& vertices) = 0;
};

class Blocks {
 public:
  virtual ~Blocks() = default;
  virtual long Count() const = 0;
  virtual BlockPtr Item(long index) const = 0;
  virtual BlockPtr Item(const std::string& name) const = 0;  // fails when missing
  virtual BlockPtr Add(const Point3& origin, const std::string& name) = 0;
};

class Layer : public Object {
 public:
  virtual std::string Name() const = 0;
  virtual int color() const = 0;
  virtual bool LayerOn() const = 0;
  virtual bool Freeze() const = 0;
};

class Layers {
 public:
  virtual ~Layers() = default;
  virtual long Count() const = 0;
  virtual LayerPtr Item(long index) const = 0;
  virtual LayerPtr Item(const std::string& name) const = 0;  // fails when missing
  // The existing layer of that name, or a new one (colour 7, continuous).
  virtual LayerPtr Add(const std::string& name) = 0;
};

class Ucs : public Object {
 public:
  virtual std::string Name() const = 0;
  virtual Point3 Origin() const = 0;
  virtual Point3 XVector() const = 0;
  virtual Point3 YVector() const = 0;
};

class UserCoordinateSystems {
 public:
  virtual ~UserCoordinateSystems() = default;
  virtual long Count() const = 0;
  virtual UcsPtr Item(long index) const = 0;
  virtual UcsPtr Add(const Point3& origin, const Point3& xAxisPoint, const Point3& yAxisPoint,
                     const std::string& name) = 0;
};

class SelectionSet {
 public:
  virtual ~SelectionSet() = default;
  virtual std::string Name() const = 0;
  virtual long Count() const = 0;
  virtual EntityPtr Item(long index) const = 0;
  // Adds to the set the entities the mode (All, Last, Previous) and filter select.
  virtual void Select(SelectMode mode, const SelectionFilter& filter = {}) = 0;
  // `points` holds x, y, z per vertex; the polygon closes by itself.
  virtual void SelectByPolygon(SelectMode mode, const std::vector<double>& points,
                               const SelectionFilter& filter = {}) = 0;
  virtual void AddItems(const std::vector<EntityPtr>& items) = 0;
  virtual void Clear() = 0;
  // Deletes every entity of the set from the drawing.
  virtual void Erase() = 0;
  // Removes the set itself from the drawing (not its entities).
  virtual void Delete() = 0;
};

class SelectionSets {
 public:
  virtual ~SelectionSets() = default;
  virtual long Count() const = 0;
  virtual SelectionSetPtr Item(long index) const = 0;
  virtual SelectionSetPtr Item(const std::string& name) const = 0;  // fails when missing
  virtual SelectionSetPtr Add(const std::string& name) = 0;         // fails when in use
};

struct PickedEntity {
  EntityPtr entity;
  Point3 point;
};

class Utility {
 public:
  virtual ~Utility() = default;
  // Asks the user to pick one object; fails when the user cancels or picks nothing.
  virtual PickedEntity GetEntity(const std::string& prompt) = 0;
};

class Document {
 public:
  virtual ~Document() = default;
  virtual ApplicationPtr Application() const = 0;
  virtual std::string Name() const = 0;      // file name with extension
  virtual std::string FullName() const = 0;  // full path, empty for a new drawing
  virtual BlockPtr ModelSpace() const = 0;
  virtual BlockPtr PaperSpace() const = 0;
  virtual BlocksPtr Blocks() const = 0;
  virtual LayersPtr Layers() const = 0;
  virtual UserCoordinateSystemsPtr UserCoordinateSystems() const = 0;
  virtual LayerPtr ActiveLayer() const = 0;
  virtual void ActiveLayer(const LayerPtr& layer) = 0;
  virtual UcsPtr ActiveUCS() const = 0;  // fails when the world system is current
  virtual void ActiveUCS(const UcsPtr& ucs) = 0;
  virtual SelectionSetsPtr SelectionSets() const = 0;
  virtual UtilityPtr Utility() const = 0;
  // Runs a command line; answers are separated by carriage returns.
  virtual void SendCommand(const std::string& command) = 0;
  virtual ObjectPtr HandleToObject(const std::string& handle) const = 0;

  // Undo marks: the changes between StartUndoMark and EndUndoMark form one undo
  // step; marks nest. CancelUndoMark takes back every change since the innermost
  // open mark and closes it.
  virtual void StartUndoMark() = 0;
  virtual void EndUndoMark() = 0;
  virtual void CancelUndoMark() = 0;

  virtual bool Saved() const = 0;  // no changes since the last open or save
  virtual void Save() = 0;
  virtual void SaveAs(const std::string& path) = 0;
  virtual void Activate() = 0;
  virtual void Close() = 0;
};

class Documents {
 public:
  virtual ~Documents() = default;
  virtual long Count() const = 0;
  virtual DocumentPtr Item(long index) const = 0;
  virtual DocumentPtr Add() = 0;                          // a new empty drawing
  virtual DocumentPtr Open(const std::string& path) = 0;  // becomes the active one
};

class Application {
 public:
  virtual ~Application() = default;
  virtual bool Visible() const = 0;
  virtual void Visible(bool visible) = 0;
  virtual int WindowState() const = 0;
  virtual void WindowState(int state) = 0;
  virtual DocumentPtr ActiveDocument() const = 0;  // fails when no drawing is open
  virtual DocumentsPtr Documents() const = 0;
  virtual std::string Version() const = 0;  // e.g. "17.0"
};

// The platform's component object access: running hosts registered under class
// identifiers ("AutoCAD.Application.17"), compared without regard to case.
class ObjectBroker {
 public:
  virtual ~ObjectBroker() = default;
  // The running object registered under the identifier; fails when none answers.
  virtual ApplicationPtr GetObject(const std::string& classId) = 0;
  // Starts a new host for the identifier; fails when no host can be started.
  virtual ApplicationPtr CreateObject(const std::string& classId) = 0;
};

// Reaches a member that only some objects have, as a late-bound call would:
// fails with the host's "does not support" error when the object lacks it.
template <class T, class From>
std::shared_ptr<T> As(const std::shared_ptr<From>& object) {
  if (!object) throw HostError("Object variable not set");
  auto typed = std::dynamic_pointer_cast<T>(object);
  if (!typed) throw HostError("Object doesn't support this property or method");
  return typed;
}

}  // namespace cad
