#include "vrx/core/operation/vrx_notqmrle.h"

#include "vrx/core/operation/vrx_notqmrleengine.h"

namespace vrx {

VRX_Engine* VRX_NotQMRLE::engine(VRX_Engine* source) {
    const VRX_Header* header = source_header(source, "VRX_NotQMRLE::engine()", __FILE__, 61);
    if (!header) return nullptr;
    return build<VRX_NotQMRLEEngine>(source, header);
}

}  // namespace vrx
