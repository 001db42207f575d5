// The automation objects standing for entities of a drawing.
#pragma once

#include <memory>

#include "cadhost/database.h"
#include "host/cad.h"

namespace cadhost {

class HostDocument;

// A new object for the entity, of the class its type calls for (block
// reference, text, attribute reference or definition, polyline, or a plain
// entity). Objects are references: an erased entity's object fails every call.
cad::EntityPtr MakeEntityObject(const std::shared_ptr<HostDocument>& document, EntityId id);

// The entity an object of this host stands for; fails for a null object or one
// of another drawing.
EntityId EntityIdOf(const cad::EntityPtr& entity, const HostDocument& document);

// The host's class name of an entity ("AcDbBlockReference", "AcDbPolyline", ...).
std::string ObjectNameOf(const Entity& entity);

}  // namespace cadhost
