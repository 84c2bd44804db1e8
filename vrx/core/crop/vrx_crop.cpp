#include "vrx/core/crop/vrx_crop.h"

#include "vrx/core/crop/vrx_cropheight.h"
#include "vrx/core/crop/vrx_cropqmrle.h"
#include "vrx/core/crop/vrx_cropwidth.h"

namespace vrx {

VRX_Engine* VRX_Crop::engine(VRX_Engine* source, uint32_t x, uint32_t y, uint32_t width,
                             uint32_t height) {
    const VRX_Header* header = source_header(source, "VRX_Crop::engine()", __FILE__, 50);
    if (!header) return nullptr;
    if (header->encode_type() == VRX_EncodeType::qm_rle())
        return VRX_CropQMRLE(manager_).engine(source, x, y, width, height);
    VRX_Engine* rows = VRX_CropHeight(manager_).engine(source, y, height);
    return VRX_CropWidth(manager_).engine(rows, x, width);
}

}  // namespace vrx
