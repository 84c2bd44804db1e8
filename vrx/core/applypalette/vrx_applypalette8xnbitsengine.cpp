#include "vrx/core/applypalette/vrx_applypalette8xnbitsengine.h"

#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {

constexpr const char* kInitiateText = "VRX_ApplyPalette8xNBitsEngine::initiate()";

// Entries of C samples, C known to the compiler.
template <size_t C, class S, class D>
void look_up(const S* in, uint32_t count, const D* table, D* out) {
    for (uint32_t i = 0; i < count; ++i) {
        const D* entry = table + size_t{in[i]} * C;
        for (size_t c = 0; c < C; ++c) out[size_t{i} * C + c] = entry[c];
    }
}

}  // namespace

template <class S, class D>
bool VRX_ApplyPalette8xNBitsEngine<S, D>::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                                   VRX_DstBuffer* dst) {
    if (!check_version(VRX_INTERFACE_VERSION, kInitiateText, __FILE__, 50)) return false;
    if (!VRX_ApplyPaletteEngine::initiate(header, src, dst)) return false;
    // Indices are read as S and entries as D: other widths would read and
    // write past the table and the lines.
    if (!header->data_type()->is_u_integer() || header->bits != sizeof(S) * 8 ||
        palette_.bits != sizeof(D) * 8) {
        manager_->report(VRX_ERROR_UNSUPPORTED, kInitiateText, __FILE__, 60);
        return false;
    }
    table_ = reinterpret_cast<const D*>(palette_.value());
    count_ = header->width;
    return true;
}

template <class S, class D>
bool VRX_ApplyPalette8xNBitsEngine<S, D>::process_line(const unsigned char* src,
                                                       unsigned char* dst) {
    const S* in = reinterpret_cast<const S*>(src);
    D* out = reinterpret_cast<D*>(dst);
    switch (channels_) {
        case 1: look_up<1>(in, count_, table_, out); break;
        case 3: look_up<3>(in, count_, table_, out); break;
        case 4: look_up<4>(in, count_, table_, out); break;
        default: {
            const size_t channels = channels_;
            for (uint32_t i = 0; i < count_; ++i) {
                const D* entry = table_ + size_t{in[i]} * channels;
                for (size_t c = 0; c < channels; ++c) *out++ = entry[c];
            }
        }
    }
    return true;
}

template class VRX_ApplyPalette8xNBitsEngine<uint8_t, uint8_t>;
template class VRX_ApplyPalette8xNBitsEngine<uint8_t, uint16_t>;
template class VRX_ApplyPalette8xNBitsEngine<uint16_t, uint8_t>;
template class VRX_ApplyPalette8xNBitsEngine<uint16_t, uint16_t>;

}  // namespace vrx
