#pragma once
// Creator of the two-value expansion of one-bit images
// (VRX_Convert1To8xNBitsEngine).
#include <cstdint>

#include "vrx/framework/base/vrx_enginecreator.h"

namespace vrx {

class VRX_Engine;
class VRX_DataType;

class VRX_Convert1To8xNBits : public VRX_EngineCreator {
public:
    explicit VRX_Convert1To8xNBits(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_Convert1To8xNBits() override = default;

    // A 0 bit becomes `zero`, a 1 bit `one`, as u_integer or s_integer
    // samples of 8 or 16 bits (any other type or depth: 0x80800000). The
    // registered engine, or null after a report.
    virtual VRX_Engine* engine(VRX_Engine* source, const VRX_DataType* type, uint16_t bits,
                               int32_t zero, int32_t one);
};

}  // namespace vrx
