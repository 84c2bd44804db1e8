#pragma once
// Creator of the conversion from one bit to one bit: a sample v becomes 1
// when v x gain + offset >= 0.5, so only the images of 0 and 1 matter and
// the result is the source, its inversion or a constant image. The data type
// stays the source's.
#include "vrx/framework/base/vrx_enginecreator.h"

namespace vrx {

class VRX_Engine;

class VRX_ConvertDataType1bit : public VRX_EngineCreator {
public:
    explicit VRX_ConvertDataType1bit(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_ConvertDataType1bit() override = default;

    // The source itself, a VRX_Not stage or a VRX_ConstantColor head of the
    // source's format, or null after a report (a missing source or header:
    // 0x80800000; a source with a palette: 0x81000000).
    virtual VRX_Engine* engine(VRX_Engine* source, double gain, double offset);
};

}  // namespace vrx
