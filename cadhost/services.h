// What the built-in host gets from outside: file access and user interaction.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "cadhost/drawing_files.h"
#include "host/cad.h"

namespace cadhost {

// Lets the user pick one object of a drawing (the host window implements it).
class EntityPicker {
 public:
  virtual ~EntityPicker() = default;
  // nullopt when the user cancels; a result without an entity when the pick
  // hit nothing.
  virtual std::optional<cad::PickedEntity> Pick(cad::Document& document,
                                                const std::string& prompt) = 0;
};

// The backends an application and its documents share; any may be missing,
// and the operations that need a missing one fail with a description.
struct HostServices {
  std::shared_ptr<DrawingLoader> loader;
  std::shared_ptr<DrawingSaver> saver;
  std::shared_ptr<EntityPicker> picker;
};

}  // namespace cadhost
