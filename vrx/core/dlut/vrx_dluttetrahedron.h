#pragma once
// Direct lookup with tetrahedral interpolation: between grid points the
// result is interpolated over the simplex of the pixel's grid cell chosen by
// sorting its fractional positions (N + 1 vertices for N inputs).
#include "vrx/core/dlut/vrx_dlut.h"

namespace vrx {

class VRX_DLutTetrahedron : public VRX_DLut {
public:
    explicit VRX_DLutTetrahedron(VRX_Manager* manager) : VRX_DLut(manager) {}
    ~VRX_DLutTetrahedron() override = default;

    // A missing source or header is refused with 0x80800000, a source of
    // other than 8 or 16 bits with 0x81000000. 8-bit sources interpolate in
    // integers (weights of 1/16384), 16-bit ones in double. The registered
    // engine, or null after a report.
    VRX_Engine* engine(VRX_Engine* source, uint16_t bits, uint16_t channels, uint16_t grid,
                       uint8_t first_slowest, const void* table,
                       const VRX_ColorType* color_type) override;
};

}  // namespace vrx
