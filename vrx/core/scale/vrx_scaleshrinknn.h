#pragma once
// Builds the one-engine nearest-neighbour shrink.
#include <cstdint>

#include "vrx/framework/base/vrx_stagecreator.h"

namespace vrx {

class VRX_ScaleShrinkNN : public VRX_StageCreator {
public:
    explicit VRX_ScaleShrinkNN(VRX_Manager* manager) : VRX_StageCreator(manager) {}
    ~VRX_ScaleShrinkNN() override = default;

    // The engine that shrinks the source to width x height; the source
    // itself at its own size; null after a report (a missing source or
    // header: 0x80800000; samples other than u_integer or s_integer of 8 or
    // 16 bits or u_integer of 1 bit: 0x81000000). The target must not be
    // larger than the source.
    virtual VRX_Engine* engine(VRX_Engine* source, uint32_t width, uint32_t height);
};

}  // namespace vrx
