#include "vrx/core/scale/vrx_scalenn.h"

#include "vrx/core/scale/vrx_scaleheightnn.h"
#include "vrx/core/scale/vrx_scalennqmrle.h"
#include "vrx/core/scale/vrx_scaleratio.h"
#include "vrx/core/scale/vrx_scaleshrinknn.h"
#include "vrx/core/scale/vrx_scaless.h"
#include "vrx/core/scale/vrx_scalewidthnn.h"

namespace vrx {

VRX_Engine* VRX_ScaleNN::engine(VRX_Engine* source, uint32_t width, uint32_t height) {
    const VRX_Header* header = source_header(source, "VRX_ScaleNN::engine()", __FILE__, 48);
    if (!header) return nullptr;
    if (header->encode_type() == VRX_EncodeType::qm_rle())
        return VRX_ScaleNNQMRLE(manager_).engine(source, width, height);
    if (height < header->height && width < header->width) {
        uint32_t step_x = 0, step_y = 0;
        const bool whole = whole_ratio(header->width, width, step_x) &&
                           whole_ratio(header->height, height, step_y);
        if (whole && (header->bits == 8 || header->bits == 16))
            return VRX_ScaleSS(manager_).engine(source, step_x, step_y, step_x / 2, step_y / 2);
        return VRX_ScaleShrinkNN(manager_).engine(source, width, height);
    }
    if (height < header->height) {
        VRX_Engine* rows = VRX_ScaleHeightNN(manager_).engine(source, height);
        return VRX_ScaleWidthNN(manager_).engine(rows, width);
    }
    VRX_Engine* columns = VRX_ScaleWidthNN(manager_).engine(source, width);
    return VRX_ScaleHeightNN(manager_).engine(columns, height);
}

}  // namespace vrx
