#include "vrx/core/qmrle/vrx_qmrleline.h"

#include "vrx/framework/base/vrx_construct.h"

namespace vrx {

VRX_QMRLELine* VRX_QMRLELine::create(VRX_Manager* manager, VRX_SrcBuffer* src,
                                     const VRX_Header* header) {
    VRX_QMRLELine* line = construct<VRX_QMRLELine>(manager);
    if (!line) return nullptr;
    if (!line->initiate(src, header)) {
        line->destroy();
        return nullptr;
    }
    line->set_initiated();
    return line;
}

bool VRX_QMRLELine::is_supported(const VRX_Header* header) {
    return header->bits == 1 && header->channels == 1 &&
           header->encode_type() == VRX_EncodeType::qm_rle();
}

}  // namespace vrx
