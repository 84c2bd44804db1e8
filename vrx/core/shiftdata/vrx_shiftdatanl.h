#pragma once
// Creator of the shift without limiting (VRX_ShiftDataNLEngine).
#include <cstdint>

#include "vrx/framework/base/vrx_enginecreator.h"

namespace vrx {

class VRX_Engine;
class VRX_DataType;

class VRX_ShiftDataNL : public VRX_EngineCreator {
public:
    explicit VRX_ShiftDataNL(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_ShiftDataNL() override = default;

    // The source itself for the same type and bits and shift 0; else the
    // engine of the source's and the requested integer types (8, 16, else 32
    // bits; u_integer unsigned, any other type signed), which refuses what it
    // does not take. The registered engine, or null after a report (a
    // missing source or header: 0x80800000).
    virtual VRX_Engine* engine(VRX_Engine* source, const VRX_DataType* type, uint16_t bits,
                               int16_t shift);
};

}  // namespace vrx
