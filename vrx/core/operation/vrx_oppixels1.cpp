#include "vrx/core/operation/vrx_oppixels1.h"

#include "vrx/core/operation/vrx_engineinputs.h"
#include "vrx/core/operation/vrx_oppixels1engine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {
constexpr const char* kEngineText = "VRX_OpPixels1::engine()";
}

bool VRX_OpPixels1::is_acceptable(const VRX_Vector<VRX_Engine*>& sources, uint32_t, uint32_t) {
    return sources.size() == 2;
}

VRX_Engine* VRX_OpPixels1::engine(const VRX_Vector<VRX_Engine*>& sources, uint32_t x,
                                  uint32_t y) {
    if (!is_acceptable(sources, x, y)) {
        manager_->report(VRX_ERROR_ARGUMENT, kEngineText, __FILE__, 58);
        return nullptr;
    }
    return VRX_EngineInputs(manager_).build(
        *this, sources, kEngineText, __FILE__, 58,
        [&](const auto& headers, const auto& buffers, VRX_DstBuffer* dst) {
            return create_engine(headers, buffers, dst, x, y);
        });
}

template <class Op>
VRX_Engine* VRX_OpPixels1UnMasked<Op>::create_engine(const VRX_Vector<const VRX_Header*>& headers,
                                                     const VRX_Vector<VRX_SrcBuffer*>& sources,
                                                     VRX_DstBuffer* dst, uint32_t x, uint32_t y) {
    return VRX_OpPixelsEngine::create<VRX_OpPixels1UnMaskedEngine<Op>>(manager_, headers, sources,
                                                                     dst, x, y);
}

template class VRX_OpPixels1UnMasked<VRX_PixelOperator::And>;

}  // namespace vrx
