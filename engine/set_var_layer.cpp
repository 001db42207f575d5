#include "engine/set_var_layer.h"

#include <exception>

#include "forms/ui_port.h"
#include "host/host_state.h"
#include "host/startup.h"

namespace engine {

LayerVariables& M_Layers() {
  static LayerVariables variables;
  return variables;
}

bool SetVarLayer(forms::UiPort& ui) {
  LayerVariables& layers = M_Layers();
  layers.VarCurrentLayerName.clear();
  try {
    cad::DocumentPtr drawing = host::RefreshActiveDocument();
    layers.VarCurrentLayerName = drawing->ActiveLayer()->Name();
    if (layers.VariableLayerName != layers.VarCurrentLayerName) {
      drawing->ActiveLayer(drawing->Layers()->Add(layers.VariableLayerName));
    }
    return true;
  } catch (const std::exception& failure) {
    forms::MessageBoxRequest box;
    box.icon = forms::MessageIcon::Exclamation;
    box.title = host::kProgramTitle;
    box.text = std::string("Error in SetVarLayer ") + failure.what() + "\rVariableLayerName: " +
               layers.VariableLayerName + "\rVarCurrentLayerName: " + layers.VarCurrentLayerName;
    ui.ShowMessage(box);
    return false;
  }
}

bool SetVarLayer(forms::UiPort& ui, const std::string& layerName) {
  M_Layers().VariableLayerName = layerName;
  return SetVarLayer(ui);
}

}  // namespace engine
