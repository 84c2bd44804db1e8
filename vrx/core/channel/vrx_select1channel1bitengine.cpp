#include "vrx/core/channel/vrx_select1channel1bitengine.h"

#include <array>

namespace vrx {

namespace {

// For N channels, 8 pixels fill N bytes. Entry [channel][k][v] holds the
// output bits that source byte k of the group contributes when its value is
// v: pixel j's sample of `channel` is group bit j x N + channel and lands on
// output bit j (bits counted from the most significant).
template <unsigned N>
using Gather = std::array<std::array<std::array<uint8_t, 256>, N>, N>;

template <unsigned N>
Gather<N> make_gather() {
    Gather<N> table{};
    for (unsigned c = 0; c < N; ++c)
        for (unsigned k = 0; k < N; ++k)
            for (unsigned v = 0; v < 256; ++v) {
                unsigned bits = 0;
                for (unsigned q = 0; q < 8; ++q) {
                    const unsigned at = 8 * k + q;
                    if (at % N == c && (v & (0x80u >> q))) bits |= 0x80u >> (at / N);
                }
                table[c][k][v] = static_cast<uint8_t>(bits);
            }
    return table;
}

const Gather<3>& gather3() {
    static const Gather<3> table = make_gather<3>();
    return table;
}

const Gather<4>& gather4() {
    static const Gather<4> table = make_gather<4>();
    return table;
}

// One output byte per group of 8 pixels, from the N bytes of the group.
template <unsigned N>
void gather_groups(const std::array<std::array<uint8_t, 256>, N>& t, const unsigned char* in,
                   uint32_t groups, unsigned char* out) {
    for (uint32_t g = 0; g < groups; ++g, in += N) {
        unsigned v = t[0][in[0]] | t[1][in[1]] | t[2][in[2]];
        if constexpr (N == 4) v |= t[3][in[3]];
        out[g] = static_cast<unsigned char>(v);
    }
}

}  // namespace

bool VRX_Select1Channel1bitEngine::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                            VRX_DstBuffer* dst, uint16_t channel,
                                            const VRX_ColorType* color) {
    const Refusals refusals{"VRX_Select1Channel1bitEngine::initiate()", __FILE__, 198, 208, 214};
    if (!initiate_selection(header, src, dst, channel, 1, color, true, refusals)) return false;
    // Built here, before any line runs.
    if (channels_ == 3) gather3();
    if (channels_ == 4) gather4();
    return true;
}

void VRX_Select1Channel1bitEngine::select(const unsigned char* in, unsigned char* out) {
    std::memset(out, 0, output_bytes_);
    const uint32_t groups = channels_ == 3 || channels_ == 4 ? width_ / 8 : 0;
    if (channels_ == 3) gather_groups<3>(gather3()[first_], in, groups, out);
    if (channels_ == 4) gather_groups<4>(gather4()[first_], in, groups, out);
    select_bits(in, channels_, first_, 1, groups * 8, width_, out);
}

}  // namespace vrx
