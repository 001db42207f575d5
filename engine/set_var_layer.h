// Making a named layer the drawing's current layer, creating it when missing.
#pragma once

#include <string>

namespace forms {
class UiPort;
}

namespace engine {

// The layer names SetVarLayer works with, shared with its callers.
struct LayerVariables {
  std::string VariableLayerName;    // the wanted layer, set by the caller
  std::string VarCurrentLayerName;  // the current layer as SetVarLayer read it
};
LayerVariables& M_Layers();

// Makes VariableLayerName the current layer of the active drawing; the host
// adds it when the drawing lacks it. Names compare exactly, so another letter
// case asks the host again. A host failure is shown in a three-line message
// (the host's description, the wanted and the current layer name), the
// current layer stays as it was, and false is returned.
bool SetVarLayer(forms::UiPort& ui);
// Sets VariableLayerName, then runs SetVarLayer.
bool SetVarLayer(forms::UiPort& ui, const std::string& layerName);

}  // namespace engine
