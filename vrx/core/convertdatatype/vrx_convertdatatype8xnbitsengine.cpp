#include "vrx/core/convertdatatype/vrx_convertdatatype8xnbitsengine.h"

#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {

constexpr const char* kInitiateText = "VRX_ConvertDataType8xNbitsEngine::initiate()";

// One line with the formula fixed, so that the loop carries no choice.
template <class S, class D, class Formula>
void convert_line(const unsigned char* __restrict in, unsigned char* __restrict out, uint32_t count,
                  Formula formula) {
    for (uint32_t i = 0; i < count; ++i)
        store_sample<D>(out, i, to_sample<D>(formula(static_cast<double>(load_sample<S>(in, i)))));
}

}  // namespace

template <class S, class D>
bool VRX_ConvertDataType8xNbitsEngine<S, D>::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                                      VRX_DstBuffer* dst, const VRX_DataType* type,
                                                      uint16_t bits, double gain, double offset) {
    if (!check_version(VRX_INTERFACE_VERSION, kInitiateText, __FILE__, 93)) return false;
    if (!VRX_ProcessLineToLineEngine::initiate(header, src, dst)) return false;
    if (!header->palette().empty() || header->bits != sample_bits<S>) {
        manager_->report(VRX_ERROR_UNSUPPORTED, kInitiateText, __FILE__, 103);
        return false;
    }
    if (bits != sample_bits<D>) {
        manager_->report(VRX_ERROR_UNSUPPORTED, kInitiateText, __FILE__, 110);
        return false;
    }
    map_ = VRX_LinearMap(gain, offset);
    samples_ = header->channels * header->width;
    // A null type is reported by the setter; the engine then stops.
    if (!header_.data_type(type)) return false;
    header_.bits = sample_bits<D>;
    uint32_t bytes = 0;
    return header_.line_bytes(bytes) && dst->block_bytes(bytes);
}

template <class S, class D>
bool VRX_ConvertDataType8xNbitsEngine<S, D>::process_line(const unsigned char* src,
                                                          unsigned char* dst) {
    const double gain = map_.gain, offset = map_.offset;
    switch (map_.form) {
        case VRX_LinearMap::Form::add:
            convert_line<S, D>(src, dst, samples_, [offset](double x) { return x + offset; });
            break;
        case VRX_LinearMap::Form::multiply:
            convert_line<S, D>(src, dst, samples_, [gain](double x) { return x * gain; });
            break;
        case VRX_LinearMap::Form::multiply_add:
            convert_line<S, D>(src, dst, samples_,
                               [gain, offset](double x) { return x * gain + offset; });
            break;
    }
    return true;
}

#define VRX_CONVERT_MAKE(S, D) template class VRX_ConvertDataType8xNbitsEngine<S, D>;
VRX_CONVERT_FOR_EACH_PAIR(VRX_CONVERT_MAKE)
#undef VRX_CONVERT_MAKE

}  // namespace vrx
