#include "vrx/core/convertdatatype/vrx_convertdatatypeto1bitengine.h"

#include "vrx/core/convertdatatype/vrx_sampletype.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

template <class T>
bool VRX_ConvertDataTypeTo1bitEngine<T>::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                                  VRX_DstBuffer* dst, const VRX_DataType* type,
                                                  double gain, double offset) {
    constexpr const char* text = "VRX_ConvertDataTypeTo1bitEngine::initiate()";
    if (!check_version(VRX_INTERFACE_VERSION, text, __FILE__, 93)) return false;
    if (!VRX_ProcessLineToLineEngine::initiate(header, src, dst)) return false;
    // Samples are read as T: a depth other than T's would run past the line.
    if (!header->palette().empty() || header->bits != sample_bits<T>) {
        manager_->report(VRX_ERROR_UNSUPPORTED, text, __FILE__, 103);
        return false;
    }
    gain_ = gain;
    threshold_ = 0.5 - offset;
    const uint64_t samples = uint64_t{header->channels} * header->width;
    whole_bytes_ = static_cast<uint32_t>(samples / 8);
    remaining_bits_ = static_cast<uint8_t>(samples % 8);
    if (!header_.data_type(type)) return false;
    header_.bits = 1;
    uint32_t bytes = 0;
    return header_.line_bytes(bytes) && dst->block_bytes(bytes);
}

template <class T>
bool VRX_ConvertDataTypeTo1bitEngine<T>::process_line(const unsigned char* src,
                                                      unsigned char* dst) {
    const double gain = gain_, threshold = threshold_;
    // The byte of `count` samples from sample `first` on.
    auto pack = [&](size_t first, unsigned count) {
        unsigned byte = 0;
        for (unsigned k = 0; k < count; ++k) {
            const double x = static_cast<double>(load_sample<T>(src, first + k));
            byte |= x * gain >= threshold ? 0x80u >> k : 0u;
        }
        return static_cast<unsigned char>(byte);
    };
    for (uint32_t b = 0; b < whole_bytes_; ++b) dst[b] = pack(size_t{b} * 8, 8);
    if (remaining_bits_ != 0) dst[whole_bytes_] = pack(size_t{whole_bytes_} * 8, remaining_bits_);
    return true;
}

template class VRX_ConvertDataTypeTo1bitEngine<uint8_t>;
template class VRX_ConvertDataTypeTo1bitEngine<int8_t>;
template class VRX_ConvertDataTypeTo1bitEngine<uint16_t>;
template class VRX_ConvertDataTypeTo1bitEngine<int16_t>;
template class VRX_ConvertDataTypeTo1bitEngine<uint32_t>;
template class VRX_ConvertDataTypeTo1bitEngine<int32_t>;
template class VRX_ConvertDataTypeTo1bitEngine<float>;
template class VRX_ConvertDataTypeTo1bitEngine<double>;

}  // namespace vrx
