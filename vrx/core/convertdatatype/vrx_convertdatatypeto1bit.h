#pragma once
// Creator of the conversion from whole-byte samples to one bit by a threshold
// (VRX_ConvertDataTypeTo1bitEngine).
#include <cstdint>

#include "vrx/framework/base/vrx_enginecreator.h"

namespace vrx {

class VRX_Engine;
class VRX_DataType;

class VRX_ConvertDataTypeTo1bit : public VRX_EngineCreator {
public:
    explicit VRX_ConvertDataTypeTo1bit(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_ConvertDataTypeTo1bit() override = default;

    // The engine of the source's sample type by with_sample_type; it refuses
    // a source that is not of that type's width. The output is one-bit of
    // `type`. The registered engine, or null after a report (a missing source
    // or header: 0x80800000).
    virtual VRX_Engine* engine(VRX_Engine* source, const VRX_DataType* type, double gain,
                               double offset);
};

}  // namespace vrx
