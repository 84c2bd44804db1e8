#include "vrx/core/colorspace/vrx_colorspace.h"

#include "vrx/core/colorspace/vrx_colorspaceconverter.h"
#include "vrx/core/colorspace/vrx_csutility.h"
#include "vrx/core/colorspace/vrx_csutilitymaker.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {

constexpr const char* kText = "VRX_ColorSpace::engine()";

template <class T>
VRX_Engine* plan_and_build(VRX_Manager* manager, VRX_Engine* source, const VRX_ColorType* target,
                           uint16_t bits) {
    VRX_CsUtilityMaker<T> maker(manager);
    if (!maker.make(source->header()->color_type(), target, bits)) return nullptr;
    return VRX_ColorSpaceConverter(manager).engine(source, target, maker.utility());
}

}  // namespace

VRX_Engine* VRX_ColorSpace::engine(VRX_Engine* source, const VRX_ColorType* target) {
    const VRX_Header* header = source ? source->header() : nullptr;
    if (!header || !target) {
        manager_->report(VRX_ERROR_ARGUMENT, kText, __FILE__, 46);
        return nullptr;
    }
    if (header->color_type() == target) return source;
    if (!VRX_CsUtility::is_planned(header->color_type())) {
        manager_->report(VRX_ERROR_UNSUPPORTED, kText, __FILE__, 64);
        return nullptr;
    }
    if (!VRX_CsUtility::is_planned(target)) {
        manager_->report(VRX_ERROR_UNSUPPORTED, kText, __FILE__, 73);
        return nullptr;
    }
    const uint16_t bits = header->bits;
    const bool depth_ok =
        bits == 8 || bits == 16 || (bits == 1 && header->channels == 1 && target->channels() == 1);
    if (!header->data_type()->is_u_integer() || !header->encode_type()->is_raw() ||
        !header->palette().empty() || !depth_ok) {
        manager_->report(VRX_ERROR_UNSUPPORTED, kText, __FILE__, 98);
        return nullptr;
    }
    if (bits == 16) return plan_and_build<uint16_t>(manager_, source, target, bits);
    return plan_and_build<uint8_t>(manager_, source, target, bits);
}

}  // namespace vrx
