#include "selection/selection_sets.h"

#include "host/host_state.h"
#include "selection/ucs.h"

namespace selection {

SelectState& M_Select() {
  static SelectState state;
  return state;
}

void InitialiseSelectionFilter() {
  SelectState& state = M_Select();
  state.filter.types = {0, kFilterSpace};
  state.filter.values = {"", ""};
}

void SetFilterEntry0(std::int16_t groupCode, const std::string& value) {
  SelectState& state = M_Select();
  state.filter.types.at(0) = groupCode;
  state.filter.values.at(0) = value;
}

cad::SelectionSetPtr& SelectionSetReference(const std::string& name) {
  SelectState& state = M_Select();
  if (name == kSS2) return state.SS2;
  if (name == kSS3) return state.SS3;
  if (name == kSsTemp) return state.ssTemp;
  throw cad::HostError("Unknown selection set name: " + name);
}

void CreateSelectionSet(const std::string& name) {
  cad::SelectionSetPtr& reference = SelectionSetReference(name);
  SetWorldUcs();
  cad::DocumentPtr drawing = host::RefreshActiveDocument();
  reference = drawing->SelectionSets()->Add(name);
}

void DeleteSelectionSet(const std::string& name) {
  try {
    cad::SelectionSetPtr& reference = SelectionSetReference(name);
    cad::DocumentPtr drawing = host::RefreshActiveDocument();
    reference = drawing->SelectionSets()->Item(name);
    reference->Delete();
  } catch (const cad::HostError&) {
    // No set of that name (or no drawing): nothing to remove.
  }
}

}  // namespace selection
