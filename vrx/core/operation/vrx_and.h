#pragma once
// Creator of the bitwise AND stage. The decode chain uses it to clear the
// bits above the stored bit count of unsigned pixel data:
//   VRX_And(&manager).engine(reader, (1u << bits_stored) - 1)
#include <cstdint>

#include "vrx/framework/base/vrx_enginecreator.h"

namespace vrx {

class VRX_Engine;

class VRX_And : public VRX_EngineCreator {
public:
    explicit VRX_And(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_And() override = default;

    // Every sample AND `constant`: unsigned 8- or 16-bit samples. The source
    // itself when the constant keeps every bit; null after a report.
    virtual VRX_Engine* engine(VRX_Engine* source, uint32_t constant);
};

}  // namespace vrx
