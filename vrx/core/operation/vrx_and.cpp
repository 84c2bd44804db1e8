#include "vrx/core/operation/vrx_and.h"

#include "vrx/core/operation/vrx_opconstlogical.h"

namespace vrx {

VRX_Engine* VRX_And::engine(VRX_Engine* source, uint32_t constant) {
    return VRX_OpConstLogical<VRX_PixelOperator::And>(manager_).engine(source, constant);
}

}  // namespace vrx
