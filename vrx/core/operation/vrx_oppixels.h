#pragma once
// Creators of the operators between two images at a signed offset. The
// second image (the operand) is laid over the first with its top-left pixel
// at column x, row y of the first; it may start left of or above the first.
// VRX_OpPixels holds what every operator shares: the inputs, the overlap
// test and the crop of the operand to the overlap, after which the offsets
// are non-negative. VRX_OpPixelsUnMasked<Op> then picks the engine creator of
// its operator by the first image's header.
#include <cstdint>

#include "vrx/core/operation/vrx_pixeloperator.h"
#include "vrx/framework/base/vrx_enginecreator.h"
#include "vrx/framework/include/vrx_vector.h"

namespace vrx {

class VRX_Engine;

class VRX_OpPixels : public VRX_EngineCreator {
public:
    explicit VRX_OpPixels(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_OpPixels() override = default;

    // The engine of `first` op `second` (and `mask`, when not null) over
    // their overlap, the first image elsewhere. Images that do not overlap
    // give back `first` itself and the operand and mask are destroyed (an
    // engine given as `first` too is kept). Null after a report: two engines
    // with headers are required (0x80800000).
    virtual VRX_Engine* engine(VRX_Engine* first, VRX_Engine* second, VRX_Engine* mask, int32_t x,
                               int32_t y);
    // The engine for `inputs` whose operand starts at (x, y) inside the first
    // image, by the first image's header; null after a report (unsupported
    // samples: 0x81000000).
    virtual VRX_Engine* create_engine(VRX_Vector<VRX_Engine*>& inputs, uint32_t x, uint32_t y) = 0;
    // At least two inputs, the first two engines with headers.
    virtual bool check_inputs(const VRX_Vector<VRX_Engine*>& inputs, int32_t x, int32_t y);
    // Replaces the operand (inputs[1]) by its crop to the part that lies over
    // the first image; `out_x`, `out_y` become the crop's place in the first
    // image, max(x, 0) and max(y, 0). False when a crop fails (reported).
    virtual bool fit_inputs(VRX_Vector<VRX_Engine*>& inputs, int32_t x, int32_t y, uint32_t& out_x,
                            uint32_t& out_y);
    // engine(first, second, no mask, x, y).
    virtual VRX_Engine* engine(VRX_Engine* first, VRX_Engine* second, int32_t x, int32_t y);
};

// Built for Op = VRX_PixelOperator::And: 1-bit images, and unsigned 8- and
// 16-bit samples.
template <class Op>
class VRX_OpPixelsUnMasked : public VRX_OpPixels {
public:
    explicit VRX_OpPixelsUnMasked(VRX_Manager* manager) : VRX_OpPixels(manager) {}
    ~VRX_OpPixelsUnMasked() override = default;

    VRX_Engine* create_engine(VRX_Vector<VRX_Engine*>& inputs, uint32_t x, uint32_t y) override;
    using VRX_OpPixels::engine;
};

extern template class VRX_OpPixelsUnMasked<VRX_PixelOperator::And>;

}  // namespace vrx
