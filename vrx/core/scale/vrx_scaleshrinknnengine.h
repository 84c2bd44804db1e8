#pragma once
// Nearest-neighbour shrink on both axes in one engine: every destination
// line is a source line picked by the centre rule, every destination pixel a
// pixel of it picked through a column table.
#include <cstdint>

#include "vrx/core/scale/vrx_nnsampling.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"
#include "vrx/framework/engine/vrx_processengine.h"

namespace vrx {

// The part the sample types share: initiate, the table and terminate.
class VRX_ScaleShrinkNNEngineBase : public VRX_ProcessEngine {
public:
    explicit VRX_ScaleShrinkNNEngineBase(VRX_Manager* manager) : VRX_ProcessEngine(manager) {}
    ~VRX_ScaleShrinkNNEngineBase() override = default;

    // Gives the table back, then as a process engine.
    bool terminate() override;
    // Version test (0x80040000); the process initiate; raw u_integer or
    // s_integer samples of 8 or 16 bits, or 1 bit with one channel
    // (0x81000000); non-zero sizes (0x80800000); the output size, the row
    // ratio and the column table; one line of each side as block sizes.
    // Lines are only ever taken forward: the target height must not exceed
    // the source's (its callers shrink).
    virtual bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                          uint32_t width, uint32_t height);

protected:
    // Takes the source line of the next destination line (the lines before
    // it are read and dropped) and a destination block; false when done or
    // when a buffer call fails.
    bool begin_line(const unsigned char*& line, unsigned char*& out);
    // Gives the source line back and commits the destination line.
    bool end_line();

    uint32_t* table_ = nullptr;
    uint16_t bits_ = 0;
    uint32_t dst_height_ = 0;
    uint32_t dst_width_ = 0;
    uint32_t channels_ = 0;
    uint32_t dst_line_bytes_ = 0;
    double row_position_ = 0;
    double row_ratio_ = 0;
    uint32_t consumed_ = 0;
    uint32_t produced_ = 0;
    uint32_t src_height_ = 0;
};

template <class T>
class VRX_ScaleShrinkNNEngine : public VRX_ScaleShrinkNNEngineBase {
public:
    explicit VRX_ScaleShrinkNNEngine(VRX_Manager* manager) : VRX_ScaleShrinkNNEngineBase(manager) {}
    ~VRX_ScaleShrinkNNEngine() override = default;

    // One destination line per call.
    bool execute() override {
        const unsigned char* line = nullptr;
        unsigned char* out = nullptr;
        if (!begin_line(line, out)) return false;
        if (bits_ == 1)
            gather_bits(line, table_, dst_width_, out);
        else
            gather_pixels<sizeof(T)>(line, table_, dst_width_,
                                     static_cast<uint32_t>(channels_ * sizeof(T)), out);
        return end_line();
    }
};

}  // namespace vrx
