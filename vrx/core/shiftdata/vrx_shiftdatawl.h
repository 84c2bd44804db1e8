#pragma once
// Creator of the shift with limiting: VRX_ShiftDataWLEngine when a result can
// leave the destination's range (shift_needs_limit), else the cheaper
// VRX_ShiftDataNLEngine of the same types.
#include <cstdint>

#include "vrx/framework/base/vrx_enginecreator.h"

namespace vrx {

class VRX_Engine;
class VRX_DataType;

class VRX_ShiftDataWL : public VRX_EngineCreator {
public:
    explicit VRX_ShiftDataWL(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_ShiftDataWL() override = default;

    // As VRX_ShiftDataNL::engine, with limiting where it is needed.
    virtual VRX_Engine* engine(VRX_Engine* source, const VRX_DataType* type, uint16_t bits,
                               int16_t shift);
};

}  // namespace vrx
