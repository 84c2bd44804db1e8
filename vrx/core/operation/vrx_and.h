#pragma once
// Creator of the bitwise AND stages. The decode chain uses it to clear the
// bits above the stored bit count of unsigned pixel data:
//   VRX_And(&manager).engine(reader, (1u << bits_stored) - 1)
// and it combines two images, the second laid over the first at an offset.
#include <cstdint>

#include "vrx/framework/base/vrx_enginecreator.h"

namespace vrx {

class VRX_Engine;

class VRX_And : public VRX_EngineCreator {
public:
    explicit VRX_And(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_And() override = default;

    // `first` AND `second`, whose top-left pixel lies at column x, row y of
    // the first image (either may be negative): 1-bit images, or unsigned 8-
    // or 16-bit samples of the same format. The output has the first image's
    // header; outside the overlap it is the first image. Images that do not
    // overlap give back `first` itself and `second` is destroyed. Null after
    // a report.
    virtual VRX_Engine* engine(VRX_Engine* first, VRX_Engine* second, int32_t x, int32_t y);
    // Every sample AND `constant`: unsigned 8- or 16-bit samples. The source
    // itself when the constant keeps every bit; null after a report.
    virtual VRX_Engine* engine(VRX_Engine* source, uint32_t constant);
};

}  // namespace vrx
