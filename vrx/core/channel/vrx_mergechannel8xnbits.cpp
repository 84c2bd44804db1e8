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
    return VRX_EngineInputs(manager_).build(
        *this, sources, kEngineText, __FILE__, 52,
        [&](const auto& headers, const auto& buffers, VRX_DstBuffer* dst) {
            VRX_MergeChannelEngine* engine = make_for(manager_, *headers.back());
            return VRX_EngineInputs::initiated_or_null(
                engine, engine && engine->initiate(headers, buffers, dst, color));
        });
}

}  // namespace vrx
