#include "vrx/core/convertdatatype/vrx_convertdatatypefrom1bit.h"

#include "vrx/core/convertdatatype/vrx_convertdatatypefrom1bitengine.h"
#include "vrx/core/convertdatatype/vrx_sampletype.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

VRX_Engine* VRX_ConvertDataTypeFrom1bit::engine(VRX_Engine* source, const VRX_DataType* type,
                                                uint16_t bits, double gain, double offset) {
    const VRX_Header* header = source ? source->header() : nullptr;
    if (!header) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_ConvertDataTypeFrom1bit::engine()", __FILE__, 58);
        return nullptr;
    }
    VRX_SrcBuffer* src = source->src_buffer();
    VRX_DstBuffer* dst = manager_->new_dst_buffer();
    return with_sample_type(type, bits, [&]<class T>(VRX_SampleTag<T>) -> VRX_Engine* {
        return make_engine<VRX_ConvertDataTypeFrom1bitEngine<T>>(src, dst, [&](auto* e) {
            return e->initiate(header, src, dst, type, bits, gain, offset);
        });
    });
}

}  // namespace vrx
