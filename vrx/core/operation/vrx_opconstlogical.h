#pragma once
// Creator of the logical operators between an image and a constant; built
// for Op = VRX_PixelOperator::And.
#include <cstdint>

#include "vrx/core/operation/vrx_pixeloperator.h"
#include "vrx/framework/base/vrx_enginecreator.h"

namespace vrx {

class VRX_Engine;

template <class Op>
class VRX_OpConstLogical : public VRX_EngineCreator {
public:
    explicit VRX_OpConstLogical(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_OpConstLogical() override = default;

    // The source itself for a constant that keeps every bit of an 8- or
    // 16-bit sample; a constant wider than the samples is refused with
    // 0x80800000. Otherwise the registered engine (8-bit sources get the
    // 8-bit engine, any other depth the 16-bit one), or null.
    virtual VRX_Engine* engine(VRX_Engine* source, uint32_t constant);
};

extern template class VRX_OpConstLogical<VRX_PixelOperator::And>;

}  // namespace vrx
