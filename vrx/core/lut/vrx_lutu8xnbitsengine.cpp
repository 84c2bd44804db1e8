#include "vrx/core/lut/vrx_lutu8xnbitsengine.h"

#include "vrx/core/convertdatatype/vrx_sampletype.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

template <class Src, class Dst>
bool VRX_LutU8xNbitsEngine<Src, Dst>::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                               VRX_DstBuffer* dst, const VRX_LutData* table,
                                               const VRX_ColorType* color_type) {
    constexpr const char* text = "VRX_LutU8xNbitsEngine::initiate()";
    if (!this->check_version(VRX_INTERFACE_VERSION, text, __FILE__, 48)) return false;
    if (!VRX_Lut8xNbitsEngine<Src, Dst>::initiate(header, src, dst, table, color_type))
        return false;
    if (!header->data_type()->is_u_integer()) {
        this->manager_->report(VRX_ERROR_UNSUPPORTED, text, __FILE__, 59);
        return false;
    }
    return true;
}

#define VRX_LUT_MAKE_U(Src, Dst) template class VRX_LutU8xNbitsEngine<Src, Dst>;
VRX_LUT_FOR_EACH_DST(VRX_LUT_MAKE_U, uint8_t)
VRX_LUT_FOR_EACH_DST(VRX_LUT_MAKE_U, uint16_t)
#undef VRX_LUT_MAKE_U

}  // namespace vrx
