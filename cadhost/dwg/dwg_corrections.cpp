#include "cadhost/dwg/dwg_corrections.h"

#include <map>
#include <set>

#include "cadhost/dxf/group_codes.h"

namespace cadhost::dwg {
namespace {

// The flags an attribute keeps: 1 invisible, 2 constant, 4 verify, 8 preset.
constexpr int kAttributeFlags = 1 | 2 | 4 | 8;

// Types the counts leave out: block framing and sequence ends are structure
// the reader rebuilds, not content a user would miss.
const std::set<std::string> kStructuralTypes = {"BLOCK", "ENDBLK", "SEQEND"};

bool SetText(std::string& field, const std::string& value) {
  if (field == value) return false;
  field = value;
  return true;
}

bool SetPooled(PooledText& field, const std::string& value) {
  if (std::string_view(field) == value) return false;
  field = value;
  return true;
}

bool SetFlags(int& field, int value) {
  const int wanted = (field & ~kAttributeFlags) | (value & kAttributeFlags);
  if (field == wanted) return false;
  field = wanted;
  return true;
}

// Counts the live entities of the drawing by type, sub-entities included, and
// those whose file record gives a true colour (420) or a transparency (440).
struct DrawingCounts {
  std::map<std::string, int> byType;
  int trueColours = 0;
  int transparencies = 0;
};

// The colour groups are looked for only when the object model has any to find.
DrawingCounts CountEntities(const Database& drawing, bool countColours) {
  DrawingCounts counts;
  for (std::uint32_t i = 1; i <= drawing.EntityCount(); ++i) {
    const Entity& entity = drawing.At(EntityId{i});
    if (entity.erased) continue;
    ++counts.byType[std::string(entity.type)];
    if (const dxf::Tags* tags = countColours ? entity.SourceTags() : nullptr) {
      bool colour = false;
      bool transparency = false;
      for (std::size_t t = 0; t < tags->size(); ++t) {
        colour = colour || tags->code(t) == dxf::codes::kTrueColor;
        transparency = transparency || tags->code(t) == dxf::codes::kTransparency;
      }
      counts.trueColours += colour ? 1 : 0;
      counts.transparencies += transparency ? 1 : 0;
    }
  }
  return counts;
}

// Objects LibreDWG could not decode: entities of a class the file names are
// reported by that name, the rest by their number, with the names known.
void ReportUndecoded(const DwgSidecar& sidecar, std::map<std::string, int>& lostEntities,
                     std::vector<std::string>& losses) {
  int others = sidecar.undecoded;
  std::string named;
  for (const auto& [name, kind] : sidecar.undecodedKinds) {
    if (kind.entity) {
      lostEntities[name] += kind.count;
      others -= kind.count;
    } else {
      named += (named.empty() ? "" : "; ") + std::to_string(kind.count) + " " + name;
    }
  }
  if (others <= 0) return;
  losses.push_back(std::to_string(others) + (others == 1 ? " object" : " objects") + " it could not decode" +
                   (named.empty() ? "" : " (" + named + ")"));
}

std::string Entities(int count) {
  return std::to_string(count) + (count == 1 ? " entity" : " entities");
}

Entity NewAttribute(const SidecarAttribute& from, const Entity& reference, const Database& drawing) {
  Entity attribute;
  // A handle the DXF did not use is the attribute's own; otherwise a new one.
  attribute.handle = from.handle != 0 && !drawing.FindEntity(from.handle) ? from.handle : 0;
  attribute.layer = from.layer;
  attribute.modified = true;
  AttribData data;
  data.text = from.text;
  data.text.normal = std::get<InsertData>(reference.data).normal;
  data.tag = from.tag;
  data.flags = from.flags & kAttributeFlags;
  attribute.data = std::move(data);
  return attribute;
}

}  // namespace

CorrectionSummary ApplySidecar(Database& drawing, const DwgSidecar& sidecar) {
  CorrectionSummary summary;
  for (const SidecarAttdef& definition : sidecar.attdefs) {
    const EntityId id = drawing.FindEntity(definition.handle);
    if (!id) continue;
    Entity& entity = drawing.At(id);
    auto* attdef = std::get_if<AttdefData>(&entity.data);
    if (!attdef) continue;
    bool changed = SetFlags(attdef->flags, definition.flags);
    changed = SetPooled(attdef->tag, definition.tag) || changed;
    changed = SetPooled(attdef->prompt, definition.prompt) || changed;
    changed = SetText(attdef->text.value, definition.text.value) || changed;
    if (changed) {
      entity.modified = true;
      ++summary.attdefsCorrected;
    }
  }

  for (const SidecarInsert& reference : sidecar.inserts) {
    const EntityId insertId = drawing.FindEntity(reference.handle);
    if (!insertId || !std::holds_alternative<InsertData>(drawing.At(insertId).data)) continue;
    bool added = false;
    for (const SidecarAttribute& wanted : reference.attribs) {
      EntityId found;
      for (EntityId child : std::get<InsertData>(drawing.At(insertId).data).attributes) {
        if (drawing.At(child).handle == wanted.handle) found = child;
      }
      if (found) {
        Entity& entity = drawing.At(found);
        auto& attrib = std::get<AttribData>(entity.data);
        bool changed = SetFlags(attrib.flags, wanted.flags);
        changed = SetPooled(attrib.tag, wanted.tag) || changed;
        changed = SetText(attrib.text.value, wanted.text.value) || changed;
        if (changed) {
          entity.modified = true;
          ++summary.attribsCorrected;
        }
        continue;
      }
      drawing.AddSubEntity(insertId, NewAttribute(wanted, drawing.At(insertId), drawing));
      ++summary.attribsRestored;
      added = true;
    }
    if (added) {
      Entity& insert = drawing.At(insertId);
      insert.modified = true;  // it now has attributes to announce (66)
      if (!std::get<InsertData>(insert.data).seqEnd) {
        Entity seqEnd;
        seqEnd.layer = insert.layer;
        seqEnd.modified = true;
        seqEnd.data = SeqEndData{};
        drawing.AddSubEntity(insertId, std::move(seqEnd));
      }
    }
  }

  // Entities by type: those the DXF has fewer of than the object model, and
  // those LibreDWG could not decode at all, of a class the file names.
  const DrawingCounts counts = CountEntities(drawing, sidecar.trueColours > 0 || sidecar.transparencies > 0);
  std::map<std::string, int> lostEntities;
  for (const auto& [type, expected] : sidecar.entityCounts) {
    if (kStructuralTypes.contains(type)) continue;
    const auto present = counts.byType.find(type);
    const int have = present == counts.byType.end() ? 0 : present->second;
    if (have < expected) lostEntities[type] += expected - have;
  }
  std::vector<std::string> undecoded;
  ReportUndecoded(sidecar, lostEntities, undecoded);
  for (const auto& [type, count] : lostEntities) summary.losses.push_back(std::to_string(count) + " " + type);
  if (sidecar.trueColours > counts.trueColours)
    summary.losses.push_back("the true colours of " + Entities(sidecar.trueColours - counts.trueColours));
  if (sidecar.transparencies > counts.transparencies)
    summary.losses.push_back("the transparency of " + Entities(sidecar.transparencies - counts.transparencies));
  summary.losses.insert(summary.losses.end(), undecoded.begin(), undecoded.end());
  return summary;
}

}  // namespace cadhost::dwg
