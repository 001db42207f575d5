// The automation objects standing for block containers, layers and UCSs.
#pragma once

#include <cstdint>
#include <memory>

#include "cadhost/database.h"
#include "host/cad.h"

namespace cadhost {

class HostDocument;

cad::BlockPtr MakeBlockObject(const std::shared_ptr<HostDocument>& document, BlockId id);
cad::BlocksPtr MakeBlocksObject(const std::shared_ptr<HostDocument>& document);
cad::LayerPtr MakeLayerObject(const std::shared_ptr<HostDocument>& document, std::uint32_t index);
cad::LayersPtr MakeLayersObject(const std::shared_ptr<HostDocument>& document);
cad::UcsPtr MakeUcsObject(const std::shared_ptr<HostDocument>& document, std::uint32_t index);
cad::UserCoordinateSystemsPtr MakeUcssObject(const std::shared_ptr<HostDocument>& document);

// The table record an object of this host stands for; fails for a null
// object or one of another drawing.
std::uint32_t LayerIndexOf(const cad::LayerPtr& layer, const HostDocument& document);
std::uint32_t UcsIndexOf(const cad::UcsPtr& ucs, const HostDocument& document);

// True when InsertBlock's name is the path of a drawing file rather than a block name.
bool NamesDrawingFile(const std::string& name);

}  // namespace cadhost
