#include "vrx/extension/signedextension/vrx_signedextensionengine.h"
#include "vrx/framework/include/vrx_linesample.h"

#include <cstring>

#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {
constexpr const char* kInitiateText = "VRX_SignedExtensionEngine::initiate()";
}

template <class T>
bool VRX_SignedExtensionEngine<T>::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                            VRX_DstBuffer* dst, uint8_t high_bit) {
    if (!check_version(VRX_INTERFACE_VERSION_BASE, kInitiateText, __FILE__, 161)) return false;
    if (!VRX_ProcessLineToLineEngine::initiate(header, src, dst)) return false;
    constexpr uint16_t sample_bits = sizeof(T) * 8;
    if (!header->data_type()->is_s_integer() || header->bits != sample_bits ||
        !header->palette().empty() || !header->encode_type()->is_raw()) {
        manager_->report(VRX_ERROR_UNSUPPORTED, kInitiateText, __FILE__, 171);
        return false;
    }
    if (high_bit >= header->bits) {
        manager_->report(VRX_ERROR_ARGUMENT, kInitiateText, __FILE__, 178);
        return false;
    }
    // All three in the sample width, on unsigned bits: a high bit at the top
    // gives a value mask of all ones and an empty extension mask.
    sign_mask_ = static_cast<Bits>(1u << high_bit);
    value_mask_ = static_cast<Bits>((2u << high_bit) - 1u);
    extension_mask_ = static_cast<Bits>(~value_mask_);
    uint32_t bytes = 0;
    return header_.line_bytes(bytes) && dst->block_bytes(bytes);
}

template <class T>
bool VRX_SignedExtensionEngine<T>::process_line(const unsigned char* src, unsigned char* dst) {
    const size_t count = size_t{header_.width} * header_.channels;
    const Bits sign = sign_mask_;
    const Bits value = value_mask_;
    // A set high bit gives sample OR extension mask, a clear one sample AND
    // value mask. Without a branch: keep the value bits, then flip the high
    // bit and subtract it, which borrows through every bit above it exactly
    // when the high bit was set.
    for (size_t i = 0; i < count; ++i) {
        const Bits kept = static_cast<Bits>(load_sample<Bits>(src, i) & value);
        store_sample<Bits>(dst, i, static_cast<Bits>((kept ^ sign) - sign));
    }
    return true;
}

template class VRX_SignedExtensionEngine<int8_t>;
template class VRX_SignedExtensionEngine<int16_t>;

}  // namespace vrx
