#include "vrx/core/crop/vrx_cropwidth8xnbits.h"

#include "vrx/core/crop/vrx_cropwidth8xnbitsengine.h"

namespace vrx {

VRX_Engine* VRX_CropWidth8xNBits::engine(VRX_Engine* source, uint32_t x, uint32_t width) {
    const VRX_Header* header =
        source_header(source, "VRX_CropWidth8xNBits::engine()", __FILE__, 52);
    return header ? build<VRX_CropWidth8xNBitsEngine>(source, header, x, width) : nullptr;
}

}  // namespace vrx
