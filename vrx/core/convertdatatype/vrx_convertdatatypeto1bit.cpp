#include "vrx/core/convertdatatype/vrx_convertdatatypeto1bit.h"

#include "vrx/core/convertdatatype/vrx_convertdatatypeto1bitengine.h"
#include "vrx/core/convertdatatype/vrx_sampletype.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

VRX_Engine* VRX_ConvertDataTypeTo1bit::engine(VRX_Engine* source, const VRX_DataType* type,
                                              double gain, double offset) {
    const VRX_Header* header = source ? source->header() : nullptr;
    if (!header) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_ConvertDataTypeTo1bit::engine()", __FILE__, 57);
        return nullptr;
    }
    VRX_SrcBuffer* src = source->src_buffer();
    VRX_DstBuffer* dst = manager_->new_dst_buffer();
    return with_sample_type(
        header->data_type(), header->bits, [&]<class T>(VRX_SampleTag<T>) -> VRX_Engine* {
            return make_engine<VRX_ConvertDataTypeTo1bitEngine<T>>(src, dst, [&](auto* e) {
                return e->initiate(header, src, dst, type, gain, offset);
            });
        });
}

}  // namespace vrx
