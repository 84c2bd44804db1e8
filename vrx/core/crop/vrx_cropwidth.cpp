#include "vrx/core/crop/vrx_cropwidth.h"

#include "vrx/core/crop/vrx_cropwidth1bitbs.h"
#include "vrx/core/crop/vrx_cropwidth1bitis.h"
#include "vrx/core/crop/vrx_cropwidth8xnbits.h"

namespace vrx {

VRX_Engine* VRX_CropWidth::engine(VRX_Engine* source, uint32_t x, uint32_t width) {
    const VRX_Header* header = source_header(source, "VRX_CropWidth::engine()", __FILE__, 53);
    if (!header) return nullptr;
    if (x == 0 && width >= header->width) return source;
    if (header->bits != 1) return VRX_CropWidth8xNBits(manager_).engine(source, x, width);
    const uint32_t channels = header->channels & 0xFFu;
    if (channels * uint64_t{x} % 8 == 0)
        return VRX_CropWidth1BitBS(manager_).engine(source, x, width);
    return VRX_CropWidth1BitIS(manager_).engine(source, x, width);
}

}  // namespace vrx
