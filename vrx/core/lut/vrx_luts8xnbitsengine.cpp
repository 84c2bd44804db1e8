#include "vrx/core/lut/vrx_luts8xnbitsengine.h"

#include "vrx/core/convertdatatype/vrx_sampletype.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

template <class Src, class Dst>
bool VRX_LutS8xNbitsEngine<Src, Dst>::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                               VRX_DstBuffer* dst, const VRX_LutData* table,
                                               const VRX_ColorType* color_type) {
    constexpr const char* text = "VRX_LutS8xNbitsEngine::initiate()";
    if (!this->check_version(VRX_INTERFACE_VERSION, text, __FILE__, 49)) return false;
    // Source value 0 is entry 2^(bits - 1); the base places the channel
    // pointers by it. A depth other than Src's is refused by the base.
    this->offset_ = uint32_t{1} << (sample_bits<Src> - 1);
    if (!VRX_Lut8xNbitsEngine<Src, Dst>::initiate(header, src, dst, table, color_type))
        return false;
    if (!header->data_type()->is_s_integer()) {
        this->manager_->report(VRX_ERROR_UNSUPPORTED, text, __FILE__, 65);
        return false;
    }
    return true;
}

#define VRX_LUT_MAKE_S(Src, Dst) template class VRX_LutS8xNbitsEngine<Src, Dst>;
VRX_LUT_FOR_EACH_DST(VRX_LUT_MAKE_S, int8_t)
VRX_LUT_FOR_EACH_DST(VRX_LUT_MAKE_S, int16_t)
#undef VRX_LUT_MAKE_S

}  // namespace vrx
