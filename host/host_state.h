// The host references that live for the whole run and that every window shares.
#pragma once

#include <string>

#include "host/cad.h"

namespace host {

// The attached CAD application, its documents, the drawing every operation of the
// program goes to, and the product name by which the host's window is activated.
// Refreshed only at the points where the program asks the host again.
struct HostState {
  cad::ApplicationPtr application;
  cad::DocumentsPtr documents;
  cad::DocumentPtr activeDocument;
  std::string hostProductName = "AutoCAD";
};

// The program-wide host state.
inline HostState& Host() {
  static HostState state;
  return state;
}

// "Autodesk Map" answers to the window title of a host whose version is exactly
// "15.06"; every other release shows "AutoCAD".
inline std::string ProductNameForVersion(const std::string& version) {
  return version == "15.06" ? "Autodesk Map" : "AutoCAD";
}

// Takes the application's active drawing as the one the program works on.
inline cad::DocumentPtr RefreshActiveDocument() {
  HostState& state = Host();
  if (!state.application) throw cad::HostError("Object variable not set");
  state.activeDocument = state.application->ActiveDocument();
  return state.activeDocument;
}

}  // namespace host
