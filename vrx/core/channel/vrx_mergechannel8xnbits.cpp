#include "vrx/core/channel/vrx_mergechannel8xnbits.h"

#include "vrx/core/channel/vrx_mergechannel8xnbitsengine.h"
#include "vrx/core/operation/vrx_engineinputs.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {

constexpr const char* kEngineText = "VRX_MergeChannel8xNbits::engine()";

template <class T>
VRX_MergeChannelEngine* make(VRX_Manager* manager) {
    return construct<VRX_MergeChannel8xNbitsEngine<T>>(manager);
}

// The instance for the depth and data type, or null (reported) when there is none.
VRX_MergeChannelEngine* make_for(VRX_Manager* manager, const VRX_Header& header) {
    const VRX_DataType* type = header.data_type();
    switch (header.bits) {
        case 8:
            if (type->is_u_integer()) return make<uint8_t>(manager);
            if (type->is_s_integer()) return make<int8_t>(manager);
            break;
        case 16:
            if (type->is_u_integer()) return make<uint16_t>(manager);
            if (type->is_s_integer()) return make<int16_t>(manager);
            break;
        case 32:
            if (type->is_u_integer()) return make<uint32_t>(manager);
            if (type->is_s_integer()) return make<int32_t>(manager);
            if (type->is_floating()) return make<float>(manager);
            break;
        default:
            // Its initiate refuses every depth but 64.
            return make<double>(manager);
    }
    manager->report(VRX_ERROR_UNSUPPORTED, kEngineText, __FILE__, __LINE__);
    return nullptr;
}

}  // namespace

VRX_Engine* VRX_MergeChannel8xNbits::engine(const VRX_Vector<VRX_Engine*>& sources,
                                            const VRX_ColorType* color) {
    VRX_EngineInputs inputs(manager_);
    if (!inputs.take(sources, kEngineText, __FILE__, 52)) return nullptr;
    VRX_DstBuffer* dst = manager_->new_dst_buffer();
    VRX_MergeChannelEngine* engine =
        inputs.headers.empty() ? nullptr : make_for(manager_, *inputs.headers.back());
    const bool initiated = engine && engine->initiate(inputs.headers, inputs.buffers, dst, color);
    return inputs.regist(*this, engine, initiated, dst);
}

}  // namespace vrx
