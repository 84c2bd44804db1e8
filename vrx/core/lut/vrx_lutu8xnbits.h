#pragma once
// Creator of the lookup engines for unsigned 8- and 16-bit sources.
#include <cstdint>

#include "vrx/core/lut/vrx_lut8xnbitscreator.h"
#include "vrx/core/lut/vrx_lutu8xnbitsengine.h"

namespace vrx {

class VRX_LutU8xNbits : public VRX_Lut8xNbitsCreator<VRX_LutU8xNbitsEngine, uint8_t, uint16_t> {
public:
    using VRX_Lut8xNbitsCreator::VRX_Lut8xNbitsCreator;
    ~VRX_LutU8xNbits() override = default;

    // The registered engine, or null after a report (a missing source or
    // header: 0x80800000).
    virtual VRX_Engine* engine(VRX_Engine* source, const VRX_LutData* table,
                               const VRX_ColorType* color_type);
};

}  // namespace vrx
