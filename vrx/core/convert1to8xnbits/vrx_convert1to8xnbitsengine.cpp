#include "vrx/core/convert1to8xnbits/vrx_convert1to8xnbitsengine.h"

#include <cstring>
#include <limits>

#include "vrx/core/convertdatatype/vrx_sampletype.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

template <class T>
bool VRX_Convert1To8xNBitsEngine<T>::terminate() {
    manager_->deallocate(table_);
    table_ = nullptr;
    return VRX_ProcessEngine::terminate();
}

template <class T>
bool VRX_Convert1To8xNBitsEngine<T>::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                              VRX_DstBuffer* dst, const VRX_DataType* type,
                                              uint16_t bits, int32_t zero, int32_t one) {
    constexpr const char* text = "VRX_Convert1To8xNBitsEngine::initiate()";
    if (!check_version(VRX_INTERFACE_VERSION, text, __FILE__, 174)) return false;
    if (!VRX_ProcessLineToLineEngine::initiate(header, src, dst)) return false;
    if (!header->data_type()->is_u_integer() || header->bits != 1 || !header->palette().empty()) {
        manager_->report(VRX_ERROR_UNSUPPORTED, text, __FILE__, 183);
        return false;
    }
    constexpr int32_t lo = std::numeric_limits<T>::min(), hi = std::numeric_limits<T>::max();
    if ((bits != 8 && bits != 16) || bits != sample_bits<T> || zero < lo || zero > hi || one < lo ||
        one > hi || !type || (!type->is_u_integer() && !type->is_s_integer())) {
        manager_->report(VRX_ERROR_ARGUMENT, text, __FILE__, 194);
        return false;
    }
    zero_ = static_cast<T>(zero);
    one_ = static_cast<T>(one);
    table_ = static_cast<T*>(manager_->allocate(256 * 8 * sizeof(T)));
    if (!table_) return false;
    for (unsigned b = 0; b < 256; ++b)
        for (unsigned j = 0; j < 8; ++j) table_[b * 8 + j] = (b >> (7 - j)) & 1u ? one_ : zero_;
    const uint64_t samples = uint64_t{header->channels} * header->width;
    whole_bytes_ = static_cast<uint32_t>(samples / 8);
    remaining_bits_ = static_cast<uint16_t>(samples % 8);
    if (!header_.data_type(type)) return false;
    header_.bits = bits;
    uint32_t bytes = 0;
    return header_.line_bytes(bytes) && dst->block_bytes(bytes);
}

template <class T>
bool VRX_Convert1To8xNBitsEngine<T>::process_line(const unsigned char* src, unsigned char* dst) {
    constexpr size_t row = 8 * sizeof(T);
    unsigned char* out = dst;
    for (uint32_t b = 0; b < whole_bytes_; ++b, out += row)
        std::memcpy(out, table_ + src[b] * 8u, row);
    if (remaining_bits_ != 0)
        std::memcpy(out, table_ + src[whole_bytes_] * 8u, remaining_bits_ * sizeof(T));
    return true;
}

template class VRX_Convert1To8xNBitsEngine<uint8_t>;
template class VRX_Convert1To8xNBitsEngine<int8_t>;
template class VRX_Convert1To8xNBitsEngine<uint16_t>;
template class VRX_Convert1To8xNBitsEngine<int16_t>;

}  // namespace vrx
