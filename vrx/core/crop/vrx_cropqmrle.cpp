#include "vrx/core/crop/vrx_cropqmrle.h"

#include "vrx/core/crop/vrx_cropqmrleengine.h"

namespace vrx {

VRX_Engine* VRX_CropQMRLE::engine(VRX_Engine* source, uint32_t x, uint32_t y, uint32_t width,
                                  uint32_t height) {
    const VRX_Header* header = source_header(source, "VRX_CropQMRLE::engine()", __FILE__, 65);
    if (!header) return nullptr;
    if (x == 0 && y == 0 && width >= header->width && height >= header->height) return source;
    return build<VRX_CropQMRLEEngine>(source, header, x, y, width, height);
}

}  // namespace vrx
