#include "vrx/core/convertdatatype/vrx_convertdatatypefrom1bitengine.h"

#include "vrx/core/convertdatatype/vrx_sampletype.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

template <class T>
bool VRX_ConvertDataTypeFrom1bitEngine<T>::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                                    VRX_DstBuffer* dst, const VRX_DataType* type,
                                                    uint16_t bits, double gain, double offset) {
    constexpr const char* text = "VRX_ConvertDataTypeFrom1bitEngine::initiate()";
    if (!check_version(VRX_INTERFACE_VERSION, text, __FILE__, 94)) return false;
    if (!VRX_ProcessLineToLineEngine::initiate(header, src, dst)) return false;
    if (!header->palette().empty() || header->bits != 1) {
        manager_->report(VRX_ERROR_UNSUPPORTED, text, __FILE__, 104);
        return false;
    }
    if (bits != sample_bits<T>) {
        manager_->report(VRX_ERROR_UNSUPPORTED, text, __FILE__, 111);
        return false;
    }
    const VRX_LinearMap map(gain, offset);
    one_ = to_sample<T>(map(1.0));
    zero_ = to_sample<T>(map(0.0));
    const uint64_t samples = uint64_t{header->channels} * header->width;
    whole_bytes_ = static_cast<uint32_t>(samples / 8);
    remaining_bits_ = static_cast<uint8_t>(samples % 8);
    if (!header_.data_type(type)) return false;
    header_.bits = bits;
    uint32_t bytes = 0;
    return header_.line_bytes(bytes) && dst->block_bytes(bytes);
}

template <class T>
bool VRX_ConvertDataTypeFrom1bitEngine<T>::process_line(const unsigned char* src,
                                                        unsigned char* dst) {
    const T one = one_, zero = zero_;
    size_t i = 0;
    for (uint32_t b = 0; b < whole_bytes_; ++b) {
        const unsigned v = src[b];
        for (unsigned k = 0; k < 8; ++k, ++i)
            store_sample<T>(dst, i, (v & (0x80u >> k)) != 0 ? one : zero);
    }
    if (remaining_bits_ != 0) {
        const unsigned v = src[whole_bytes_];
        for (unsigned k = 0; k < remaining_bits_; ++k, ++i)
            store_sample<T>(dst, i, (v & (0x80u >> k)) != 0 ? one : zero);
    }
    return true;
}

template class VRX_ConvertDataTypeFrom1bitEngine<uint8_t>;
template class VRX_ConvertDataTypeFrom1bitEngine<int8_t>;
template class VRX_ConvertDataTypeFrom1bitEngine<uint16_t>;
template class VRX_ConvertDataTypeFrom1bitEngine<int16_t>;
template class VRX_ConvertDataTypeFrom1bitEngine<uint32_t>;
template class VRX_ConvertDataTypeFrom1bitEngine<int32_t>;
template class VRX_ConvertDataTypeFrom1bitEngine<float>;
template class VRX_ConvertDataTypeFrom1bitEngine<double>;

}  // namespace vrx
