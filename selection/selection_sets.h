// Named selection sets of the host drawing and the selection filter they share.
#pragma once

#include <string>

#include "host/cad.h"

namespace selection {

inline constexpr const char* kSS2 = "SS2";
inline constexpr const char* kSS3 = "SS3";
inline constexpr const char* kSsTemp = "ssTemp";

// Group codes the program filters on.
inline constexpr std::int16_t kFilterBlockName = 2;
inline constexpr std::int16_t kFilterLayer = 8;
inline constexpr std::int16_t kFilterSpace = 67;
inline constexpr std::int16_t kFilterXDataApp = 1001;

// The program-wide selection state: one reference per named set, and the shared
// two-entry filter. Entry 0 is set by each caller just before it selects; entry 1
// (group code 67, empty value) is fixed at start-up and restricts every filtered
// selection to model space.
struct SelectState {
  cad::SelectionSetPtr SS2;
  cad::SelectionSetPtr SS3;
  cad::SelectionSetPtr ssTemp;
  cad::SelectionFilter filter{{0, 0}, {"", ""}};
};

SelectState& M_Select();

// Fixes filter entry 1 to the model-space restriction (start-up does this once).
void InitialiseSelectionFilter();

// Sets filter entry 0 to one group code and value.
void SetFilterEntry0(std::int16_t groupCode, const std::string& value);

// Makes "WCS" current, refreshes the active drawing and adds the named set to it.
// Failures reach the caller: a set of that name still in the drawing makes it fail.
void CreateSelectionSet(const std::string& name);

// Removes the named set from the active drawing if it has one. Never fails.
void DeleteSelectionSet(const std::string& name);

// The program-wide reference of one of the three names.
cad::SelectionSetPtr& SelectionSetReference(const std::string& name);

}  // namespace selection
