#include "cadhost/running_object_table.h"

#include "cadhost/errors.h"
#include "cadhost/names.h"

namespace cadhost {

void RunningObjectTable::Register(const std::string& classId, cad::ApplicationPtr application) {
  if (!application) Fail("Object variable not set");
  running_[FoldName(classId)] = std::move(application);
}

void RunningObjectTable::Revoke(const std::string& classId) { running_.erase(FoldName(classId)); }

void RunningObjectTable::RegisterFactory(const std::string& classId, Factory factory) {
  factories_[FoldName(classId)] = std::move(factory);
}

cad::ApplicationPtr RunningObjectTable::GetObject(const std::string& classId) {
  auto it = running_.find(FoldName(classId));
  if (it == running_.end()) Fail("ActiveX component can't create object: no running \"" + classId + "\"");
  return it->second;
}

cad::ApplicationPtr RunningObjectTable::CreateObject(const std::string& classId) {
  auto it = factories_.find(FoldName(classId));
  if (it == factories_.end() || !it->second)
    Fail("ActiveX component can't create object: \"" + classId + "\" is not registered");
  cad::ApplicationPtr application = it->second();
  if (!application) Fail("ActiveX component can't create object: \"" + classId + "\" did not start");
  running_.try_emplace(FoldName(classId), application);
  return application;
}

}  // namespace cadhost
