#include "vrx/core/crop/vrx_cropwidth1bitis.h"

#include "vrx/core/crop/vrx_cropwidth1bitisengine.h"

namespace vrx {

VRX_Engine* VRX_CropWidth1BitIS::engine(VRX_Engine* source, uint32_t x, uint32_t width) {
    const VRX_Header* header = source_header(source, "VRX_CropWidth1BitIS::engine()", __FILE__, 52);
    return header ? build<VRX_CropWidth1BitISEngine>(source, header, x, width) : nullptr;
}

}  // namespace vrx
