#pragma once
// Creator of the conversion from one-bit samples to whole-byte samples
// (VRX_ConvertDataTypeFrom1bitEngine).
#include <cstdint>

#include "vrx/framework/base/vrx_enginecreator.h"

namespace vrx {

class VRX_Engine;
class VRX_DataType;

class VRX_ConvertDataTypeFrom1bit : public VRX_EngineCreator {
public:
    explicit VRX_ConvertDataTypeFrom1bit(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_ConvertDataTypeFrom1bit() override = default;

    // The engine of the sample type of (type, bits) by with_sample_type; it
    // refuses a source that is not one-bit and a depth that is not its
    // type's width. The registered engine, or null after a report (a missing
    // source or header: 0x80800000).
    virtual VRX_Engine* engine(VRX_Engine* source, const VRX_DataType* type, uint16_t bits,
                               double gain, double offset);
};

}  // namespace vrx
