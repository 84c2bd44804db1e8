#include "vrx/core/operation/vrx_oppixels8xnbits.h"

#include "vrx/core/operation/vrx_engineinputs.h"
#include "vrx/core/operation/vrx_oppixels8xnbitsengine.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {
constexpr const char* kEngineText = "VRX_OpPixels8xNBits::engine()";
}

bool VRX_OpPixels8xNBits::is_acceptable(const VRX_Vector<VRX_Engine*>& sources, uint32_t,
                                        uint32_t) {
    if (sources.size() != 2) return false;
    for (VRX_Engine* source : sources)
        if (!source || !source->header()) return false;
    return true;
}

VRX_Engine* VRX_OpPixels8xNBits::engine(const VRX_Vector<VRX_Engine*>& sources, uint32_t x,
                                        uint32_t y) {
    if (!is_acceptable(sources, x, y)) {
        manager_->report(VRX_ERROR_ARGUMENT, kEngineText, __FILE__, 131);
        return nullptr;
    }
    return VRX_EngineInputs(manager_).build(
        *this, sources, kEngineText, __FILE__, 131,
        [&](const auto& headers, const auto& buffers, VRX_DstBuffer* dst) {
            return create_engine(headers, buffers, dst, x, y);
        });
}

template <class Op, class T>
VRX_Engine* VRX_OpPixels8xNBitsUnMasked<Op, T>::create_engine(
    const VRX_Vector<const VRX_Header*>& headers, const VRX_Vector<VRX_SrcBuffer*>& sources,
    VRX_DstBuffer* dst, uint32_t x, uint32_t y) {
    return VRX_OpPixelsEngine::create<VRX_OpPixels8xNBitsUnMaskedEngine<Op, T>>(
        manager_, headers, sources, dst, x, y);
}

#define VRX_OPPIXELS8XNBITS_CREATOR(op, type) \
    template class VRX_OpPixels8xNBitsUnMasked<VRX_PixelOperator::op, type>;
VRX_OPPIXELS8XNBITS_INSTANCES(VRX_OPPIXELS8XNBITS_CREATOR)
#undef VRX_OPPIXELS8XNBITS_CREATOR

}  // namespace vrx
