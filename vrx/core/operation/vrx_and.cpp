#include "vrx/core/operation/vrx_and.h"

#include "vrx/core/operation/vrx_opconstlogical.h"
#include "vrx/core/operation/vrx_oppixels.h"

namespace vrx {

VRX_Engine* VRX_And::engine(VRX_Engine* first, VRX_Engine* second, int32_t x, int32_t y) {
    return VRX_OpPixelsUnMasked<VRX_PixelOperator::And>(manager_).engine(first, second, x, y);
}

VRX_Engine* VRX_And::engine(VRX_Engine* source, uint32_t constant) {
    return VRX_OpConstLogical<VRX_PixelOperator::And>(manager_).engine(source, constant);
}

}  // namespace vrx
