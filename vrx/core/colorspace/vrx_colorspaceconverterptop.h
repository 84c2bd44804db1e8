#pragma once
// Creator of the point-to-point stage between s_rgb and hsl: a line engine
// that runs a point converter on every pixel, for images of 8 or 16 bits.
#include "vrx/framework/base/vrx_enginecreator.h"

namespace vrx {

class VRX_Engine;
class VRX_ColorType;

class VRX_ColorSpaceConverterPtoP : public VRX_EngineCreator {
public:
    explicit VRX_ColorSpaceConverterPtoP(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_ColorSpaceConverterPtoP() override = default;

    // The source itself when it already has colour type `target`; else the
    // registered engine for s_rgb to hsl or hsl to s_rgb. A missing source,
    // header or target is refused with 0x80800000, a depth other than 8 or
    // 16 bits and any other pair of types with 0x81000000.
    virtual VRX_Engine* engine(VRX_Engine* source, const VRX_ColorType* target);
};

}  // namespace vrx
