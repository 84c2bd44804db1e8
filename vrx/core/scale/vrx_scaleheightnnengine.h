#pragma once
// General nearest-neighbour height scaling: destination line j is source
// line floor((j + 1/2) x ratio), accumulated in double arithmetic. Lines are
// copied or dropped whole; a line that several destination lines show is
// held in place between the calls.
#include "vrx/core/scale/vrx_scaleheightengine.h"

namespace vrx {

class VRX_ScaleHeightNNEngine : public VRX_ScaleHeightEngine {
public:
    explicit VRX_ScaleHeightNNEngine(VRX_Manager* manager) : VRX_ScaleHeightEngine(manager) {}
    ~VRX_ScaleHeightNNEngine() override = default;

    // One destination line per call.
    bool execute() override;
    // Version test (0x80040000); the base; raw u_integer or s_integer
    // samples of 8 or 16 bits, or 1 bit with one channel (0x81000000); the
    // position starts at ratio / 2.
    bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                  uint32_t height) override;

private:
    // The source line taken in place and not yet given back, or null.
    const unsigned char* held_ = nullptr;
};

}  // namespace vrx
