#pragma once
// Area enlargement of the width: every destination pixel is a copy of the
// source pixel under its interval, or the blend of the two pixels the
// interval straddles. Spans and weights are fixed at initiate; the last
// destination pixel is the last source pixel.
#include <cstdint>

#include "vrx/core/scale/vrx_ppprojection.h"
#include "vrx/core/scale/vrx_scalewidthppengine.h"

namespace vrx {

// T: unsigned char or unsigned short; C: double or VRX_FixedReal12.
template <class T, class C>
class VRX_ScaleWidthPPEEngine : public VRX_ScaleWidthPPEngine<T, C> {
public:
    explicit VRX_ScaleWidthPPEEngine(VRX_Manager* manager)
        : VRX_ScaleWidthPPEngine<T, C>(manager) {}
    ~VRX_ScaleWidthPPEEngine() override = default;

    // Gives the tables back, then as a process engine.
    bool terminate() override;
    // One line per call.
    bool execute() override;
    // Version test (0x80040000); the base; a width above the source's
    // (0x80800000); the tables.
    bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                  uint32_t width) override;

private:
    using Weight = typename projection::Coefficient<C>::Weight;
    // Per destination pixel: the offset of the source pixel where it begins
    // and that pixel's weight (the next one gets the rest).
    uint32_t* span_ = nullptr;
    Weight* weights_ = nullptr;
};

}  // namespace vrx
