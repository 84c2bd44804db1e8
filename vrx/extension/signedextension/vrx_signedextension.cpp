#include "vrx/extension/signedextension/vrx_signedextension.h"

#include "vrx/extension/signedextension/vrx_signedextensionengine.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {
constexpr const char* kEngineText = "VRX_SignedExtension::engine()";
}

VRX_Engine* VRX_SignedExtension::engine(VRX_Engine* source, uint8_t high_bit) {
    const VRX_Header* header = source ? source->header() : nullptr;
    if (!header) {
        manager_->report(VRX_ERROR_ARGUMENT, kEngineText, __FILE__, 61);
        return nullptr;
    }
    if ((header->bits != 8 && header->bits != 16) || !header->data_type()->is_s_integer()) {
        manager_->report(VRX_ERROR_UNSUPPORTED, kEngineText, __FILE__, 69);
        return nullptr;
    }
    if (high_bit >= header->bits) {
        manager_->report(VRX_ERROR_ARGUMENT, kEngineText, __FILE__, 74);
        return nullptr;
    }
    if (high_bit == header->bits - 1) return source;

    VRX_SrcBuffer* src = source->src_buffer();
    VRX_DstBuffer* dst = manager_->new_dst_buffer();
    auto initiate = [&](auto* e) { return e->initiate(header, src, dst, high_bit); };
    if (header->bits == 8)
        return make_engine<VRX_SignedExtensionEngine<int8_t>>(src, dst, initiate);
    return make_engine<VRX_SignedExtensionEngine<int16_t>>(src, dst, initiate);
}

}  // namespace vrx
