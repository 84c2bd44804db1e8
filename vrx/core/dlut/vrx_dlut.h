#pragma once
// Creators of direct lookup stages: a pixel of N input channels (1 to 16)
// maps to M output channels (1 to 16) through a regular grid of G points per
// input, interpolated between the grid points.
#include <cstdint>

#include "vrx/framework/base/vrx_enginecreator.h"

namespace vrx {

class VRX_Engine;
class VRX_ColorType;

class VRX_DLut : public VRX_EngineCreator {
public:
    explicit VRX_DLut(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_DLut() override = default;

    // `table` holds grid^N points of `channels` samples of `bits` bits (8:
    // bytes, 16: 16-bit words in the machine's order); with `first_slowest`
    // input 0 varies slowest between consecutive points, else fastest. It is
    // read during the call only. `color_type` null keeps the source's.
    virtual VRX_Engine* engine(VRX_Engine* source, uint16_t bits, uint16_t channels, uint16_t grid,
                               uint8_t first_slowest, const void* table,
                               const VRX_ColorType* color_type) = 0;
};

}  // namespace vrx
