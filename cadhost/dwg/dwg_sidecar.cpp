#include "cadhost/dwg/dwg_sidecar.h"

#include <nlohmann/json.hpp>

#include <stdexcept>

namespace cadhost::dwg {
namespace {

using Json = nlohmann::json;

Handle HandleOf(const Json& value) {
  const std::string text = value.get<std::string>();
  if (text.empty()) return 0;
  std::size_t used = 0;
  const Handle handle = std::stoull(text, &used, 16);
  if (used != text.size()) throw std::runtime_error("not a handle: " + text);
  return handle;
}

Point PointOf(const Json& value) {
  return {value.at(0).get<double>(), value.at(1).get<double>(), value.at(2).get<double>()};
}

void ReadAttribute(const Json& from, SidecarAttribute& into) {
  into.handle = HandleOf(from.at("handle"));
  into.tag = from.at("tag").get<std::string>();
  into.flags = from.at("flags").get<int>();
  into.layer = from.value("layer", std::string("0"));
  TextFields& text = into.text;
  text.insertion = PointOf(from.at("insertionPoint"));
  text.alignmentPoint = PointOf(from.at("alignmentPoint"));
  text.height = from.at("height").get<double>();
  text.rotation = from.at("rotation").get<double>();
  text.widthFactor = from.value("widthFactor", 1.0);
  text.oblique = from.value("oblique", 0.0);
  if (std::string style = from.value("style", std::string()); !style.empty()) text.style = style;
  text.horizontal = from.value("horizontal", 0);
  text.vertical = from.value("vertical", 0);
}

}  // namespace

DwgSidecar ParseSidecar(std::string_view json) {
  try {
    const Json root = Json::parse(json);
    DwgSidecar sidecar;
    sidecar.version = root.value("version", std::string());
    for (const auto& [type, count] : root.at("entityCounts").items()) sidecar.entityCounts[type] = count.get<int>();
    sidecar.trueColours = root.value("trueColours", 0);
    sidecar.transparencies = root.value("transparencies", 0);
    sidecar.undecoded = root.value("undecoded", 0);
    if (root.contains("undecodedKinds"))
      for (const auto& [name, kind] : root.at("undecodedKinds").items())
        sidecar.undecodedKinds[name] = {kind.at("count").get<int>(), kind.at("entity").get<bool>()};
    for (const Json& item : root.at("attdefs")) {
      SidecarAttdef attdef;
      ReadAttribute(item, attdef);
      attdef.prompt = item.at("prompt").get<std::string>();
      attdef.text.value = item.at("default").get<std::string>();
      sidecar.attdefs.push_back(std::move(attdef));
    }
    for (const Json& item : root.at("inserts")) {
      SidecarInsert insert;
      insert.handle = HandleOf(item.at("handle"));
      insert.block = item.value("block", std::string());
      for (const Json& a : item.at("attribs")) {
        SidecarAttribute attribute;
        ReadAttribute(a, attribute);
        attribute.text.value = a.at("value").get<std::string>();
        insert.attribs.push_back(std::move(attribute));
      }
      sidecar.inserts.push_back(std::move(insert));
    }
    return sidecar;
  } catch (const nlohmann::json::exception& e) {
    throw std::runtime_error(std::string("the DWG reader's attribute list is damaged: ") + e.what());
  } catch (const std::logic_error& e) {  // std::stoull on a bad handle
    throw std::runtime_error(std::string("the DWG reader's attribute list is damaged: ") + e.what());
  }
}

}  // namespace cadhost::dwg
