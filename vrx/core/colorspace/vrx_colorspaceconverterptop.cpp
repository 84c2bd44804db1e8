#include "vrx/core/colorspace/vrx_colorspaceconverterptop.h"

#include "vrx/core/colorspace/vrx_colorspaceconverterptopengine.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {

constexpr const char* kText = "VRX_ColorSpaceConverterPtoP::engine()";

}  // namespace

VRX_Engine* VRX_ColorSpaceConverterPtoP::engine(VRX_Engine* source, const VRX_ColorType* target) {
    const VRX_Header* header = source ? source->header() : nullptr;
    if (!header || !target) {
        manager_->report(VRX_ERROR_ARGUMENT, kText, __FILE__, 59);
        return nullptr;
    }
    if (header->color_type() == target) return source;
    VRX_SrcBuffer* src = source->src_buffer();
    VRX_DstBuffer* dst = manager_->new_dst_buffer();
    const bool to_hsl = header->color_type()->is_s_rgb() && target->is_hsl();
    const bool to_rgb = header->color_type()->is_hsl() && target->is_s_rgb();
    if (header->bits != 8 && header->bits != 16) {
        manager_->report(VRX_ERROR_UNSUPPORTED, kText, __FILE__, 97);
        return regist_engine(nullptr, src, dst);
    }
    if (!to_hsl && !to_rgb) {
        manager_->report(VRX_ERROR_UNSUPPORTED, kText, __FILE__, 89);
        return regist_engine(nullptr, src, dst);
    }
    auto build = [&]<class S>(S*) -> VRX_Engine* {
        using Converter = VRX_CsPointConverter<S>;
        Converter* point = to_hsl
                               ? static_cast<Converter*>(construct<Rgb2hslINT<S, double>>(manager_))
                               : construct<Hsl2rgbINT<S, double>>(manager_);
        if (!point) return regist_engine(nullptr, src, dst);
        VRX_SharedOwner<Converter> owner(point);
        if (!owner.counted()) {
            point->destroy();
            return regist_engine(nullptr, src, dst);
        }
        using Engine = VRX_ColorSpaceConverterPtoPEngine<S>;
        // The engine takes its own reference; this one goes when `owner` does.
        return make_engine<Engine>(
            src, dst, [&](Engine* e) { return e->initiate(header, src, dst, owner, target); });
    };
    if (header->bits == 8) return build(static_cast<uint8_t*>(nullptr));
    return build(static_cast<uint16_t*>(nullptr));
}

}  // namespace vrx
