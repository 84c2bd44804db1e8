#pragma once
// Base of the channel-merge engines: N inputs of equal size, depth and data
// type become one image whose pixels hold the channels of every input, in
// input order. The output header is the first input's with the summed
// channel count and the requested colour type.
#include <cstdint>

#include "vrx/framework/engine/vrx_multiinputprocessengine.h"

namespace vrx {

class VRX_ColorType;

class VRX_MergeChannelEngine : public VRX_MultiInputProcessEngine {
public:
    explicit VRX_MergeChannelEngine(VRX_Manager* manager) : VRX_MultiInputProcessEngine(manager) {}
    ~VRX_MergeChannelEngine() override = default;

    // One output line per call: takes a line of every input, merges them and
    // gives them back. False after the last line or when an input has none.
    bool execute() override;
    // The multi-input initiate; raw inputs without palette (else 0x81000000);
    // equal data type, depth, width and height (else 0x80800000); a valid
    // output header (else 0x80800000); one line as every block size.
    virtual bool initiate(const VRX_Vector<const VRX_Header*>& headers,
                          const VRX_Vector<VRX_SrcBuffer*>& sources, VRX_DstBuffer* dst,
                          const VRX_ColorType* color);
    using VRX_MultiInputProcessEngine::initiate;

protected:
    // Where execute keeps the current line of every input (one per input).
    virtual const unsigned char** input_lines() = 0;
    // Interleaves the current input lines into one output line.
    virtual void merge(const unsigned char* const* inputs, unsigned char* output) = 0;
    // Whether the output line is cleared before merge (packed bits).
    virtual bool clears_output() const { return false; }

    uint16_t bits_ = 0;
    uint32_t width_ = 0;
    uint32_t height_ = 0;
    uint32_t lines_ = 0;
};

}  // namespace vrx
