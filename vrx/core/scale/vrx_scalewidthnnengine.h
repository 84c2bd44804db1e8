#pragma once
// General nearest-neighbour width scaling: a column table made once maps
// every destination pixel to the byte offset (1 bit: the bit index) of its
// source pixel.
#include <cstdint>

#include "vrx/core/scale/vrx_scalewidthengine.h"

namespace vrx {

class VRX_ScaleWidthNNEngine : public VRX_ScaleWidthEngine {
public:
    explicit VRX_ScaleWidthNNEngine(VRX_Manager* manager) : VRX_ScaleWidthEngine(manager) {}
    ~VRX_ScaleWidthNNEngine() override = default;

    // Gives the table back, then as a process engine.
    bool terminate() override;
    // One line per call; false when the source has no more.
    bool execute() override;
    // Version test (0x80040000); the base; raw u_integer or s_integer samples
    // of 8 or 16 bits, or 1 bit with one channel (0x81000000); the table.
    bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                  uint32_t width) override;

private:
    uint32_t bits_ = 0;
    uint32_t pixel_bytes_ = 0;
    uint32_t* table_ = nullptr;
};

}  // namespace vrx
