#include "vrx/core/convertdatatype/vrx_convertdatatype8xnbits.h"

#include "vrx/core/convertdatatype/vrx_convertdatatype8xnbitsengine.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

VRX_Engine* VRX_ConvertDataType8xNbits::engine(VRX_Engine* source, const VRX_DataType* type,
                                               uint16_t bits, double gain, double offset) {
    const VRX_Header* header = source ? source->header() : nullptr;
    if (!header) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_ConvertDataType8xNbits::engine()", __FILE__, 58);
        return nullptr;
    }
    VRX_SrcBuffer* src = source->src_buffer();
    VRX_DstBuffer* dst = manager_->new_dst_buffer();
    auto initiate = [&](auto* e) {
        return e->initiate(header, src, dst, type, bits, gain, offset);
    };
    return with_sample_type(header->data_type(), header->bits, [&]<class S>(VRX_SampleTag<S>) {
        return with_sample_type(type, bits, [&]<class D>(VRX_SampleTag<D>) -> VRX_Engine* {
            return make_engine<VRX_ConvertDataType8xNbitsEngine<S, D>>(src, dst, initiate);
        });
    });
}

}  // namespace vrx
