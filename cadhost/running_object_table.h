// Running host instances, found by class identifier.
#pragma once

#include <functional>
#include <map>
#include <string>

#include "host/cad.h"

namespace cadhost {

// Owns the registrations of running hosts and the factories that start new
// ones, under class identifiers ("AutoCAD.Application.17") compared without
// regard to case. CreateObject registers the host it starts when no host of
// that identifier is running yet, as a starting server registers itself.
class RunningObjectTable : public cad::ObjectBroker {
 public:
  using Factory = std::function<cad::ApplicationPtr()>;

  void Register(const std::string& classId, cad::ApplicationPtr application);
  void Revoke(const std::string& classId);
  void RegisterFactory(const std::string& classId, Factory factory);

  cad::ApplicationPtr GetObject(const std::string& classId) override;
  cad::ApplicationPtr CreateObject(const std::string& classId) override;

 private:
  std::map<std::string, cad::ApplicationPtr> running_;
  std::map<std::string, Factory> factories_;
};

}  // namespace cadhost
