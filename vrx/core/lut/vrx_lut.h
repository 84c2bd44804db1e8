#pragma once
// Creator of the lookup stage: every sample of an 8- or 16-bit integer image
// becomes an entry of a table (VRX_LutData), one table per channel or one for
// all, of any of the eight sample types. The engine keeps its own copy of the
// table, so the table object may be destroyed once engine() returns.
#include "vrx/framework/base/vrx_enginecreator.h"

namespace vrx {

class VRX_Engine;
class VRX_LutData;
class VRX_ColorType;

class VRX_Lut : public VRX_EngineCreator {
public:
    explicit VRX_Lut(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_Lut() override = default;

    // A u_integer source goes to VRX_LutU8xNbits, any other to
    // VRX_LutS8xNbits. `color_type` null keeps the source's colour type.
    // The registered engine, or null after a report (a missing source or
    // header: 0x80800000).
    virtual VRX_Engine* engine(VRX_Engine* source, const VRX_LutData* table,
                               const VRX_ColorType* color_type);
};

}  // namespace vrx
