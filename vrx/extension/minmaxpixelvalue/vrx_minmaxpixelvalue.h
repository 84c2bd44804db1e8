#pragma once
// Creator of the minimum/maximum analysis: a terminal engine that scans a
// one-channel image and leaves its smallest and largest sample in two
// variables of the caller. The variables must outlive the run; they hold the
// result once the engine's execute has returned false.
#include "vrx/framework/base/vrx_enginecreator.h"

namespace vrx {

class VRX_Engine;

class VRX_MinMaxPixelValue : public VRX_EngineCreator {
public:
    explicit VRX_MinMaxPixelValue(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_MinMaxPixelValue() override = default;

    // Floating-point sources (32 or 64 bits).
    virtual VRX_Engine* engine(VRX_Engine* source, double* minimum, double* maximum);
    // Floating-point sources of 32 bits.
    virtual VRX_Engine* engine(VRX_Engine* source, float* minimum, float* maximum);
    // Signed sources of 8, 16 or 32 bits.
    virtual VRX_Engine* engine(VRX_Engine* source, int* minimum, int* maximum);
    // Unsigned sources of 8, 16 or 32 bits.
    virtual VRX_Engine* engine(VRX_Engine* source, unsigned int* minimum, unsigned int* maximum);

private:
    // The common steps once the overload has been chosen.
    template <class A>
    VRX_Engine* build(VRX_Engine* source, A* minimum, A* maximum, uint32_t source_line,
                      uint32_t type_line);
};

}  // namespace vrx
