#include "vrx/core/channel/vrx_mergechannel1bitengine.h"

#include <array>

#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {

// Bit p of a byte (p = 0 the most significant) moved to bit position
// p x stride from the top of a word of 8 x stride bits.
template <unsigned stride>
constexpr std::array<uint32_t, 256> spread_table() {
    std::array<uint32_t, 256> table{};
    for (unsigned byte = 0; byte < 256; ++byte) {
        uint32_t word = 0;
        for (unsigned p = 0; p < 8; ++p)
            if (byte & (0x80u >> p)) word |= 1u << (8 * stride - 1 - p * stride);
        table[byte] = word;
    }
    return table;
}

constexpr std::array<uint32_t, 256> kSpread3 = spread_table<3>();
constexpr std::array<uint32_t, 256> kSpread4 = spread_table<4>();

// Sets output bit p x n + i from bit p of input i for the pixels [first, width).
void merge_bits(const unsigned char* const* inputs, size_t n, uint32_t first, uint32_t width,
                unsigned char* output) {
    for (uint32_t p = first; p < width; ++p) {
        for (size_t i = 0; i < n; ++i) {
            const unsigned bit = (inputs[i][p >> 3] >> (7 - (p & 7))) & 1u;
            const size_t at = size_t{p} * n + i;
            output[at >> 3] |= static_cast<unsigned char>(bit << (7 - (at & 7)));
        }
    }
}

}  // namespace

bool VRX_MergeChannel1bitEngine::initiate(const VRX_Vector<const VRX_Header*>& headers,
                                          const VRX_Vector<VRX_SrcBuffer*>& sources,
                                          VRX_DstBuffer* dst, const VRX_ColorType* color) {
    if (!VRX_MergeChannelEngine::initiate(headers, sources, dst, color)) return false;
    bool supported = header(0)->data_type()->is_u_integer() && header(0)->bits == 1;
    for (size_t i = 0; i < size(); ++i) supported = supported && header(i)->channels == 1;
    if (!supported) {
        manager_->report(VRX_ERROR_UNSUPPORTED, "VRX_MergeChannel1bitEngine::initiate()",
                         __FILE__, 224);
        return false;
    }
    return lines_in_.resize(size(), nullptr);
}

void VRX_MergeChannel1bitEngine::merge(const unsigned char* const* inputs,
                                       unsigned char* output) {
    const size_t n = size();
    const uint32_t whole = width_ / 8;
    if (n == 3) {
        for (uint32_t b = 0; b < whole; ++b) {
            const uint32_t word = kSpread3[inputs[0][b]] | (kSpread3[inputs[1][b]] >> 1) |
                                  (kSpread3[inputs[2][b]] >> 2);
            output[3 * b] = static_cast<unsigned char>(word >> 16);
            output[3 * b + 1] = static_cast<unsigned char>(word >> 8);
            output[3 * b + 2] = static_cast<unsigned char>(word);
        }
        merge_bits(inputs, n, whole * 8, width_, output);
    } else if (n == 4) {
        for (uint32_t b = 0; b < whole; ++b) {
            const uint32_t word = kSpread4[inputs[0][b]] | (kSpread4[inputs[1][b]] >> 1) |
                                  (kSpread4[inputs[2][b]] >> 2) | (kSpread4[inputs[3][b]] >> 3);
            output[4 * b] = static_cast<unsigned char>(word >> 24);
            output[4 * b + 1] = static_cast<unsigned char>(word >> 16);
            output[4 * b + 2] = static_cast<unsigned char>(word >> 8);
            output[4 * b + 3] = static_cast<unsigned char>(word);
        }
        merge_bits(inputs, n, whole * 8, width_, output);
    } else {
        merge_bits(inputs, n, 0, width_, output);
    }
}

}  // namespace vrx
