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
    // The interface-version test (reported with `function`, `file`, `line`),
    // then the process initiate.
    bool begin(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
               const char* function, const char* file, uint32_t line);
    // Gives the output `channels` channels and the colour type `color`; the
    // source block becomes one line of `header`, the destination block one
    // output line.
    bool set_output(const VRX_Header* header, uint16_t channels, const VRX_ColorType* color);
    // Writes the selected samples of the source line `in` to the line `out`.
    virtual void select(const unsigned char* in, unsigned char* out) = 0;

    uint32_t output_bytes_ = 0;

private:
    uint32_t lines_ = 0;
};

// Whether `channel` lies inside `channels` and `color` is a one-channel type
// (a null type is refused, not read).
bool channel_fits(uint16_t channels, uint16_t channel, const VRX_ColorType* color);
// Whether `count` channels from `first` lie inside `channels` and, unless
// count is 2 (whose output is unknown), `color` is a type of count channels.
bool selection_fits(uint16_t channels, uint16_t first, uint16_t count, const VRX_ColorType* color);

// Packed one-bit lines: for the pixels [from, width), sets output bit
// p x count + k to source bit p x channels + first + k (k < count). The
// output bits are only ever set, so the line is cleared first.
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
