#include "vrx/core/shiftdata/vrx_shiftdatawl.h"

#include "vrx/core/convertdatatype/vrx_sampletype.h"
#include "vrx/core/shiftdata/vrx_shiftdata.h"
#include "vrx/core/shiftdata/vrx_shiftdatanl.h"
#include "vrx/core/shiftdata/vrx_shiftdatawlengine.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

VRX_Engine* VRX_ShiftDataWL::engine(VRX_Engine* source, const VRX_DataType* type, uint16_t bits,
                                    int16_t shift) {
    const VRX_Header* header = source ? source->header() : nullptr;
    if (!header) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_ShiftDataWL::engine()", __FILE__, 54);
        return nullptr;
    }
    if (type == header->data_type() && bits == header->bits && shift == 0) return source;
    uint8_t sign_class = 0;
    if (!shift_needs_limit(header, type, bits, shift, sign_class))
        return VRX_ShiftDataNL(manager_).engine(source, type, bits, shift);
    VRX_SrcBuffer* src = source->src_buffer();
    VRX_DstBuffer* dst = manager_->new_dst_buffer();
    return with_integer_pair(
        header, type, bits,
        [&]<class S, class D>(VRX_SampleTag<S>, VRX_SampleTag<D>) -> VRX_Engine* {
            return make_engine<VRX_ShiftDataWLEngine<S, D>>(src, dst, [&](auto* e) {
                return e->initiate(header, src, dst, type, bits, shift, sign_class);
            });
        });
}

}  // namespace vrx
