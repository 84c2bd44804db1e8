#include "vrx/core/shiftdata/vrx_shiftdatanl.h"

#include "vrx/core/convertdatatype/vrx_sampletype.h"
#include "vrx/core/shiftdata/vrx_shiftdatanlengine.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

VRX_Engine* VRX_ShiftDataNL::engine(VRX_Engine* source, const VRX_DataType* type, uint16_t bits,
                                    int16_t shift) {
    const VRX_Header* header = source ? source->header() : nullptr;
    if (!header) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_ShiftDataNL::engine()", __FILE__, 53);
        return nullptr;
    }
    if (type == header->data_type() && bits == header->bits && shift == 0) return source;
    VRX_SrcBuffer* src = source->src_buffer();
    VRX_DstBuffer* dst = manager_->new_dst_buffer();
    return with_integer_pair(
        header, type, bits,
        [&]<class S, class D>(VRX_SampleTag<S>, VRX_SampleTag<D>) -> VRX_Engine* {
            return make_engine<VRX_ShiftDataNLEngine<S, D>>(src, dst, [&](auto* e) {
                return e->initiate(header, src, dst, type, bits, shift);
            });
        });
}

}  // namespace vrx
