#pragma once
// Base of the channel-selection engines: one source line in, one output line
// out, holding the selected channels of every pixel in their source order.
#include <cstdint>
#include <cstring>

#include "vrx/framework/engine/vrx_processengine.h"

namespace vrx {

class VRX_ColorType;

class VRX_SelectChannelEngine : public VRX_ProcessEngine {
public:
    explicit VRX_SelectChannelEngine(VRX_Manager* manager) : VRX_ProcessEngine(manager) {}
    ~VRX_SelectChannelEngine() override = default;

    // One line per call; false after the last line or when a line is missing.
    bool execute() override;
    using VRX_ProcessEngine::initiate;

protected:
    // What an engine's initiate reports its refusals with.
    struct Refusals {
        const char* function;
        const char* file;
        uint32_t version_line;   // interface version refused, 0x80040000
        uint32_t argument_line;  // channels or colour type, 0x80800000
        uint32_t format_line;    // encoding, depth or data type, 0x81000000
    };

    // The initiate of every selection engine, in this order: the interface
    // version; the process initiate; `count` channels from `first` inside
    // the source's channels, count not 0 and, unless count is 2, a colour
    // type of count channels (a null type is refused, not read); a raw
    // source of unsigned one-bit samples (`one_bit`) or of 8, 16, 32 or
    // 64-bit samples. The output gets count channels and the colour type,
    // unknown for two channels; the source block becomes one source line
    // and the destination block one output line.
    bool initiate_selection(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                            uint16_t first, uint16_t count, const VRX_ColorType* color,
                            bool one_bit, const Refusals& refusals);
    // A copy of whole samples, as select_samples below.
    using SampleCopy = void (*)(const unsigned char* in, size_t channels, size_t first,
                                size_t count, uint32_t width, unsigned char* out);

    // Writes the selected samples of the source line `in` to the line `out`.
    virtual void select(const unsigned char* in, unsigned char* out) = 0;

    uint16_t bits_ = 0;
    uint16_t channels_ = 0;
    uint16_t first_ = 0;
    uint16_t count_ = 0;
    uint32_t width_ = 0;
    uint32_t output_bytes_ = 0;

private:
    uint32_t lines_ = 0;
};

// Packed one-bit lines: for the pixels [from, width), sets output bit
// p x count + k to source bit p x channels + first + k (k < count). The
// output bits are only ever set: callers clear the line first.
void select_bits(const unsigned char* in, uint32_t channels, uint32_t first, uint32_t count,
                 uint32_t from, uint32_t width, unsigned char* out);

// Samples of B bytes: copies the `count` samples from sample `first` of every
// pixel of `channels` samples, byte for byte. C and N, when not 0, are the
// channel count and the count known when compiling (the common layouts).
template <size_t B, size_t C = 0, size_t N = 0>
void select_samples(const unsigned char* in, size_t channels, size_t first, size_t count,
                    uint32_t width, unsigned char* out) {
    const size_t stride = (C ? C : channels) * B;
    const size_t n = N ? N : count;
    in += first * B;
    for (uint32_t p = 0; p < width; ++p, in += stride)
        for (size_t k = 0; k < n; ++k, out += B)
            std::memcpy(out, in + k * B, B);
}

}  // namespace vrx
