#include "vrx/core/colorspace/vrx_colorspaceconverterptopengine.h"

#include "vrx/core/convertdatatype/vrx_sampletype.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

template <class S>
bool VRX_ColorSpaceConverterPtoPEngine<S>::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                                    VRX_DstBuffer* dst,
                                                    const VRX_SharedOwner<Converter>& converter,
                                                    const VRX_ColorType* target) {
    constexpr const char* text = "VRX_ColorSpaceConverterPtoPEngine::initiate()";
    if (!check_version(VRX_INTERFACE_VERSION, text, __FILE__, 164)) return false;
    if (!VRX_ProcessLineToLineEngine::initiate(header, src, dst)) return false;
    const VRX_DataType* type = header->data_type();
    if ((!type->is_u_integer() && !type->is_floating()) || !header->palette().empty() ||
        header->bits != sample_bits<S>) {
        manager_->report(VRX_ERROR_UNSUPPORTED, text, __FILE__, 173);
        return false;
    }
    if (!converter || !target || converter->inputs() != header->channels ||
        converter->outputs() != target->channels()) {
        manager_->report(VRX_ERROR_ARGUMENT, text, __FILE__, 179);
        return false;
    }
    inputs_ = header->channels;
    outputs_ = target->channels();
    width_ = header->width;
    header_.channels = outputs_;
    if (!header_.color_type(target)) return false;
    uint32_t bytes = 0;
    if (!header_.line_bytes(bytes) || !dst->block_bytes(bytes)) return false;
    converter_ = converter;
    point_ = converter_.get();
    return true;
}

template <class S>
bool VRX_ColorSpaceConverterPtoPEngine<S>::process_line(const unsigned char* src,
                                                        unsigned char* dst) {
    const S* in = reinterpret_cast<const S*>(src);
    S* out = reinterpret_cast<S*>(dst);
    for (uint32_t x = 0; x < width_; ++x, in += inputs_, out += outputs_) point_->convert(in, out);
    return true;
}

template class VRX_ColorSpaceConverterPtoPEngine<uint8_t>;
template class VRX_ColorSpaceConverterPtoPEngine<uint16_t>;

}  // namespace vrx
